// Byte-at-a-time reading of a replay file, from disk through a small buffer
// or from memory, with seeking. Reads only what the reader asks for: each
// refill is one positioned read of the next few kilobytes.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/file/NativeFiles.h"

namespace replidex {

class ReplayByteStream {
public:
    explicit ReplayByteStream(const ReadOnlyFile& file) : file_(&file), fromFile_(true) {}
    explicit ReplayByteStream(std::string_view bytes)
        : data_(reinterpret_cast<const std::uint8_t*>(bytes.data())), size_(bytes.size()) {}

    // Moves to `offset`; a position past the end is allowed (reads then end).
    bool seek(long offset)
    {
        if (offset < 0) return false;
        if (!fromFile_) {
            pos_ = static_cast<std::size_t>(offset);
            return true;
        }
        fileOffset_ = offset;
        pos_ = size_ = 0;
        return true;
    }

    // The next byte, or -1 at the end of the data.
    int next()
    {
        if (pos_ < size_) return data_[pos_++];
        if (!fromFile_ || !refill()) return -1;
        return data_[pos_++];
    }

private:
    bool refill()
    {
        const long got = file_->readAt(fileOffset_, buffer_, sizeof buffer_);
        if (got <= 0) return false;
        fileOffset_ += got;
        data_ = buffer_;
        size_ = static_cast<std::size_t>(got);
        pos_ = 0;
        return true;
    }

    const ReadOnlyFile* file_ = nullptr;
    bool fromFile_ = false;
    long fileOffset_ = 0;   // file offset of the byte after the buffer
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    std::uint8_t buffer_[4096];
};

}  // namespace replidex
