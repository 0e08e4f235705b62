// Where a frame's spectrum and waveform bytes come from: live analysis of
// the playing entry's audio, or a recording made earlier.
#pragma once

#include "audio/clip_store.h"
#include "audio/vis_analyzer.h"
#include "audio/vis_frame.h"

#include <string>
#include <vector>

class VisSource {
  public:
    virtual ~VisSource() = default;
    // Bytes for frame `frameIndex`, which shows entry `entry` at `ms` into it.
    virtual bool frameFor(long long frameIndex, int entry, long long ms, VisFrame& frame,
                          std::string& error) = 0;
    // How many frames the source can give at most; -1 for no limit of its own.
    virtual long long frameLimit() const { return -1; }
};

class AnalyzedVisSource : public VisSource {
  public:
    explicit AnalyzedVisSource(ClipStore& clips) : clips_(clips) {}
    bool frameFor(long long frameIndex, int entry, long long ms, VisFrame& frame,
                  std::string& error) override;

  private:
    ClipStore& clips_;
    VisAnalyzer analyzer_;
};

class RecordedVisSource : public VisSource {
  public:
    explicit RecordedVisSource(std::vector<VisFrame> frames) : frames_(std::move(frames)) {}
    bool frameFor(long long frameIndex, int entry, long long ms, VisFrame& frame,
                  std::string& error) override;
    long long frameLimit() const override { return static_cast<long long>(frames_.size()); }

  private:
    std::vector<VisFrame> frames_;
};
