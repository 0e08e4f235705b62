// The panel when the heap says no: it keeps going with fewer titles.
#include "gl_fixture.h"

#include "overlay/playlist_panel.h"
#include "shell/vis_module.h"
#include "test_host.h"

#include <cstdlib>
#include <new>
#include <string>

namespace {

// Counts the panel's nothrow array allocations and refuses the one chosen;
// the blocks come from malloc, and the array deletes below give them back to
// free, so sanitizers see matching pairs.
int nothrowArrays = 0;
int refuseArray = -1;

} // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (nothrowArrays++ == refuseArray) return nullptr;
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

class PanelAllocation : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        module.hostWindow = host.window();
        host.playlist = {"C:\\a.mp3", "C:\\b.mp3", "C:\\c.mp3"};
        nothrowArrays = 0;
    }
    void TearDown() override {
        refuseArray = -1;
        GlTest::TearDown();
    }

    TestHost host;
    VisModule module{};
};

TEST_F(PanelAllocation, refusedTitleArrayLeavesAnEmptyList) {
    refuseArray = 0;
    PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
    EXPECT_EQ(panel.titleCount, 0);
    EXPECT_EQ(panel.titles, nullptr);
    EXPECT_EQ(panel.hitTest(0, 30), -1);
    panel.draw();
}

TEST_F(PanelAllocation, refusedTitleStaysEmptyAndTheOthersRemain) {
    refuseArray = 2; // the array, title 0, then title 1
    PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
    ASSERT_EQ(panel.titleCount, 3);
    EXPECT_STREQ(panel.titles[0], "a.mp3");
    EXPECT_EQ(panel.titles[1], nullptr);
    EXPECT_STREQ(panel.titles[2], "c.mp3");
    panel.setCurrent(1);
    EXPECT_EQ(panel.hitTest(0, 40), 1);
}

TEST_F(PanelAllocation, refreshThatCannotAllocateEmptiesTheListAndTriesAgainLater) {
    PlaylistPanel panel(&module, "/nonexistent/fontGray.tga");
    host.playlist.push_back("C:\\d.mp3");
    refuseArray = nothrowArrays;
    panel.refresh();
    EXPECT_EQ(panel.titleCount, 0);
    EXPECT_EQ(panel.titles, nullptr);
    panel.refresh();
    ASSERT_EQ(panel.titleCount, 4);
    EXPECT_STREQ(panel.titles[3], "d.mp3");
}
