// A desktop GL compatibility context on Mesa's surfaceless EGL platform with a
// pbuffer of the plug-in's client size, made current on the calling thread and
// kept for the process: the fuzz targets draw into it as the plug-in would.
#pragma once

constexpr int headlessWidth = 634;
constexpr int headlessHeight = 458;

// Aborts the process when no context can be had: a fuzz target without GL
// would test nothing.
void openHeadlessGL();
