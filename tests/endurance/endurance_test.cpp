// The plug-in under a long-running host. The ctest runs a short version;
//   endurance_test --cycles 1000 --frames 100000
// runs the full one. The first cycles warm up the driver's caches; from then
// to the end no window, class, GL context, device context, palette or open
// file may be left over, and resident memory and the heap may grow only by
// their bounds.
#include "endurance_run.h"
#include "process_usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct EnduranceConfig {
    int cycles = 28;
    long long frames = 1400;
    unsigned seed = 20240611;
    int warmupCycles = 7;
    // The driver's JIT and the allocator move resident memory by a few MiB
    // either way; a leaked context or window surface costs more than a MiB a
    // cycle. The heap in use is steadier.
    long residentBoundKb = 16384;
    long heapBoundKb = 256;
};

EnduranceConfig config;

// Frames are spread evenly over the cycles that render any.
long long framesOfCycle(int index) {
    int renderingCycles = 0, before = 0;
    for (int i = 0; i < config.cycles; ++i) {
        if (!cycleRendersFrames(cycleKindOf(i))) continue;
        if (i < index) ++before;
        ++renderingCycles;
    }
    if (!cycleRendersFrames(cycleKindOf(index)) || renderingCycles == 0) return 0;
    return config.frames * (before + 1) / renderingCycles -
           config.frames * before / renderingCycles;
}

void report(const char* when, const ProcessUsage& usage) {
    std::printf("%-8s %s\n", when, describeUsage(usage).c_str());
}

} // namespace

TEST(Endurance, cyclesAndFramesLeaveNothingBehind) {
    ASSERT_GT(config.cycles, config.warmupCycles);
    EnduranceRun run(ZD_PLUGIN_PATH, config.seed);
    std::string error;
    ASSERT_TRUE(run.load(error)) << error;
    const ProcessUsage loaded = measureUsage();
    for (int i = 0; i < config.warmupCycles; ++i)
        run.runCycle(i, framesOfCycle(i));
    const ProcessUsage before = measureUsage();
    for (int i = config.warmupCycles; i < config.cycles; ++i)
        run.runCycle(i, framesOfCycle(i));
    const ProcessUsage after = measureUsage();

    std::printf("%d cycles, %lld frames, %d textures per run\n", run.cyclesRun(),
                run.framesRendered(), run.texturesPerRun());
    report("loaded", loaded);
    report("warm", before);
    report("end", after);
    EXPECT_EQ(run.framesRendered(), config.frames);
    for (const std::string& fault : run.faults())
        ADD_FAILURE() << fault;
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.classes, before.classes);
    EXPECT_EQ(after.glContexts, 0);
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.palettes, 0);
    EXPECT_EQ(after.openFiles, before.openFiles);
    if (residentMemoryIsMeaningful()) {
        EXPECT_LE(after.residentKb - before.residentKb, config.residentBoundKb);
        EXPECT_LE(after.heapInUseKb - before.heapInUseKb, config.heapBoundKb);
    }
}

// --cycles N, --frames M, --seed S, --warmup W, --resident-bound-kb K and
// --heap-bound-kb K; false for any other flag.
bool setOption(const char* flag, const char* value) {
    const long long number = std::atoll(value);
    if (!std::strcmp(flag, "--cycles"))
        config.cycles = static_cast<int>(number);
    else if (!std::strcmp(flag, "--frames"))
        config.frames = number;
    else if (!std::strcmp(flag, "--seed"))
        config.seed = static_cast<unsigned>(number);
    else if (!std::strcmp(flag, "--warmup"))
        config.warmupCycles = static_cast<int>(number);
    else if (!std::strcmp(flag, "--resident-bound-kb"))
        config.residentBoundKb = static_cast<long>(number);
    else if (!std::strcmp(flag, "--heap-bound-kb"))
        config.heapBoundKb = static_cast<long>(number);
    else
        return false;
    return true;
}

// GoogleTest takes its own flags first; the rest are ours.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !setOption(argv[i], argv[i + 1])) {
            std::fprintf(stderr, "endurance_test: bad option %s\n", argv[i]);
            return 2;
        }
    }
    return RUN_ALL_TESTS();
}
