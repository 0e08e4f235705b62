// The page's canvas that shows the window holding the GL context.
#pragma once

namespace zdp {

constexpr const char* webCanvasSelector = "#zephyrdome";

} // namespace zdp
