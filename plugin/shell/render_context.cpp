#include "shell/render_context.h"
#include "shell/render_window.h"

RenderContextScope::RenderContextScope()
    : previousContext_(wglGetCurrentContext()), previousDC_(wglGetCurrentDC()),
      previousWasOurs_(previousContext_ && previousContext_ == renderContext) {
    if (renderContext && !previousWasOurs_) wglMakeCurrent(renderDC, renderContext);
}

// Ours may be gone by now (a destruction inside the scope): only the host's
// context is ever made current again.
RenderContextScope::~RenderContextScope() {
    if (!previousContext_ || previousWasOurs_) return;
    if (wglGetCurrentContext() != previousContext_) wglMakeCurrent(previousDC_, previousContext_);
}
