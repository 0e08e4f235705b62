// The player behind `zephyrdome play` against an output whose heard
// position the test sets: what is queued, what is heard, the transport, and
// the clock frames are paced on.
#include "session/frame_clock.h"
#include "session/live_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace {

// One frame a millisecond, so frames and milliseconds read the same.
class FakeOutput : public AudioOutput {
  public:
    int sampleRate() const override { return 1000; }
    void write(const std::int16_t* samples, long long frames) override {
        for (long long i = 0; i < frames; ++i)
            leftSamples.push_back(samples[2 * i]);
        written += frames;
    }
    long long writtenFrames() const override { return written; }
    double heardFrames() override { return heard; }
    void setPaused(bool on) override { paused = on; }
    void discardQueued() override {
        written = static_cast<long long>(std::ceil(heard));
        leftSamples.resize(size_t(written));
    }

    std::vector<std::int16_t> leftSamples; // by frame on the timeline
    long long written = 0;
    double heard = 0.0;
    bool paused = false;
};

// Entries of 100, 50 and 50 ms whose samples say entry and millisecond.
AudioClip testClip(int entry) {
    AudioClip clip;
    clip.sampleRate = 1000;
    clip.channels = 1;
    int length = entry == 0 ? 100 : 50;
    for (int ms = 0; ms < length; ++ms)
        clip.samples.push_back(std::int16_t(1000 * entry + ms));
    return clip;
}

class LivePlayback : public ::testing::Test {
  protected:
    LivePlayback()
        : playlist({{"a", "a", 100}, {"b", "b", 50}, {"c", "c", 50}}),
          clips([](int entry, AudioClip& clip, std::string&) {
              clip = testClip(entry);
              return true;
          }),
          player(playlist, clips, output) {}

    HeardPosition hearAt(double frame) {
        output.heard = frame;
        return player.heard();
    }

    void feed() {
        std::string warning;
        player.feed(warning);
    }

    Playlist playlist;
    FakeOutput output;
    ClipCache clips;
    LivePlayer player;
};

TEST_F(LivePlayback, sound_is_queued_entry_after_entry_200_ms_ahead_of_the_listener) {
    feed();
    ASSERT_EQ(output.written, 200);
    EXPECT_EQ(output.leftSamples[0], 0);
    EXPECT_EQ(output.leftSamples[99], 99);
    EXPECT_EQ(output.leftSamples[100], 1000);
    EXPECT_EQ(output.leftSamples[150], 2000);
    EXPECT_EQ(output.leftSamples[199], 2049);
    hearAt(150);
    feed();
    EXPECT_EQ(output.written, 200) << "nothing is left to queue";
}

TEST_F(LivePlayback, the_next_entry_is_heard_when_its_first_frame_is_not_when_it_is_queued) {
    feed();
    HeardPosition before = hearAt(99.5);
    EXPECT_EQ(before.entry, 0);
    EXPECT_EQ(before.ms, 99);
    HeardPosition after = hearAt(120);
    EXPECT_EQ(after.entry, 1);
    EXPECT_EQ(after.ms, 20);
    EXPECT_FALSE(after.silent);
}

TEST_F(LivePlayback, a_picked_entry_replaces_the_queue_and_is_heard_at_once) {
    feed();
    hearAt(30);
    player.playEntry(2);
    HeardPosition now = player.heard();
    EXPECT_EQ(now.entry, 2);
    EXPECT_EQ(now.ms, 0);
    feed();
    EXPECT_EQ(output.leftSamples[30], 2000);
    EXPECT_EQ(output.written, 80) << "the last entry ends 50 ms on";
}

TEST_F(LivePlayback, pause_is_silent_and_stop_rewinds_the_entry_for_play) {
    feed();
    hearAt(40);
    player.togglePause();
    EXPECT_TRUE(output.paused);
    EXPECT_TRUE(player.heard().silent);
    player.togglePause();
    EXPECT_FALSE(player.heard().silent);
    EXPECT_EQ(player.heard().ms, 40);
    player.stop();
    EXPECT_TRUE(player.heard().silent);
    feed();
    EXPECT_EQ(output.written, 40) << "a stopped player queues nothing";
    player.play();
    EXPECT_FALSE(output.paused);
    EXPECT_EQ(player.heard().ms, 0);
}

TEST_F(LivePlayback, next_and_previous_step_through_the_playlist_and_stop_at_its_ends) {
    player.previous();
    EXPECT_EQ(player.heard().entry, 0);
    player.next();
    player.next();
    player.next();
    EXPECT_EQ(player.heard().entry, 2);
    player.previous();
    EXPECT_EQ(player.heard().entry, 1);
}

TEST_F(LivePlayback, playback_finishes_once_the_last_frame_is_heard) {
    feed();
    EXPECT_FALSE(player.finished());
    hearAt(199);
    EXPECT_FALSE(player.finished());
    hearAt(200);
    EXPECT_TRUE(player.finished());
}

TEST(LivePlayer, an_entry_that_cannot_be_decoded_is_reported_once_and_skipped) {
    Playlist playlist({{"a", "a", 100}, {"b", "b", 50}, {"c", "c", 50}});
    ClipCache clips([](int entry, AudioClip& clip, std::string& error) {
        error = "broken";
        if (entry == 1) return false;
        clip = testClip(entry);
        return true;
    });
    FakeOutput output;
    LivePlayer player(playlist, clips, output);
    std::string warning;
    player.feed(warning);
    EXPECT_EQ(warning, "cannot play b: broken");
    EXPECT_EQ(output.written, 150);
    EXPECT_EQ(output.leftSamples[100], 2000);
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Away from the sound the clock reads the monotonic clock, so the test brackets
// each reading with its own readings of that clock instead of allowing a margin.
TEST(FrameClock, follows_the_sound_and_hands_over_to_the_system_clock_without_a_jump) {
    FakeOutput output;
    FrameClock clock(output);
    output.heard = 500;
    EXPECT_DOUBLE_EQ(clock.nowMs(), 500.0);
    auto handedOver = std::chrono::steady_clock::now();
    clock.followSound(false);
    double paused = clock.nowMs();
    EXPECT_GE(paused, 500.0);
    EXPECT_LE(paused, 500.0 + msSince(handedOver));
    output.heard = 900; // sound heard while paused does not count
    auto handedBack = std::chrono::steady_clock::now();
    double resumed = clock.nowMs();
    EXPECT_LE(resumed, 500.0 + msSince(handedOver));
    clock.followSound(true);
    double following = clock.nowMs();
    EXPECT_GE(following, resumed);
    EXPECT_LE(following, resumed + msSince(handedBack));
    output.heard = 1000;
    EXPECT_DOUBLE_EQ(clock.nowMs(), following + 100.0);
}

// Silence stands in for a sound card at the pace of the monotonic clock.
TEST(SilentOutput, is_heard_at_the_pace_of_the_monotonic_clock_while_it_has_frames) {
    auto before = std::chrono::steady_clock::now();
    std::unique_ptr<AudioOutput> output = openSilentOutput(1000);
    double openedWithin = msSince(before);
    std::vector<std::int16_t> silence(2 * 100000); // 100 s at 1 kHz, never used up here
    output->write(silence.data(), 100000);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    double earliest = msSince(before) - openedWithin;
    double heard = output->heardFrames();
    double latest = msSince(before);
    EXPECT_GE(heard, earliest);
    EXPECT_LE(heard, latest);
    output->setPaused(true);
    double atPause = output->heardFrames();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_DOUBLE_EQ(output->heardFrames(), atPause);
}

TEST(FramePacer, makes_up_a_late_frame_but_starts_over_after_a_stall) {
    FramePacer pacer(25);
    EXPECT_LE(pacer.untilDueMs(0.0), 0.0);
    pacer.frameShown(0.0);
    EXPECT_DOUBLE_EQ(pacer.untilDueMs(10.0), 15.0);
    pacer.frameShown(40.0); // 15 ms late
    EXPECT_DOUBLE_EQ(pacer.untilDueMs(40.0), 10.0);
    pacer.frameShown(500.0); // the machine stalled for many frames
    EXPECT_DOUBLE_EQ(pacer.untilDueMs(500.0), 0.0);
    pacer.frameShown(500.0);
    EXPECT_DOUBLE_EQ(pacer.untilDueMs(500.0), 25.0);
}

} // namespace
