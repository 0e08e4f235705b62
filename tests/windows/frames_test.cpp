// Keys and the frames they give, read back from the window with GDI.
#include "check.h"
#include "dll_host.h"

namespace {

// Bass 30 and loudness 20: the speaker's rim clears the sphere at the centre.
void feedSteadySound(VisModule* module) {
    for (int bin = 120; bin < 126; ++bin)
        module->spectrum[0][bin] = 115;
    for (int bin = 300; bin < 575; ++bin)
        module->spectrum[0][bin] = 34;
}

int yellowAround(const Frame& frame, int radius) {
    int yellow = 0;
    for (int y = 229 - radius; y <= 229 + radius; ++y)
        for (int x = 317 - radius; x <= 317 + radius; ++x) {
            const unsigned char* p = &frame.pixels[(static_cast<size_t>(y) * frame.width + x) * 4];
            yellow += p[2] > 150 && p[1] > 120 && p[0] < p[2] / 2;
        }
    return yellow;
}

// Playlist hidden, rotation off, steady sound: frames repeat from the second on.
Frame steadyFrame(DllHost& host, WPARAM ringKey) {
    host.press(ringKey);
    host.frame();
    host.frame();
    return captureClient(host.renderWindow());
}

void startStill(DllHost& host) {
    ZD_REQUIRE(host.start() == 0);
    feedSteadySound(host.module);
    host.press(VK_F2);
    host.press('D');
}

} // namespace

ZD_TEST(frames, HidingSceneAndPlaylistGivesABlackFrame) {
    DllHost host(DllHost::Placement::Aside);
    ZD_REQUIRE(host.start() == 0);
    host.press(VK_F3);
    host.press(VK_F2);
    host.frame();
    host.frame();
    const Frame frame = captureClient(host.renderWindow());
    ZD_CHECK_EQ(frame.width, 634);
    ZD_CHECK_EQ(frame.height, 458);
    ZD_REQUIRE(!frame.pixels.empty());
    ZD_CHECK_EQ(litPixels(frame), 0);
}

ZD_TEST(frames, WithRotationOffFramesRepeatExactly) {
    DllHost host(DllHost::Placement::Aside);
    startStill(host);
    const Frame second = steadyFrame(host, 'C');
    host.frame();
    const Frame third = captureClient(host.renderWindow());
    ZD_CHECK(second == third);
    ZD_CHECK(litPixels(third) > third.width * third.height / 20);
}

ZD_TEST(frames, EachRingModeDrawsItsOwnFrame) {
    DllHost host(DllHost::Placement::Aside);
    startStill(host);
    const Frame sectors = steadyFrame(host, 'C');
    const Frame bands = steadyFrame(host, 'B');
    const Frame history = steadyFrame(host, 'A');
    ZD_CHECK(!(sectors == bands));
    ZD_CHECK(!(bands == history));
    ZD_CHECK(!(sectors == history));
    ZD_CHECK(steadyFrame(host, 'C') == sectors);
}

ZD_TEST(frames, AnArrowTurnsTheStillSceneOnceAndOnlyWhenRotationIsOff) {
    DllHost host(DllHost::Placement::Aside);
    startStill(host);
    const Frame still = steadyFrame(host, 'C');
    host.press(VK_DOWN);
    host.frame();
    const Frame turned = captureClient(host.renderWindow());
    host.frame();
    ZD_CHECK(!(turned == still));
    ZD_CHECK(captureClient(host.renderWindow()) == turned);
}

ZD_TEST(frames, TheSphereGrowsWhileUpIsHeldAndShrinksOnRelease) {
    DllHost host(DllHost::Placement::Aside);
    startStill(host);
    const Frame still = steadyFrame(host, 'C');
    ZD_CHECK(yellowAround(still, 7) > 60);
    host.press(VK_UP, 1);
    host.press(VK_UP, 0x40000001);
    host.press(VK_UP, 0x40000001);
    host.frame();
    const Frame grown = captureClient(host.renderWindow());
    ZD_CHECK(yellowAround(grown, 40) > yellowAround(still, 40) + 1000);
    host.release(VK_UP);
    host.frame();
    ZD_CHECK(captureClient(host.renderWindow()) == still);
}
