// A private X server for the tests that need a desktop: Xvfb on a free
// display number, started once per test program and stopped at its exit,
// with DISPLAY pointing at it, and a window manager (openbox) when asked
// for; and the desktop tools the tests drive it with: xdotool for keys,
// clicks, sizes and closing, xwd for screenshots.
//
//   ASSERT_TRUE(startDesktop(error)) << error;   // then setenv'd DISPLAY
//   runTool({"xdotool", "key", "b"});
//   Screenshot shot; takeScreenshot(windowId, shot, error);
#pragma once

#include <functional>
#include <string>
#include <vector>

struct DesktopSetup {
    std::string screen = "2048x1536x24"; // room for the plug-in's window at zoom 2
    bool windowManager = false;
};

bool startDesktop(std::string& error, const DesktopSetup& setup = {});
// ":N" once started.
const std::string& desktopDisplay();

// Polls `ready` every 20 ms for up to 20 s; false if it never held.
bool waitUntil(const std::function<bool()>& ready);

// Runs a tool on the desktop and waits for it; its exit status, -1 when it
// could not run. What it prints on stdout goes to `output` when given.
int runTool(const std::vector<std::string>& args, std::string* output = nullptr);

// Top-down RGB rows of a window's contents.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* pixel(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Through `xwd -id`: what the X server holds for the window.
bool takeScreenshot(unsigned long window, Screenshot& shot, std::string& error);
// Decodes xwd's output (32-bit TrueColor images only).
bool decodeXwd(const std::string& data, Screenshot& shot, std::string& error);
// A PNG file (such as a frame `play --save-frames` wrote) as top-down RGB rows.
bool readPngRgb(const std::string& path, Screenshot& picture);
