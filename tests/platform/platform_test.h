// Shared set-up for the Win32 subset's tests: a fresh platform per test and a
// window class whose procedure records every message it receives.
#pragma once

#include <platform_hooks.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The messages that reached recordingProc, in order.
std::vector<LoggedMessage>& messageLog();
// What recordingProc answers for a message instead of default processing.
std::map<UINT, LRESULT>& cannedResults();
// The messages that reached one window, in order.
std::vector<UINT> loggedMessages(HWND window);

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HINSTANCE testInstance();
constexpr const char* testClassName = "PlatformTestWindow";

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A 640 by 480 tool window like the plug-in's, at (100, 100).
    HWND createToolWindow(DWORD style = WS_SYSMENU, HWND owner = nullptr);
    HWND createWindow(DWORD exStyle, DWORD style, HWND parent = nullptr);
};
