// The same input drawn by the 64-bit and the 32-bit DLL: the 64-bit run keeps
// its frames in ZD_WINE_FRAMES, the 32-bit run compares its own with them.
// And the same recording and script rendered by the native host and by
// zephyrdome.exe (host_parity.sh renders them; this compares their PNGs).
// Both draw 8 bits a channel with the same llvmpipe, so the frames are the
// same bytes, except while the inflated sphere is drawn: Wine's glu32 scales
// the sphere's unit vertices by the radius in float, Debian's GLU in double,
// so at radii that are not a power of two some vertices lie one float step
// apart and a few edge pixels of a frame now and then flip. The i686 zephyrdome.exe
// against the 64-bit one: over the help page, the sphere and a scene that
// turns, the two builds round some vertices apart, so up to 120 edge pixels a
// frame differ (under 0.05%), up to 17 of them by more than 8 levels.
// Wine's 32-bit and 64-bit llvmpipe round a few shading and edge pixels
// differently (about 20 of 290,000 a frame, nearly all by one or two levels,
// one or two edge pixels a frame flip whole): the bound allows that and no more.
#include "check.h"
#include "dll_host.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Steady sound, playlist shown, then each ring mode, the help screen and a grown sphere.
std::vector<Frame> drawParityFrames() {
    DllHost host(DllHost::Placement::Aside);
    host.dispatchPaints = false;
    for (int i = 0; i < 12; ++i)
        host.playlist.push_back("C:\\music\\track" + std::to_string(i) + ".mp3");
    host.position = 3;
    std::vector<Frame> frames;
    if (host.start() != 0) return frames;
    for (int bin = 0; bin < visSampleCount; ++bin) {
        host.module->spectrum[0][bin] = static_cast<unsigned char>((bin * 7) % 120);
        host.module->waveform[0][bin] = static_cast<unsigned char>(128 + (bin % 32) - 16);
    }
    host.press('D');
    for (WPARAM key : {WPARAM('C'), WPARAM('B'), WPARAM('A'), WPARAM('H'), WPARAM(VK_UP)}) {
        host.press(key);
        host.frame();
        frames.push_back(captureClient(host.renderWindow()));
    }
    return frames;
}

std::string framePath(const char* folder, size_t index) {
    return std::string(folder) + "/frame" + std::to_string(index) + ".bgra";
}

bool save(const std::string& path, const Frame& frame) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const int size[2] = {frame.width, frame.height};
    bool ok = std::fwrite(size, sizeof(size), 1, file) == 1 &&
              std::fwrite(frame.pixels.data(), frame.pixels.size(), 1, file) == 1;
    return std::fclose(file) == 0 && ok;
}

bool load(const std::string& path, Frame& frame) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    int size[2] = {};
    bool ok = std::fread(size, sizeof(size), 1, file) == 1 && size[0] > 0 && size[1] > 0 &&
              size[0] <= 4096 && size[1] <= 4096;
    if (ok) {
        frame.width = size[0];
        frame.height = size[1];
        frame.pixels.resize(static_cast<size_t>(size[0]) * size[1] * 4);
        ok = std::fread(frame.pixels.data(), frame.pixels.size(), 1, file) == 1;
    }
    std::fclose(file);
    return ok;
}

// RGB rows, as both hosts write them; empty when the file is missing.
std::vector<unsigned char> loadPng(const std::string& path, int& width, int& height) {
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    std::vector<unsigned char> rgb;
    if (pixels) rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return rgb;
}

std::string pngName(const std::string& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "/frame%05d.png", index);
    return folder + name;
}

} // namespace

ZD_TEST(parity, TheFramesOfBothBuildsAgree) {
    const char* folder = std::getenv("ZD_WINE_FRAMES");
    ZD_REQUIRE(folder != nullptr);
    const std::vector<Frame> frames = drawParityFrames();
    ZD_REQUIRE(frames.size() == 5u);
    if (sizeof(void*) == 8) {
        for (size_t i = 0; i < frames.size(); ++i)
            ZD_CHECK(save(framePath(folder, i), frames[i]));
        return;
    }
    int worst = 0, differing = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        Frame reference;
        if (!load(framePath(folder, i), reference)) {
            std::printf("SKIPPED: no 64-bit frames in %s (run the mingw64 tests first)\n", folder);
            std::exit(77);
        }
        ZD_REQUIRE(reference.width == frames[i].width && reference.height == frames[i].height);
        // Left beside the reference for a look at any difference.
        save(framePath(folder, i) + ".i686", frames[i]);
        int frameWorst = 0, frameDiffering = 0, frameFarOff = 0;
        for (size_t p = 0; p < reference.pixels.size(); p += 4) {
            int pixel = 0;
            for (int c = 0; c < 3; ++c)
                pixel =
                    std::max(pixel, std::abs(reference.pixels[p + c] - frames[i].pixels[p + c]));
            frameWorst = std::max(frameWorst, pixel);
            frameDiffering += pixel != 0;
            frameFarOff += pixel > 8;
        }
        ZD_CHECK(frameDiffering <= 60);
        ZD_CHECK(frameFarOff <= 4);
        std::printf("  frame %zu: %d pixels differ from the 64-bit frame, by at most %d\n", i,
                    frameDiffering, frameWorst);
        worst = std::max(worst, frameWorst);
        differing += frameDiffering;
    }
    std::printf("  in all: %d pixels differ, by at most %d\n", differing, worst);
}

// Frames of zephyrdome.exe (ZD_HOST_FRAMES) against those it is compared
// with (ZD_HOST_REFERENCE): the native host's in the 64-bit run, the 64-bit
// zephyrdome.exe's in the 32-bit one.
ZD_TEST(hostparity, TheWindowsHostDrawsTheFramesItIsComparedWith) {
    const char* reference = std::getenv("ZD_HOST_REFERENCE");
    const char* ours = std::getenv("ZD_HOST_FRAMES");
    ZD_REQUIRE(reference != nullptr && ours != nullptr);
    const bool againstNative = sizeof(void*) == 8;
    int sphereFirst = -1, sphereLast = -1; // the frames drawn while the script holds UP
    if (const char* sphere = std::getenv("ZD_HOST_SPHERE_FRAMES"))
        std::sscanf(sphere, "%d-%d", &sphereFirst, &sphereLast);
    int frames = 0, worst = 0, differing = 0, worstFrame = -1, mostDiffering = 0, farOff = 0,
        differingFrames = 0;
    for (;; ++frames) {
        int width = 0, height = 0, otherWidth = 0, otherHeight = 0;
        std::vector<unsigned char> b = loadPng(pngName(ours, frames), width, height);
        std::vector<unsigned char> a = loadPng(pngName(reference, frames), otherWidth, otherHeight);
        if (b.empty()) {
            // The 64-bit run renders the whole recording, as the native host did.
            ZD_CHECK(!againstNative || a.empty());
            break;
        }
        ZD_REQUIRE(!a.empty() && width == otherWidth && height == otherHeight);
        int frameWorst = 0, frameDiffering = 0, frameFarOff = 0;
        for (size_t p = 0; p < a.size(); p += 3) {
            int pixel = 0;
            for (int c = 0; c < 3; ++c)
                pixel = std::max(pixel, std::abs(a[p + c] - b[p + c]));
            frameWorst = std::max(frameWorst, pixel);
            frameDiffering += pixel != 0;
            frameFarOff += pixel > 8;
        }
        if (againstNative) {
            const bool sphere = frames >= sphereFirst && frames <= sphereLast;
            ZD_CHECK(frameDiffering <= (sphere ? 12 : 0));
        } else {
            ZD_CHECK(frameDiffering <= 250);
            ZD_CHECK(frameFarOff <= 30);
        }
        if (frameDiffering > mostDiffering) {
            mostDiffering = frameDiffering;
            worstFrame = frames;
        }
        worst = std::max(worst, frameWorst);
        differing += frameDiffering;
        farOff += frameFarOff;
        differingFrames += frameDiffering != 0;
    }
    std::printf("  %d frames, %d of them differ: %d pixels in all, by at most %d (%d by more "
                "than 8); most in frame %d (%d)\n",
                frames, differingFrames, differing, worst, farOff, worstFrame, mostDiffering);
    ZD_CHECK(frames >= 100);
    ZD_CHECK(againstNative ? differing <= 24 : farOff <= 300);
}
