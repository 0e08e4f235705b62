// Scripted keys and clicks become the messages a keyboard and mouse would send.
#include "cli/options.h"
#include "session/key_script.h"

#include <gtest/gtest.h>

namespace {
std::vector<InputEvent> parseKey(const std::string& text) {
    std::vector<InputEvent> events;
    std::string error;
    EXPECT_TRUE(parseKeyOption(text, events, error)) << error;
    return events;
}

std::string keyError(const std::string& text) {
    std::vector<InputEvent> events;
    std::string error;
    EXPECT_FALSE(parseKeyOption(text, events, error)) << text;
    EXPECT_TRUE(events.empty());
    return error;
}
} // namespace

TEST(KeyScript, timesAreSecondsOrMilliseconds) {
    long long ms = -1;
    EXPECT_TRUE(parseTimeMs("5", ms));
    EXPECT_EQ(ms, 5000);
    EXPECT_TRUE(parseTimeMs("2.5s", ms));
    EXPECT_EQ(ms, 2500);
    EXPECT_TRUE(parseTimeMs("250ms", ms));
    EXPECT_EQ(ms, 250);
    EXPECT_TRUE(parseTimeMs("0", ms));
    EXPECT_EQ(ms, 0);
    for (const char* bad :
         {"", "s", "ms", "-1", "5x", "abc", "1.2.3", "inf", "nan", "5 s", "1e3", "0x10", "+5"})
        EXPECT_FALSE(parseTimeMs(bad, ms)) << bad;
}

TEST(KeyScript, aPressIsKeyDownThenKeyUpATapLater) {
    std::vector<InputEvent> events = parseKey("5s:B");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].timeMs, 5000);
    EXPECT_EQ(events[0].kind, InputKind::keyDown);
    EXPECT_EQ(events[0].wParam, 0x42u);
    EXPECT_EQ(events[0].lParam, 0x00300001u); // scan code 0x30, repeat count 1
    EXPECT_EQ(events[1].timeMs, 5000 + keyTapMs);
    EXPECT_EQ(events[1].kind, InputKind::keyUp);
    EXPECT_EQ(events[1].wParam, 0x42u);
    EXPECT_EQ(events[1].lParam, 0xC0300001u); // previous state and transition bits set
}

TEST(KeyScript, everyKeyThePlugInReadsHasItsVirtualKeyCode) {
    const std::pair<const char*, unsigned> keys[] = {
        {"A", 0x41},  {"b", 0x42},    {"C", 0x43},  {"d", 0x44},     {"H", 0x48},   {"F2", 0x71},
        {"f3", 0x72}, {"LEFT", 0x25}, {"up", 0x26}, {"Right", 0x27}, {"DOWN", 0x28}};
    for (const auto& [name, code] : keys)
        EXPECT_EQ(parseKey(std::string("1:") + name)[0].wParam, code) << name;
}

TEST(KeyScript, arrowKeysCarryTheExtendedKeyFlag) {
    EXPECT_EQ(parseKey("1:UP")[0].lParam, 0x01480001u);
    EXPECT_EQ(parseKey("1:LEFT")[1].lParam, 0xC14B0001u);
}

TEST(KeyScript, aHeldKeyRepeatsAfterHalfASecondThenEvery33Ms) {
    std::vector<InputEvent> events = parseKey("10s:UP:0.6s");
    std::vector<long long> downs;
    for (const InputEvent& e : events)
        if (e.kind == InputKind::keyDown) downs.push_back(e.timeMs);
    EXPECT_EQ(downs, (std::vector<long long>{10000, 10500, 10533, 10566, 10599}));
    EXPECT_EQ(events[1].lParam & (1u << 30), 1u << 30); // repeats: the key was already down
    EXPECT_EQ(events.back().kind, InputKind::keyUp);
    EXPECT_EQ(events.back().timeMs, 10600);
}

// A toggle key acts on every key-down, so whether a repeat falls at the very
// moment of release decides how H, D, F2 and F3 are left (an odd count of
// key-downs leaves them toggled): none does, the release comes first.
TEST(KeyScript, aHoldEndingOnTheRepeatGridIsReleasedBeforeTheRepeatDueThen) {
    const std::pair<long long, long long> holdsAndKeyDowns[] = {{500, 1}, {501, 2}, {533, 2},
                                                                {534, 3}, {566, 3}, {599, 4}};
    for (const char* key : {"H", "D", "F2", "F3"})
        for (const auto& [holdMs, keyDowns] : holdsAndKeyDowns) {
            std::string option = "2s:" + std::string(key) + ":" + std::to_string(holdMs) + "ms";
            std::vector<InputEvent> events = parseKey(option);
            ASSERT_EQ(events.size(), size_t(keyDowns + 1)) << option;
            EXPECT_EQ(events.back().kind, InputKind::keyUp) << option;
            EXPECT_EQ(events.back().timeMs, 2000 + holdMs) << option;
            EXPECT_LT(events[events.size() - 2].timeMs, 2000 + holdMs) << option;
        }
}

TEST(KeyScript, badKeysAreRefusedWithTheAccepted) {
    for (const char* bad : {"5s", "5s:Q", "x:B", "5s:B:0", "5s:B:long", ":B", "5s:B:1s:2"})
        EXPECT_NE(keyError(bad).find("A B C D H F2 F3 LEFT RIGHT UP DOWN"), std::string::npos)
            << bad;
}

TEST(KeyScript, aClickIsButtonDownAndUpAtTheClientPoint) {
    std::vector<InputEvent> events;
    std::string error;
    ASSERT_TRUE(parseClickOption("12s:300,51", events, error)) << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, InputKind::buttonDown);
    EXPECT_EQ(events[0].timeMs, 12000);
    EXPECT_EQ(events[0].wParam, 1u); // MK_LBUTTON
    EXPECT_EQ(events[0].lParam, (51u << 16) | 300u);
    EXPECT_EQ(events[1].kind, InputKind::buttonUp);
    for (const char* bad : {"12s:300", "12s:300,", "12s:-1,5", "300,51", "1:70000,1", "1:a,b"})
        EXPECT_FALSE(parseClickOption(bad, events, error)) << bad;
}

TEST(KeyScript, eventsAreDeliveredInTimeOrderKeepingTheGivenOrderForTies) {
    std::vector<InputEvent> events = parseKey("3s:C");
    std::vector<InputEvent> more = parseKey("1s:A");
    events.insert(events.end(), more.begin(), more.end());
    std::string error;
    parseClickOption("3s:10,10", events, error);
    sortInputEvents(events);
    std::vector<unsigned> order;
    for (const InputEvent& e : events)
        order.push_back(e.wParam);
    EXPECT_EQ(order, (std::vector<unsigned>{0x41, 0x41, 0x43, 1, 0, 0x43}));
}

namespace {
std::string commandError(std::vector<const char*> args) {
    args.insert(args.begin(), "zephyrdome");
    CommandKind command;
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(
        parseCommandLine(static_cast<int>(args.size()), args.data(), command, options, error));
    return error;
}
} // namespace

TEST(CommandLine, renderTakesFilesOutputAndOptions) {
    const char* args[] = {"zephyrdome", "render",     "a.flac",     "-o",      "out.mp4", "b.mp3",
                          "--start",    "30s",        "--duration", "1500ms",  "--key",   "5s:B",
                          "--click",    "12s:300,51", "--vis-out",  "v.zdvis", "-q"};
    CommandKind command;
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseCommandLine(17, args, command, options, error)) << error;
    EXPECT_EQ(command, CommandKind::render);
    EXPECT_EQ(options.audioFiles, (std::vector<std::string>{"a.flac", "b.mp3"}));
    EXPECT_EQ(options.output, "out.mp4");
    EXPECT_EQ(options.startMs, 30000);
    EXPECT_EQ(options.durationMs, 1500);
    EXPECT_EQ(options.events.size(), 4u);
    EXPECT_TRUE(options.scripted);
    EXPECT_EQ(options.visOut, "v.zdvis");
    EXPECT_TRUE(options.quiet);
}

// `zephyrdome --help` is the overview of the commands; each command has its own.
TEST(CommandLine, helpIsTheOverviewAndACommandsHelpItsOptions) {
    for (auto [args, kind] :
         {std::pair{std::vector<const char*>{"zephyrdome", "--help"}, CommandKind::overview},
          {{"zephyrdome", "help"}, CommandKind::overview},
          {{"zephyrdome", "render", "-o", "v.mp4", "--help"}, CommandKind::help}}) {
        CommandKind command = CommandKind::render;
        RenderOptions options;
        std::string error;
        EXPECT_TRUE(parseCommandLine(int(args.size()), args.data(), command, options, error));
        EXPECT_EQ(command, kind) << args[1];
    }
    for (const char* name : {"render", "play", "listen", "--help", "man zephyrdome"})
        EXPECT_NE(std::string(overviewText).find(name), std::string::npos) << name;
}

TEST(CommandLine, mistakesAreNamed) {
    EXPECT_NE(commandError({"render", "--bogus", "-o", "x.mp4"}).find("unknown option '--bogus'"),
              std::string::npos);
    EXPECT_NE(commandError({"render", "a.wav"}).find("no output"), std::string::npos);
    EXPECT_NE(commandError({"render", "-o"}).find("-o needs a value"), std::string::npos);
    EXPECT_NE(commandError({"render", "-o", "x.mp4", "--key", "5s:Z"}).find("bad --key '5s:Z'"),
              std::string::npos);
    EXPECT_NE(commandError({"render", "-o", "x.mp4", "--start", "soon"}).find("bad --start"),
              std::string::npos);
    EXPECT_NE(commandError({"play"}).find("unknown command 'play'"), std::string::npos);
    EXPECT_NE(commandError({}).find("no command"), std::string::npos);
}
