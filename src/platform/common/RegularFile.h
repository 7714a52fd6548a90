#pragma once
// A file opened for reading only if it is a regular file. Opening never
// blocks: a pipe or device put where a content file belongs would otherwise
// hold the game forever, and a folder cannot be read.

#include <cstdint>
#include <string>

namespace platform {

class RegularFile {
  public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&&) = delete;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // False when it could not be opened (missing, unreadable)...
    bool opened() const { return opened_; }
    // ...and when it was, whether it is a regular file; only then is fd() valid.
    bool regular() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    std::uint64_t size() const { return size_; }
    // Hands the descriptor over; this object no longer closes it.
    int release();

  private:
    int fd_ = -1;
    bool opened_ = false;
    std::uint64_t size_ = 0;
};

}  // namespace platform
