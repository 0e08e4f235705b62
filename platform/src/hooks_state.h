// What the hooks of platform_hooks.h switch inside the subset.
#pragma once

#include <platform_hooks.h>

namespace zdp {

bool failureActive(PlatformFailure failure);
bool paletteFormatOffered();
bool sendTimeoutsWait();
void clearFailures();

void notifyPresent(HWND window);
void clearPresentListener();

void clearMessageBoxRecord();
void clearMessageQueues();
void clearLoadError();
void deleteAllContexts();
void deleteAllPalettes();
int liveContextCount();
int liveDeviceContextCount();
int livePaletteCount();

} // namespace zdp
