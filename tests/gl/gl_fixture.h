// Every GL test runs in a fresh headless compatibility context whose default
// framebuffer has the plug-in's client size (634 by 458), current on this
// thread for the whole test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

class GlTest : public ::testing::Test {
  protected:
    static constexpr int defaultWidth = 634;
    static constexpr int defaultHeight = 458;

    void SetUp() override;
    void TearDown() override;

    int width() const { return width_; }
    int height() const { return height_; }

    // RGBA8 pixels of the current framebuffer, rows top-down.
    std::vector<unsigned char> readPixels() const;
    // Depth values of the current framebuffer, rows bottom-up.
    std::vector<float> readDepth() const;

  private:
    int width_ = defaultWidth;
    int height_ = defaultHeight;
    struct Context;
    Context* context_ = nullptr;
};
