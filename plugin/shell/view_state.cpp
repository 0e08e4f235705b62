#include "shell/view_state.h"

ViewState viewState;
