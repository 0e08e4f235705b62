#include "session/demo_script.h"

namespace {
// In video time: the groove runs 0-7 s, the quiet passage 7-12 s, the finale 12-20 s.
const char* const demoKeys[] = {
    "2.5s:B",           // band rings
    "5s:C",             // ring sectors
    "7.5s:H",           // help page over the quiet passage
    "9.5s:H",           //  and away again
    "10s:A",            // back to the history rings
    "11s:D",            // manual turning: the arrows now step the scene
    "11.3s:LEFT:0.8s",  //  about x,
    "12.2s:DOWN:0.8s",  //  about y,
    "13.1s:RIGHT:0.8s", //  about z
    "14s:D",            // turning on its own again
    "14.5s:B",
    "15.5s:UP:0.62s", // inflate the sphere: radii 1, 4, 9, 16, 25, then back to 1
    "17s:C",
};
} // namespace

std::vector<InputEvent> demoInputScript() {
    std::vector<InputEvent> events;
    std::string ignored;
    for (const char* key : demoKeys)
        parseKeyOption(key, events, ignored);
    sortInputEvents(events);
    return events;
}
