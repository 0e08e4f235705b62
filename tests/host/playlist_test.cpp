// The host's playlist answers the plug-in's questions as Winamp does.
#include "session/host_window.h"
#include "session/playlist.h"

#include "shell/vis_module.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
Playlist threeSongs() {
    return Playlist({{"/music/one.flac", "Z:\\music\\one.flac", 10000},
                     {"/music/two.mp3", "Z:\\music\\two.mp3", 3010},
                     {"/music/three.wav", "Z:\\music\\three.wav", 5000}});
}

std::intptr_t ask(Playlist& playlist, std::uintptr_t wParam, std::intptr_t lParam) {
    bool handled = false;
    std::intptr_t answer = playlist.answerUserMessage(wParam, lParam, handled);
    EXPECT_TRUE(handled);
    return answer;
}
} // namespace

TEST(Playlist, unixPathsReachThePlugInAsWineShowsThem) {
    EXPECT_EQ(pluginPathFor("/home/me/Music/song.flac"), "Z:\\home\\me\\Music\\song.flac");
    EXPECT_EQ(pluginPathFor("/home/me/./Music/../song.flac"), "Z:\\home\\me\\song.flac");
    std::string relative = pluginPathFor("song.flac");
    EXPECT_EQ(relative.substr(0, 3), "Z:\\");
    EXPECT_EQ(relative.substr(relative.size() - 10), "\\song.flac");
    EXPECT_EQ(relative.find('/'), std::string::npos);
}

TEST(Playlist, answersLengthPathAndPosition) {
    Playlist playlist = threeSongs();
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistLength), 3);
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistPosition), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(playlist, 1, hostGetPlaylistFile)),
                 "Z:\\music\\two.mp3");
    EXPECT_EQ(ask(playlist, 3, hostGetPlaylistFile), 0);
    EXPECT_EQ(ask(playlist, static_cast<std::uintptr_t>(-1), hostGetPlaylistFile), 0);
}

TEST(Playlist, setPositionSelectsAndOnlyPlayStartsIt) {
    Playlist playlist = threeSongs();
    playlist.advance(2000);
    ask(playlist, 2, hostSetPlaylistPosition);
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistPosition), 2);
    EXPECT_EQ(playlist.playingIndex(), 0);
    EXPECT_EQ(playlist.playingMs(), 2000);
    playlist.play();
    EXPECT_EQ(playlist.playingIndex(), 2);
    EXPECT_EQ(playlist.playingMs(), 0);
}

TEST(Playlist, positionsOutsideTheListAreIgnored) {
    Playlist playlist = threeSongs();
    ask(playlist, 1, hostSetPlaylistPosition);
    ask(playlist, 3, hostSetPlaylistPosition);
    ask(playlist, static_cast<std::uintptr_t>(-1), hostSetPlaylistPosition);
    EXPECT_EQ(playlist.position(), 1);
}

TEST(Playlist, anEntryThatEndsHandsOverToTheNextAndTheLastEndsPlayback) {
    Playlist playlist = threeSongs();
    playlist.seek(9990);
    EXPECT_EQ(playlist.playingIndex(), 0);
    playlist.advance(25);
    EXPECT_EQ(playlist.playingIndex(), 1);
    EXPECT_EQ(playlist.position(), 1);
    EXPECT_EQ(playlist.playingMs(), 0);
    EXPECT_EQ(playlist.remainingMs(), 8010);
    for (int i = 0; i < 120; ++i)
        playlist.advance(25);
    EXPECT_EQ(playlist.playingIndex(), 1); // 3000 ms of 3010 played
    playlist.advance(25);
    EXPECT_EQ(playlist.playingIndex(), 2);
    playlist.seek(18010);
    EXPECT_TRUE(playlist.finished());
    EXPECT_EQ(playlist.remainingMs(), 0);
}

TEST(Playlist, seekCountsThroughTheEntriesPlayedEndToEnd) {
    Playlist playlist = threeSongs();
    playlist.seek(12000);
    EXPECT_EQ(playlist.playingIndex(), 1);
    EXPECT_EQ(playlist.position(), 1);
    EXPECT_EQ(playlist.playingMs(), 2000);
}

TEST(Playlist, otherUserMessagesAreNotOurs) {
    Playlist playlist = threeSongs();
    bool handled = true;
    playlist.answerUserMessage(0, 999, handled);
    EXPECT_FALSE(handled);
}

// Through the host window, as the plug-in sends them.
TEST(HostWindowAnswers, playlistMessagesAndThePlayCommand) {
    Playlist playlist = threeSongs();
    HostWindow host;
    std::string error;
    ASSERT_TRUE(host.create(playlist, error)) << error;
    HWND window = host.handle();
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, hostGetPlaylistLength), 3);
    const char* path =
        reinterpret_cast<const char*>(SendMessageA(window, WM_USER, 2, hostGetPlaylistFile));
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "Z:\\music\\three.wav");
    // The pointer stays good: the plug-in may read it after asking for the next one.
    SendMessageA(window, WM_USER, 0, hostGetPlaylistFile);
    EXPECT_STREQ(path, "Z:\\music\\three.wav");

    SendMessageA(window, WM_USER, 2, hostSetPlaylistPosition);
    SendMessageA(window, WM_COMMAND, hostPlayCommand, 0);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, hostGetPlaylistPosition), 2);
    EXPECT_EQ(playlist.playingIndex(), 2);
    EXPECT_EQ(host.playCommands(), 1);

    PostMessageA(window, WM_KEYUP, 0x41, static_cast<LPARAM>(0xC01E0001u));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(host.keyReleases(), 1);
}

// The plug-in's panel fetches its titles again only when the length
// changes, so new entries of the same length answer 0 once first.
TEST(Playlist, replacedEntriesAnswerLengthZeroOnceSoThePanelFetchesThemAnew) {
    Playlist playlist = threeSongs();
    ask(playlist, 2, hostSetPlaylistPosition);
    playlist.replaceEntries(
        {{"", "listen\\one", -1}, {"", "listen\\two", -1}, {"", "listen\\3", -1}});
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistLength), 0);
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistLength), 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(playlist, 1, hostGetPlaylistFile)),
                 "listen\\two");
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistPosition), 2);
    playlist.replaceEntries({{"", "listen\\alone", -1}});
    EXPECT_EQ(ask(playlist, 0, hostGetPlaylistPosition), 0);
}
