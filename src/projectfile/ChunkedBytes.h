#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "model/FileSystem.h"

namespace prowl {

// A file's bytes gathered in one buffer and handed on a chunk at a time, so a large file needs
// neither its whole text nor a wide copy of it in memory. Writers fill the room between `cur_`
// and `end_` directly and call MakeRoom first when it may be short.
class ChunkedBytes {
  public:
    explicit ChunkedBytes(FileReplacement& file) : file_(file), buffer_(kChunk, '\0') {
        cur_ = buffer_.data();
        end_ = cur_ + buffer_.size();
    }
    void Put(std::string_view bytes) {
        if (static_cast<std::size_t>(end_ - cur_) < bytes.size()) MakeRoom(bytes.size());
        cur_ = std::copy(bytes.begin(), bytes.end(), cur_);
    }
    void Finish() {
        Flush();
        file_.Commit();
    }

  protected:
    // At least `n` bytes free at `cur_` afterwards.
    void MakeRoom(std::size_t n) {
        Flush();
        if (n > buffer_.size()) {
            buffer_.resize(n);
            cur_ = buffer_.data();
            end_ = cur_ + buffer_.size();
        }
    }
    char* cur_;
    char* end_;

  private:
    static constexpr std::size_t kChunk = 256 * 1024;
    void Flush() {
        file_.Write(
            std::string_view(buffer_.data(), static_cast<std::size_t>(cur_ - buffer_.data())));
        cur_ = buffer_.data();
    }

    FileReplacement& file_;
    std::string buffer_;
};

}  // namespace prowl
