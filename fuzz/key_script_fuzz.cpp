// The host's command line and its --key and --click scripts on arbitrary
// text, one argument per line. Whatever it accepts becomes well-formed input:
// every press is a key-down followed by its key-up later, every click a button
// down and up at one point, and the events come in time order.
#include "support/fuzz_check.h"

#include "cli/options.h"
#include "session/key_script.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A script a person could type becomes at most this many events; a hold is
// turned into its auto-repeats up front, so it must not be allowed to explode.
constexpr std::size_t eventLimit = 1000000;

std::vector<std::string> lines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> result(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            result.emplace_back();
        else
            result.back() += static_cast<char>(data[i]);
    }
    return result;
}

void checkEvents(const std::vector<InputEvent>& events) {
    for (std::size_t i = 0; i < events.size(); ++i) {
        const InputEvent& event = events[i];
        FUZZ_CHECK(event.timeMs >= 0);
        if (i > 0) FUZZ_CHECK(events[i - 1].timeMs <= event.timeMs);
    }
}

// Each line given straight to the parsers, as --key or --click would be.
void parseEach(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        std::vector<InputEvent> events;
        std::string error;
        const bool key = parseKeyOption(argument, events, error);
        FUZZ_CHECK(events.size() < eventLimit);
        FUZZ_CHECK(key ? error.empty() && events.size() >= 2 : events.empty() && !error.empty());
        if (key) {
            FUZZ_CHECK(events.front().kind == InputKind::keyDown);
            FUZZ_CHECK(events.back().kind == InputKind::keyUp);
            FUZZ_CHECK(events.back().timeMs > events.front().timeMs);
        }
        events.clear();
        error.clear();
        const bool click = parseClickOption(argument, events, error);
        FUZZ_CHECK(click ? events.size() == 2 : events.empty() && !error.empty());
        if (click) {
            FUZZ_CHECK(events[0].kind == InputKind::buttonDown);
            FUZZ_CHECK(events[1].kind == InputKind::buttonUp);
            FUZZ_CHECK(events[0].lParam == events[1].lParam);
            FUZZ_CHECK(events[0].timeMs == events[1].timeMs);
        }
        long long ms = -1;
        if (parseTimeMs(argument, ms)) FUZZ_CHECK(ms >= 0);
    }
}

void parseAsCommandLine(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv = {"zephyrdome", "render"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    CommandKind command = CommandKind::help;
    RenderOptions options;
    std::string error;
    if (!parseCommandLine(static_cast<int>(argv.size()), argv.data(), command, options, error)) {
        FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos);
        return;
    }
    FUZZ_CHECK(options.events.size() < eventLimit * arguments.size());
    if (command == CommandKind::render) checkEvents(options.events);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<std::string> arguments = lines(data + 1, size - 1);
    if (data[0] & 1)
        parseAsCommandLine(arguments);
    else
        parseEach(arguments);
    return 0;
}
