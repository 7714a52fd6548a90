#include "platform/web/system/SiteFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wasi/api.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/FileSystem.h"

namespace platform {

namespace {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// An open file keeps its bytes, even if the file is replaced meanwhile; a
// folder open (for its status) has none.
struct OpenFile {
    Bytes bytes;
    std::uint64_t at = 0;
};

struct Store {
    std::map<std::string, Bytes> files;
    std::map<int, OpenFile> open;
};

Store& store() {
    static Store s;
    return s;
}

// The standard streams are the page's console, not files of the site.
constexpr int kFirstFile = 3;

// The one working folder there is (__syscall_getcwd below).
constexpr char kWorkingFolder[] = "/";

enum class Kind { kMissing, kFile, kFolder };

Kind kindOf(const std::string& path, Bytes* bytes = nullptr) {
    const auto& files = store().files;
    if (auto it = files.find(path); it != files.end()) {
        if (bytes) *bytes = it->second;
        return Kind::kFile;
    }
    const std::string below = path == "/" ? path : path + "/";
    const auto next = files.lower_bound(below);
    if (next != files.end() && next->first.compare(0, below.size(), below) == 0)
        return Kind::kFolder;
    return Kind::kMissing;
}

// What the C library's `path` names.
Kind kindAt(long path, Bytes* bytes = nullptr) {
    return kindOf(absolutePath(reinterpret_cast<const char*>(path)), bytes);
}

// Whether an `...at` call's path needs no folder to start from: the file
// systems this one stands in for read a relative path from the root as well.
bool fromRoot(long dirfd, long path) {
    return dirfd == AT_FDCWD || reinterpret_cast<const char*>(path)[0] == '/';
}

void describe(const Bytes& bytes, struct stat* st) {
    *st = {};
    st->st_dev = 1;
    st->st_nlink = 1;
    st->st_blksize = 4096;
    if (bytes) {
        st->st_mode = S_IFREG | 0444;
        st->st_size = static_cast<off_t>(bytes->size());
        st->st_blocks = (st->st_size + 511) / 512;
    } else {
        st->st_mode = S_IFDIR | 0555;
    }
}

long statPath(long path, long buf) {
    Bytes bytes;
    if (kindAt(path, &bytes) == Kind::kMissing) return -ENOENT;
    describe(bytes, reinterpret_cast<struct stat*>(buf));
    return 0;
}

OpenFile* openFile(int fd) {
    auto& open = store().open;
    const auto it = open.find(fd);
    return it == open.end() ? nullptr : &it->second;
}

// A standard stream, or a file open here.
bool known(long fd) {
    return fd < kFirstFile || openFile(static_cast<int>(fd)) != nullptr;
}

}  // namespace

void keepSiteFile(const std::string& path, std::vector<std::uint8_t> bytes) {
    store().files[absolutePath(path)] =
        std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

}  // namespace platform

using platform::Kind;

// The calls the C library makes for the file functions the engine uses. A
// relative path is taken from the root, the only working folder there is.
extern "C" {

long __syscall_getcwd(long buf, long size) {
    if (static_cast<std::size_t>(size) < sizeof platform::kWorkingFolder) return -ERANGE;
    std::copy_n(platform::kWorkingFolder, sizeof platform::kWorkingFolder,
                reinterpret_cast<char*>(buf));
    return sizeof platform::kWorkingFolder;
}

long __syscall_open(long path, long flags, ...) {
    if ((flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)) != 0) return -EROFS;
    platform::Bytes bytes;
    const Kind kind = platform::kindAt(path, &bytes);
    if (kind == Kind::kMissing) return -ENOENT;
    if (kind == Kind::kFile && (flags & O_DIRECTORY) != 0) return -ENOTDIR;
    auto& open = platform::store().open;
    int fd = platform::kFirstFile;
    while (open.count(fd) != 0) ++fd;
    open[fd] = {bytes, 0};
    return fd;
}

long __syscall_fstat64(long fd, long buf) {
    const platform::OpenFile* file = platform::openFile(static_cast<int>(fd));
    if (file == nullptr) return -EBADF;
    platform::describe(file->bytes, reinterpret_cast<struct stat*>(buf));
    return 0;
}

long __syscall_stat64(long path, long buf) {
    return platform::statPath(path, buf);
}

long __syscall_lstat64(long path, long buf) {
    return platform::statPath(path, buf);
}

long __syscall_fstatat64(long dirfd, long path, long buf, long) {
    if (!platform::fromRoot(dirfd, path)) return -ENOTSUP;
    return platform::statPath(path, buf);
}

long __syscall_access(long path, long amode) {
    if (platform::kindAt(path) == Kind::kMissing) return -ENOENT;
    return (amode & W_OK) != 0 ? -EROFS : 0;
}

long __syscall_faccessat(long dirfd, long path, long amode, long) {
    if (!platform::fromRoot(dirfd, path)) return -ENOTSUP;
    return __syscall_access(path, amode);
}

long __syscall_fcntl64(long fd, long cmd, ...) {
    if (!platform::known(fd)) return -EBADF;
    switch (cmd) {
        case F_GETFL:
            return O_RDONLY;
        case F_GETFD:
        case F_SETFD:
        case F_SETFL:
            return 0;
        default:
            return -EINVAL;
    }
}

long __syscall_ioctl(long fd, long, ...) {
    if (!platform::known(fd)) return -EBADF;
    return -ENOTTY;
}

long __syscall_ftruncate64(long fd, long, long) {
    return platform::openFile(static_cast<int>(fd)) == nullptr ? -EBADF : -EROFS;
}

__wasi_errno_t __wasi_fd_read(__wasi_fd_t fd, const __wasi_iovec_t* iovs, size_t count,
                              __wasi_size_t* nread) {
    *nread = 0;
    if (fd < platform::kFirstFile) return __WASI_ERRNO_SUCCESS;  // no input but the page's
    platform::OpenFile* file = platform::openFile(static_cast<int>(fd));
    if (file == nullptr) return __WASI_ERRNO_BADF;
    if (!file->bytes) return __WASI_ERRNO_ISDIR;
    const auto& bytes = *file->bytes;
    for (size_t i = 0; i < count && file->at < bytes.size(); ++i) {
        const std::size_t n = std::min<std::uint64_t>(iovs[i].buf_len, bytes.size() - file->at);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(file->at), n, iovs[i].buf);
        file->at += n;
        *nread += static_cast<__wasi_size_t>(n);
    }
    return __WASI_ERRNO_SUCCESS;
}

__wasi_errno_t __wasi_fd_seek(__wasi_fd_t fd, __wasi_filedelta_t offset, __wasi_whence_t whence,
                              __wasi_filesize_t* newOffset) {
    platform::OpenFile* file = platform::openFile(static_cast<int>(fd));
    if (file == nullptr) return fd < platform::kFirstFile ? __WASI_ERRNO_SPIPE : __WASI_ERRNO_BADF;
    const std::int64_t size = file->bytes ? static_cast<std::int64_t>(file->bytes->size()) : 0;
    std::int64_t from = 0;
    if (whence == __WASI_WHENCE_CUR)
        from = static_cast<std::int64_t>(file->at);
    else if (whence == __WASI_WHENCE_END)
        from = size;
    else if (whence != __WASI_WHENCE_SET)
        return __WASI_ERRNO_INVAL;
    if (offset < -from) return __WASI_ERRNO_INVAL;
    file->at = static_cast<std::uint64_t>(from + offset);
    if (newOffset) *newOffset = file->at;
    return __WASI_ERRNO_SUCCESS;
}

__wasi_errno_t __wasi_fd_close(__wasi_fd_t fd) {
    if (fd < platform::kFirstFile) return __WASI_ERRNO_SUCCESS;
    return platform::store().open.erase(static_cast<int>(fd)) != 0 ? __WASI_ERRNO_SUCCESS
                                                                   : __WASI_ERRNO_BADF;
}
}
