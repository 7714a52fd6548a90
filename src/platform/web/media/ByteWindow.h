#pragma once
// A window onto a file fetched in pieces: the bytes from start() to end(),
// in one buffer of fixed capacity. Pieces arrive at the end; room is made by
// dropping what lies far enough behind the reader.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class ByteWindow {
  public:
    // Unfilled: only bytes written are read, and the window is opened as
    // the game starts.
    explicit ByteWindow(std::size_t capacity)
        : bytes_(new std::uint8_t[capacity]), capacity_(capacity) {}

    std::uint64_t start() const { return start_; }
    std::uint64_t end() const { return start_ + size_; }
    std::size_t capacity() const { return capacity_; }

    // Empties the window; the next piece holds the bytes from `at` on.
    void reset(std::uint64_t at) {
        start_ = at;
        size_ = 0;
    }

    // How many bytes are held from `at` on (0 outside the window).
    std::size_t availableFrom(std::uint64_t at) const {
        return (at >= start_ && at < end()) ? static_cast<std::size_t>(end() - at) : 0;
    }

    // Copies up to `count` bytes from `at`; returns how many were there.
    std::size_t read(std::uint64_t at, void* out, std::size_t count) const;

    // The room a piece may take once the bytes before `keepFrom` are dropped.
    std::size_t roomKeeping(std::uint64_t keepFrom) const;

    // Drops the bytes before `keepFrom` and returns where `count` bytes may
    // be written at the end, or null when they do not fit.
    std::uint8_t* reserve(std::size_t count, std::uint64_t keepFrom);
    // The bytes written there are part of the window now.
    void commit(std::size_t count) { size_ += count; }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_;
    std::uint64_t start_ = 0;
    std::size_t size_ = 0;
};

}  // namespace platform
