// The records a Winamp-style host exchanges with a visualisation plug-in.
//
// The host calls winampVisGetHeader(), then header->moduleGetter(0), fills
// hostWindow and instance, and drives the module through its four callbacks,
// copying fresh spectrum and waveform bytes into row 0 before every onRender.
// On 32-bit Windows both records are laid out byte for byte as hosts read them;
// the 64-bit Windows build keeps the same records in their natural layout.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr int visSampleCount = 576;

struct VisModule;

extern "C" {
typedef VisModule* (*VisModuleGetter)(int index);
typedef void (*VisModuleProc)(VisModule* module);
typedef int (*VisModuleIntProc)(VisModule* module);
}

struct VisHeader {
    int interfaceVersion;
    const char* libraryName;
    VisModuleGetter moduleGetter;
};

struct VisModule {
    const char* moduleName;
    HWND hostWindow;
    HINSTANCE instance;
    int sampleRate;
    int channelCount;
    int latency;
    int frameDelay;
    int spectrumChannels;
    int waveformChannels;
    unsigned char spectrum[2][visSampleCount];
    unsigned char waveform[2][visSampleCount];
    VisModuleProc onConfigure;
    VisModuleIntProc onStart;
    VisModuleIntProc onRender;
    VisModuleProc onStop;
    void* hostData;
};

constexpr int visInterfaceVersion = 0x101;

// Messages a plug-in sends to the host window: WM_USER with one of these in lParam.
constexpr LPARAM hostGetPlaylistPosition = 125;
constexpr LPARAM hostGetPlaylistLength = 124;
constexpr LPARAM hostGetPlaylistFile = 211;
constexpr LPARAM hostSetPlaylistPosition = 121;
// WM_COMMAND with this wParam is the host's Play button.
constexpr WPARAM hostPlayCommand = 40045;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VisHeader) == 12, "VisHeader is 12 bytes");
static_assert(offsetof(VisHeader, interfaceVersion) == 0);
static_assert(offsetof(VisHeader, libraryName) == 4);
static_assert(offsetof(VisHeader, moduleGetter) == 8);
static_assert(sizeof(VisModule) == 2360, "VisModule is 2360 bytes");
static_assert(offsetof(VisModule, moduleName) == 0);
static_assert(offsetof(VisModule, hostWindow) == 4);
static_assert(offsetof(VisModule, instance) == 8);
static_assert(offsetof(VisModule, sampleRate) == 12);
static_assert(offsetof(VisModule, channelCount) == 16);
static_assert(offsetof(VisModule, latency) == 20);
static_assert(offsetof(VisModule, frameDelay) == 24);
static_assert(offsetof(VisModule, spectrumChannels) == 28);
static_assert(offsetof(VisModule, waveformChannels) == 32);
static_assert(offsetof(VisModule, spectrum) == 36);
static_assert(offsetof(VisModule, spectrum[1]) == 612);
static_assert(offsetof(VisModule, waveform) == 1188);
static_assert(offsetof(VisModule, waveform[1]) == 1764);
static_assert(offsetof(VisModule, onConfigure) == 2340);
static_assert(offsetof(VisModule, onStart) == 2344);
static_assert(offsetof(VisModule, onRender) == 2348);
static_assert(offsetof(VisModule, onStop) == 2352);
static_assert(offsetof(VisModule, hostData) == 2356);
#elif defined(_WIN64)
static_assert(sizeof(VisHeader) == 24, "VisHeader is 24 bytes");
static_assert(offsetof(VisHeader, libraryName) == 8);
static_assert(offsetof(VisHeader, moduleGetter) == 16);
static_assert(sizeof(VisModule) == 2392, "VisModule is 2392 bytes");
static_assert(offsetof(VisModule, hostWindow) == 8);
static_assert(offsetof(VisModule, instance) == 16);
static_assert(offsetof(VisModule, sampleRate) == 24);
static_assert(offsetof(VisModule, waveformChannels) == 44);
static_assert(offsetof(VisModule, spectrum) == 48);
static_assert(offsetof(VisModule, waveform) == 1200);
static_assert(offsetof(VisModule, onConfigure) == 2352);
static_assert(offsetof(VisModule, onStart) == 2360);
static_assert(offsetof(VisModule, onRender) == 2368);
static_assert(offsetof(VisModule, onStop) == 2376);
static_assert(offsetof(VisModule, hostData) == 2384);
#endif

// The library's one export, as hosts look it up by name.
extern "C" typedef VisHeader* (*VisHeaderGetter)();
