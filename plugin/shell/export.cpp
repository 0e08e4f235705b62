#include "shell/module.h"

#if defined(_WIN32)
#define ZD_EXPORT __declspec(dllexport)
#else
#define ZD_EXPORT __attribute__((visibility("default")))
#endif

extern "C" ZD_EXPORT VisHeader* winampVisGetHeader() { return &visHeader; }
