// `zephyrdome listen` with real media players on the private session bus
// and sound server: VLC's track list in the panel, where a click makes VLC
// play that track, and mpv's track playing alone (mpv-mpris offers no
// list), followed as it changes. Both run at once: --player picks one.
#include "background_process.h"
#include "desktop.h"
#include "host/test_audio.h"
#include "play_run.h"
#include "sound_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace {

// 30 s of a 6 kHz tone tagged as VLC and mpv read titles, in Ogg Vorbis.
std::string writeSong(const ScratchFolder& folder, const std::string& title) {
    std::string path = folder.path(title + ".ogg");
    EXPECT_EQ(
        runTool({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=frequency=6000:duration=30",
                 "-metadata", "title=" + title, "-metadata", "artist=Zd Band", path}),
        0);
    return path;
}

// What playerctl says of the player's track playing.
std::string playingTitle(const std::string& player) {
    std::string title;
    runTool({"playerctl", "--player=" + player, "metadata", "title"}, &title);
    return title;
}

size_t framesTraced(const PlayRun& run) {
    std::vector<std::string> lines = run.traceLines();
    return std::count_if(lines.begin(), lines.end(),
                         [](const std::string& line) { return line.rfind("frame ", 0) == 0; });
}

// The plug-in's panel takes new titles at its next frames; three more are drawn.
bool panelCaughtUp(const PlayRun& run) {
    size_t wanted = framesTraced(run) + 3;
    return waitUntil([&] { return framesTraced(run) >= wanted; });
}

class DesktopPlayer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error)) << error;
        ASSERT_TRUE(startSoundServer(SoundServerKind::pipewire, error)) << error;
    }

    // VLC refuses to run as root: there it runs as nobody, in a home of its own.
    void startVlc(const std::vector<std::string>& songs) {
        std::string home = folder_.path("vlc-home");
        std::filesystem::create_directories(home);
        std::vector<std::string> command;
        const passwd* nobody = getpwnam("nobody");
        if (geteuid() == 0 && nobody) {
            ASSERT_EQ(chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            command = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
        }
        for (const char* arg : {"vlc", "-I", "dummy", "--control", "dbus", "--no-video"})
            command.push_back(arg);
        command.insert(command.end(), songs.begin(), songs.end());
        ASSERT_TRUE(vlc_.start(command, {"HOME=" + home, "XDG_RUNTIME_DIR=" + home},
                               folder_.path("vlc.log")));
    }

    void startMpv(const std::vector<std::string>& songs) {
        std::vector<std::string> command = {"mpv", "--no-config", "--no-video", "--ao=pulse",
                                            "--script=/usr/lib/mpv-mpris/mpris.so"};
        command.insert(command.end(), songs.begin(), songs.end());
        ASSERT_TRUE(mpv_.start(command, {}, folder_.path("mpv.log")));
    }

    ScratchFolder folder_;
    BackgroundProcess vlc_;
    BackgroundProcess mpv_;
};

} // namespace

TEST_F(DesktopPlayer, the_panel_lists_the_players_tracks_and_a_click_plays_one) {
    std::filesystem::permissions(folder_.folder(), std::filesystem::perms(0755));
    std::vector<std::string> songs = {writeSong(folder_, "Song A"), writeSong(folder_, "Song B"),
                                      writeSong(folder_, "Song C")};
    startVlc(songs);
    startMpv({songs[1], songs[2]});
    ASSERT_TRUE(waitUntil([] { return playingTitle("vlc") == "Song A\n"; }))
        << "VLC did not play (see " << folder_.path("vlc.log") << ")";
    ASSERT_TRUE(waitUntil([] { return playingTitle("mpv") == "Song B\n"; }))
        << "mpv did not play (see " << folder_.path("mpv.log") << ")";

    PlayRun vlc("listen");
    ASSERT_TRUE(vlc.start({"--player", "vlc"})) << vlc.errorOutput();
    EXPECT_FALSE(vlc.waitForLine("desktop player vlc").empty()) << vlc.errorOutput();
    EXPECT_FALSE(vlc.waitForLine("title 0 Zd Band - Song A").empty());
    EXPECT_FALSE(vlc.waitForLine("title 2 Zd Band - Song C").empty());
    EXPECT_FALSE(vlc.waitForLine("entry 0").empty());
    ASSERT_TRUE(panelCaughtUp(vlc));
    // The third line of the panel: lines are 15 pixels apart from y = 20.
    ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(vlc.window()), "100",
                       "57", "click", "1"}),
              0);
    EXPECT_FALSE(vlc.waitForLine("play entry 2").empty());
    EXPECT_TRUE(waitUntil([] { return playingTitle("vlc") == "Song C\n"; }))
        << "VLC plays " << playingTitle("vlc");
    EXPECT_FALSE(vlc.waitForLine("entry 2").empty()) << "the panel did not follow VLC";
    ASSERT_EQ(runTool({"playerctl", "--player=vlc", "previous"}), 0);
    EXPECT_FALSE(vlc.waitForLine("entry 1").empty()) << "the panel did not follow VLC";
    vlc.closeWindow();
    EXPECT_EQ(vlc.wait(), 0) << vlc.errorOutput();

    // mpv offers the track playing alone: one entry, the same length for each track.
    PlayRun mpv("listen");
    ASSERT_TRUE(mpv.start({"--player", "mpv"})) << mpv.errorOutput();
    EXPECT_FALSE(mpv.waitForLine("title 0 Zd Band - Song B").empty()) << mpv.errorOutput();
    ASSERT_EQ(runTool({"playerctl", "--player=mpv", "next"}), 0);
    EXPECT_FALSE(mpv.waitForLine("title 0 Zd Band - Song C").empty());
    for (const std::string& line : mpv.traceLines())
        EXPECT_NE(line.rfind("title 1 ", 0), 0u) << line;
    mpv.closeWindow();
    EXPECT_EQ(mpv.wait(), 0) << mpv.errorOutput();
}
