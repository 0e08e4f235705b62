// What a recording host window receives from the plug-in.
#include "check.h"
#include "dll_host.h"

#include <string>

namespace {

void fillPlaylist(DllHost& host, int count) {
    for (int i = 0; i < count; ++i)
        host.playlist.push_back("C:\\music\\track" + std::to_string(i) + ".mp3");
}

} // namespace

ZD_TEST(messages, TheStartReadsTheListAndFramesRereadItOnlyWhenItsLengthChanges) {
    DllHost host;
    fillPlaylist(host, 3);
    ZD_REQUIRE(host.start() == 0);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistLength), 1);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 3);
    WPARAM next = 0;
    for (const RecordedMessage& m : host.only(WM_USER))
        if (m.lParam == hostGetPlaylistFile) ZD_CHECK_EQ(m.wParam, next++);

    host.messages.clear();
    host.position = 2;
    ZD_CHECK_EQ(host.frame(), 0);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistPosition), 1);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistLength), 1);
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 0);

    fillPlaylist(host, 1);
    host.messages.clear();
    host.frame();
    ZD_CHECK_EQ(host.countOf(WM_USER, hostGetPlaylistFile), 4);
    ZD_CHECK(host.only(WM_COMMAND).empty());
}

ZD_TEST(messages, AClickOnATitleSetsThePositionThenPlays) {
    DllHost host;
    fillPlaylist(host, 100);
    host.position = 15;
    ZD_REQUIRE(host.start() == 0);
    host.frame();
    host.messages.clear();
    host.click(5, 20);
    host.click(200, 10);
    ZD_CHECK(host.messages.empty());

    host.click(600, 36);
    ZD_REQUIRE(host.messages.size() == 2u);
    ZD_CHECK_EQ(host.messages[0].message, static_cast<UINT>(WM_USER));
    ZD_CHECK_EQ(host.messages[0].wParam, static_cast<WPARAM>(6));
    ZD_CHECK_EQ(host.messages[0].lParam, hostSetPlaylistPosition);
    ZD_CHECK_EQ(host.messages[1].message, static_cast<UINT>(WM_COMMAND));
    ZD_CHECK_EQ(host.messages[1].wParam, hostPlayCommand);
    ZD_CHECK_EQ(host.messages[1].lParam, 0);
    ZD_CHECK_EQ(host.position, 6);
    ZD_CHECK_EQ(host.playCount, 1);
}

ZD_TEST(messages, EveryKeyReleaseReachesTheHostUnchangedAndNothingElseDoes) {
    DllHost host;
    ZD_REQUIRE(host.start() == 0);
    host.messages.clear();
    host.press('A');
    PostMessageA(host.renderWindow(), WM_SYSKEYUP, 'X', static_cast<LPARAM>(0xE0000001u));
    host.pumpMessages();
    host.release('A', static_cast<LPARAM>(0xC01E0001u));
    host.release(VK_SPACE, 0x12345);
    host.release(VK_UP);
    ZD_CHECK(host.only(WM_KEYDOWN).empty());
    ZD_CHECK(host.only(WM_SYSKEYUP).empty());
    const auto releases = host.only(WM_KEYUP);
    ZD_REQUIRE(releases.size() == 3u);
    ZD_CHECK_EQ(releases[0].wParam, static_cast<WPARAM>('A'));
    ZD_CHECK_EQ(releases[0].lParam, static_cast<LPARAM>(0xC01E0001u));
    ZD_CHECK_EQ(releases[1].wParam, static_cast<WPARAM>(VK_SPACE));
    ZD_CHECK_EQ(releases[1].lParam, 0x12345);
    ZD_CHECK_EQ(releases[2].wParam, static_cast<WPARAM>(VK_UP));
    ZD_CHECK_EQ(releases[2].lParam, static_cast<LPARAM>(0xC0000001u));
}
