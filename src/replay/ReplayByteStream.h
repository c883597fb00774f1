// Byte-at-a-time reading of a replay file, from disk through a small buffer
// or from memory, with seeking. Reads only what the reader asks for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace replidex {

class ReplayByteStream {
public:
    explicit ReplayByteStream(std::FILE* file) : file_(file) {}
    explicit ReplayByteStream(std::string_view bytes)
        : memory_(bytes), data_(reinterpret_cast<const std::uint8_t*>(bytes.data())),
          size_(bytes.size()) {}

    // Moves to `offset`; a position past the end is allowed (reads then end).
    bool seek(long offset)
    {
        if (offset < 0) return false;
        if (!file_) {
            pos_ = static_cast<std::size_t>(offset);
            return true;
        }
        if (std::fseek(file_, offset, SEEK_SET) != 0) return false;
        pos_ = size_ = 0;
        return true;
    }

    // The next byte, or -1 at the end of the data.
    int next()
    {
        if (pos_ < size_) return data_[pos_++];
        if (!file_ || !refill()) return -1;
        return data_[pos_++];
    }

private:
    bool refill()
    {
        size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        pos_ = 0;
        data_ = buffer_;
        return size_ > 0;
    }

    std::FILE* file_ = nullptr;
    std::string_view memory_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    std::uint8_t buffer_[4096];
};

}  // namespace replidex
