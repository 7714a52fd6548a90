#include "platform/system/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/common/RegularFile.h"

namespace platform {

namespace fs = std::filesystem;

PathKind pathKind(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) return PathKind::kMissing;
    return fs::is_directory(st) ? PathKind::kFolder : PathKind::kOther;
}

bool canReadFolder(const std::string& folder) {
    return ::access(folder.c_str(), R_OK | X_OK) == 0;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(path), ec);
    if (ec) p = fs::path(path);
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool readInPieces(const std::string& path, const std::function<void(std::string_view)>& piece) {
    RegularFile file(path);
    if (!file.regular()) return false;
    // A regular file does not block; the flag only kept the open from
    // waiting on a pipe.
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.fd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        piece(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

Replaced replaceFile(const std::string& path, std::string_view bytes) {
    const fs::path target(path);
    // Beside the file, so that the rename stays on its file system; hidden,
    // so that nothing that lists the folder takes it for content.
    std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return {false, std::strerror(errno)};
    struct stat st {};
    const bool keepMode = ::stat(path.c_str(), &st) == 0;
    bool ok = (!keepMode || ::fchmod(fd, st.st_mode & 07777) == 0) && writeAll(fd, bytes) &&
              ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return {false, std::strerror(error != 0 ? error : EIO)};
    }
    return {true, {}};
}

}  // namespace platform
