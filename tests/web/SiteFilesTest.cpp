// The web program's files, read through the C library as the shared code
// reads them (RegularFile, plain reads and seeks), with no file system
// of Emscripten's linked in. Built with emcc and run under Node; prints each
// check that fails and exits non-zero.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/common/RegularFile.h"
#include "platform/web/system/SiteFiles.h"

namespace {

int failures = 0;

void check(bool ok, const char* what, int line) {
    if (ok) return;
    ++failures;
    std::printf("line %d: %s\n", line, what);
}
#define CHECK(x) check((x), #x, __LINE__)

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string readAll(int fd, std::size_t piece) {
    std::string out;
    std::vector<char> buffer(piece);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) return n < 0 ? "<error>" : out;
        out.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

// How the shared code opens a content file: a regular file, its size, its
// bytes in pieces smaller than the file, and from its end.
void readsAKeptFile() {
    platform::keepSiteFile("/game/txt/opn.txt", bytesOf("line one\r\nline two\r\n"));
    platform::RegularFile file("/game/txt/opn.txt");
    CHECK(file.opened() && file.regular() && file.size() == 20);
    CHECK(readAll(file.fd(), 3) == "line one\r\nline two\r\n");
    CHECK(::lseek(file.fd(), -4, SEEK_END) == 16 && readAll(file.fd(), 8) == "wo\r\n");
}

// What is not there, and a folder where a file is asked for, fail as they do
// on a disk, so that the game reports them as the desktop does.
void missingFilesAndFolders() {
    platform::keepSiteFile("/game/img/opn.gif", bytesOf("GIF89a"));
    errno = 0;
    CHECK(::open("/game/img/0.gif", O_RDONLY) < 0 && errno == ENOENT);
    struct stat st {};
    CHECK(::stat("/game/im", &st) != 0 && errno == ENOENT);  // not a folder: a part of a name
    CHECK(::stat("/", &st) == 0 && S_ISDIR(st.st_mode));

    CHECK(!platform::RegularFile("/game/img/").regular());
    const int folder = ::open("/game/img", O_RDONLY | O_DIRECTORY);
    char c;
    errno = 0;
    CHECK(folder >= 0 && ::read(folder, &c, 1) < 0 && errno == EISDIR);
    ::close(folder);
    errno = 0;
    CHECK(::open("/game/img/opn.gif", O_RDONLY | O_DIRECTORY) < 0 && errno == ENOTDIR);
}

// Paths name a file however they are spelled; nothing is written.
void pathsAndWrites() {
    platform::keepSiteFile("game/bgm.wav", bytesOf("RIFF"));
    struct stat st {};
    CHECK(::stat("/game//img/../bgm.wav", &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 4);
    CHECK(::stat("game/./bgm.wav", &st) == 0);
    errno = 0;
    CHECK(::access("/game/bgm.wav", W_OK) != 0 && errno == EROFS);
    errno = 0;
    CHECK(::open("/game/bgm.wav", O_WRONLY) < 0 && errno == EROFS);
}

// A file replaced while open keeps its bytes for the reader that has it;
// descriptors are handed out again once closed, and only once closed.
void descriptors() {
    platform::keepSiteFile("/game/txt/0.txt", bytesOf("old"));
    const int a = ::open("/game/txt/0.txt", O_RDONLY);
    platform::keepSiteFile("/game/txt/0.txt", bytesOf("newer"));
    const int b = ::open("/game/txt/0.txt", O_RDONLY);
    CHECK(a >= 3 && b >= 3 && a != b);
    CHECK(readAll(a, 64) == "old");
    CHECK(::lseek(b, 1, SEEK_SET) == 1 && readAll(b, 2) == "ewer");
    CHECK(::close(a) == 0);
    errno = 0;
    CHECK(::close(a) != 0 && errno == EBADF);
    CHECK(::open("/game/txt/0.txt", O_RDONLY) == a);

    platform::keepSiteFile("/game/txt/1.txt", {});
    platform::RegularFile empty("/game/txt/1.txt");
    CHECK(empty.regular() && empty.size() == 0 && readAll(empty.fd(), 8).empty());
}

}  // namespace

int main() {
    readsAKeptFile();
    missingFilesAndFolders();
    pathsAndWrites();
    descriptors();
    std::printf("%s: %d failed\n", failures ? "FAILED" : "passed", failures);
    return failures == 0 ? 0 : 1;
}
