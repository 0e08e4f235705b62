// The plug-in's DLL as a Winamp-style host drives it on real Win32: loaded
// with LoadLibrary and reached through winampVisGetHeader, with the recording
// test host's window as the player's main window.
#pragma once

#include "test_host.h"

#include "shell/vis_module.h"

#include <vector>

class DllHost : public TestHost {
  public:
    // A host that reads frames back moves the plug-in's window aside, clear of
    // the windows of test programs running beside it.
    enum class Placement { Default, Aside };
    explicit DllHost(Placement placement = Placement::Default);
    ~DllHost();

    // Off: the render window's paints are validated, not drawn. Each paint
    // draws the scene, which turns it and sways the panel, and how many a
    // window gets depends on the display; frames compared across runs need
    // the same number of draws in each.
    bool dispatchPaints = true;

    HMODULE library = nullptr;
    VisHeader* header = nullptr;
    VisModule* module = nullptr;

    int start();
    int frame();
    // One frame on a new thread, as hosts that render on their decoder thread
    // do; this thread answers what the plug-in sends it meanwhile.
    int frameOnThread();
    void stop();
    // onStop from a new thread, this one answering and then pumping as above.
    void stopOnThread();
    // Answers what other threads sent this one, dispatching nothing posted.
    void pumpSent();
    // The plug-in's window, found by its class among this thread's windows.
    HWND renderWindow() const;
    void press(WPARAM key, LPARAM keyData = 1);
    void release(WPARAM key, LPARAM keyData = static_cast<LPARAM>(0xC0000001u));
    void click(int x, int y);

  private:
    // Runs the callback on a new thread while this one answers what it sends.
    int onNewThread(int (*call)(VisModule*));
    void pump();
    static BOOL CALLBACK matchRenderWindow(HWND window, LPARAM result);
    Placement placement_;
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
