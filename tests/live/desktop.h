// A private X server for the tests that need a desktop: Xvfb on a free
// display number, started once per test program and stopped at its exit,
// with DISPLAY pointing at it; and the desktop tools the tests drive it
// with: xdotool for keys, clicks and closing, xwd for screenshots.
//
//   ASSERT_TRUE(startDesktop(error)) << error;   // then setenv'd DISPLAY
//   runTool({"xdotool", "key", "b"});
//   Screenshot shot; takeScreenshot(windowId, shot, error);
#pragma once

#include <functional>
#include <string>
#include <vector>

bool startDesktop(std::string& error);
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
