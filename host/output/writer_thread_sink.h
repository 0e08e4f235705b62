// A sink that hands its frames and sound to another sink on a writer thread,
// so that rendering the next frame overlaps encoding (or compressing) this one.
#pragma once

#include "output/frame_sink.h"

#include <memory>

// At most `queuedFrames` frames wait for the writer; the renderer blocks on
// the next one until there is room. A write that fails on the writer thread
// fails the next call on this side, with its message. Once the first few
// frames are written, the writer thread and whatever the sink runs (a video's
// encoder) step `niceness` nice steps below the caller's priority; 0 keeps
// the caller's.
std::unique_ptr<FrameSink> onWriterThread(std::unique_ptr<FrameSink> sink, int queuedFrames,
                                          int niceness = 0);
