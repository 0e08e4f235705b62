// Lends the render window's GL context to one callback or message: hosts may
// keep a context of their own current on the thread that calls us.
#pragma once

#include <windows.h>

// Makes ours current for its lifetime, then gives back the context that was
// current before, if it was another; with none before, ours stays current.
class RenderContextScope {
  public:
    RenderContextScope();
    ~RenderContextScope();
    RenderContextScope(const RenderContextScope&) = delete;
    RenderContextScope& operator=(const RenderContextScope&) = delete;

  private:
    HGLRC previousContext_;
    HDC previousDC_;
    bool previousWasOurs_;
};
