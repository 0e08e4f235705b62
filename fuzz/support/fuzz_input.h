// Reads a fuzzer's bytes as a stream of choices: numbers in a range, flags,
// one of a list, and strings. Once the bytes run out every read gives the
// smallest choice, so any input, the empty one included, is a whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return at_ >= size_; }
    std::size_t remaining() const { return size_ - at_; }

    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool flag() { return byte() & 1; }

    // Little-endian; missing bytes read as zero.
    std::uint32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return value;
    }

    std::int64_t inRange(std::int64_t low, std::int64_t high) {
        const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1;
        std::uint64_t value = word();
        value = (value << 32) | word();
        return span == 0 ? low + static_cast<std::int64_t>(value)
                         : low + static_cast<std::int64_t>(value % span);
    }

    int intIn(int low, int high) { return static_cast<int>(inRange(low, high)); }

    template <typename T, std::size_t N> const T& oneOf(const T (&choices)[N]) {
        return choices[byte() % N];
    }

    // Up to maxLength bytes, ended early by a zero byte.
    std::string text(std::size_t maxLength) {
        std::string result;
        while (result.size() < maxLength && !empty()) {
            const char c = static_cast<char>(byte());
            if (c == '\0') break;
            result += c;
        }
        return result;
    }

    std::string rest() {
        std::string result(reinterpret_cast<const char*>(data_ + at_), remaining());
        at_ = size_;
        return result;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
