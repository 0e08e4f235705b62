#include "output/frame_sink.h"

#include "output/output_file.h"
#include "output/png_image.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {
class PngSink : public FrameSink {
  public:
    explicit PngSink(std::string pattern) : pattern_(std::move(pattern)) {}
    ~PngSink() override {
        if (!finished_) abandon();
    }

    bool writeFrame(const unsigned char* rgba, int width, int height, std::string& error) override {
        std::string path = frameName(written_.size());
        std::string temporary = temporaryPathFor(path);
        if (!writePngImage(temporary, rgba, width, height, error) ||
            !commitFile(temporary, path, error))
            return false;
        written_.push_back(path);
        return true;
    }

    bool finish(std::string&) override {
        finished_ = true;
        return true;
    }

    void abandon() override {
        std::error_code code;
        for (const std::string& path : written_)
            std::filesystem::remove(path, code);
        written_.clear();
    }

    std::string describe() const override {
        return std::to_string(written_.size()) + " PNG frames as " + pattern_;
    }

    std::string frameName(size_t index) const {
        std::vector<char> name(pattern_.size() + 32);
        std::snprintf(name.data(), name.size(), pattern_.c_str(), static_cast<int>(index));
        return name.data();
    }

  private:
    std::string pattern_;
    std::vector<std::string> written_;
    bool finished_ = false;
};

// A folder gets frame00000.png, frame00001.png, ...; a pattern is used as given.
std::string patternFor(const std::string& output) {
    if (output.find('%') != std::string::npos) return output;
    std::string folder = output;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/frame%05d.png";
}
} // namespace

std::unique_ptr<FrameSink> openPngSink(const std::string& output, std::string& error) {
    auto sink = std::make_unique<PngSink>(patternFor(output));
    std::filesystem::path first = sink->frameName(0);
    std::error_code code;
    if (first.has_parent_path()) std::filesystem::create_directories(first.parent_path(), code);
    if (code) {
        error = "cannot create folder " + first.parent_path().string() + ": " + code.message();
        return nullptr;
    }
    if (!checkWritable(first.string(), error)) return nullptr;
    return sink;
}
