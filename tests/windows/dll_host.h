// The plug-in's DLL as a Winamp-style host drives it on real Win32: loaded
// with LoadLibrary, reached through winampVisGetHeader, with a host window
// that records every message it gets and answers the playlist queries.
#pragma once

#include "shell/vis_module.h"

#include <string>
#include <vector>

struct HostMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class DllHost {
  public:
    // A host that reads frames back moves the plug-in's window aside, clear of
    // the windows of test programs running beside it.
    enum class Placement { Default, Aside };
    explicit DllHost(Placement placement = Placement::Default);
    ~DllHost();
    DllHost(const DllHost&) = delete;
    DllHost& operator=(const DllHost&) = delete;

    HMODULE library = nullptr;
    VisHeader* header = nullptr;
    VisModule* module = nullptr;
    HWND window = nullptr;

    std::vector<std::string> playlist;
    int position = 0;
    int playCount = 0;
    int quitCount = 0;
    std::vector<HostMessage> messages;

    int start();
    int frame();
    void stop();
    // The plug-in's window, found by its class among this thread's windows.
    HWND renderWindow() const;
    // Dispatches everything queued on this thread; a quit is counted, not obeyed.
    void pump();
    void press(WPARAM key, LPARAM keyData = 1);
    void release(WPARAM key, LPARAM keyData = static_cast<LPARAM>(0xC0000001u));
    void click(int x, int y);
    int countOf(UINT message, LPARAM lParam) const;
    std::vector<HostMessage> only(UINT message) const;

  private:
    Placement placement_;
    static BOOL CALLBACK matchRenderWindow(HWND window, LPARAM result);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The render window's client area as presented, read back with GDI: BGRA
// rows top-down.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    bool operator==(const Frame& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};
Frame captureClient(HWND window);
// Pixels with any colour at all.
int litPixels(const Frame& frame);
