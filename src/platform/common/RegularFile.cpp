#include "platform/common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

RegularFile::RegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    opened_ = true;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(other.fd_), opened_(other.opened_), size_(other.size_) {
    other.fd_ = -1;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

int RegularFile::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

}  // namespace platform
