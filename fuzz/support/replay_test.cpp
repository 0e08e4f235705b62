// Replays a fuzz target's committed inputs, its seed corpus and every input
// that once made it fail, as an ordinary test: in the plain build they pin the
// fixed faults down, in the sanitizer build they run under ASan and UBSan.
// ZD_FUZZ_CORPUS and ZD_FUZZ_REGRESSIONS name the two folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::string> committedInputs() {
    std::vector<std::string> files;
    for (const char* folder : {ZD_FUZZ_CORPUS, ZD_FUZZ_REGRESSIONS}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string testName(const testing::TestParamInfo<std::string>& info) {
    const std::filesystem::path path(info.param);
    std::string name = path.parent_path().filename().string() + "_" + path.filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name + "_" + std::to_string(info.index);
}

class CommittedInput : public testing::TestWithParam<std::string> {
  protected:
    static void SetUpTestSuite() {
        if (LLVMFuzzerInitialize) {
            int argc = 0;
            char** argv = nullptr;
            LLVMFuzzerInitialize(&argc, &argv);
        }
    }
};

TEST_P(CommittedInput, runsCleanly) {
    std::ifstream file(GetParam(), std::ios::binary);
    ASSERT_TRUE(file) << GetParam();
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    EXPECT_EQ(
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
        0);
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CommittedInput, testing::ValuesIn(committedInputs()), testName);

// An empty folder must not make the whole program fail to run.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CommittedInput);

} // namespace
