#include "cli/scale_filter.h"

bool parseScaleFilter(const std::string& text, bool& smooth, std::string& error) {
    if (text == "smooth" || text == "lanczos" || text == "nearest" || text == "neighbor") {
        smooth = text == "smooth" || text == "lanczos";
        return true;
    }
    error = "bad --scale-filter '" + text + "': expected smooth or nearest";
    return false;
}
