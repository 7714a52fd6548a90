// The web program's files, read through the C library as the shared code
// reads them (RegularFile, stdio, plain reads and seeks), with no file system
// of Emscripten's linked in. Built with emcc and run under Node; prints each
// check that fails and exits non-zero.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
// bytes in pieces smaller than the file.
void readsAKeptFile() {
    platform::keepSiteFile("/game/txt/opn.txt", bytesOf("line one\r\nline two\r\n"));
    platform::RegularFile file("/game/txt/opn.txt");
    CHECK(file.opened() && file.regular());
    CHECK(file.size() == 20);
    CHECK(readAll(file.fd(), 3) == "line one\r\nline two\r\n");

    std::FILE* f = std::fopen("/game/txt/opn.txt", "rb");
    CHECK(f != nullptr);
    if (f == nullptr) return;
    char line[32];
    CHECK(std::fgets(line, sizeof line, f) != nullptr && std::strcmp(line, "line one\r\n") == 0);
    CHECK(std::fseek(f, -4, SEEK_END) == 0 && std::ftell(f) == 16);
    CHECK(std::fread(line, 1, sizeof line, f) == 4 && std::memcmp(line, "wo\r\n", 4) == 0);
    CHECK(std::feof(f));
    std::fclose(f);
}

// What is not there, and a folder where a file is asked for, fail as they do
// on a disk, so that the game reports them as the desktop does.
void missingFilesAndFolders() {
    platform::keepSiteFile("/game/img/opn.gif", bytesOf("GIF89a"));
    platform::RegularFile missing("/game/img/0.gif");
    CHECK(!missing.opened());
    errno = 0;
    CHECK(::open("/game/img/0.gif", O_RDONLY) < 0 && errno == ENOENT);
    struct stat st {};
    CHECK(::stat("/game/im", &st) != 0 && errno == ENOENT);  // not a folder: a part of a name

    platform::RegularFile folder("/game/img");
    CHECK(folder.opened() && !folder.regular());
    CHECK(::stat("/game/img/", &st) == 0 && S_ISDIR(st.st_mode));
    CHECK(::stat("/", &st) == 0 && S_ISDIR(st.st_mode));
    const int fd = ::open("/game", O_RDONLY | O_DIRECTORY);
    CHECK(fd >= 0);
    char c;
    errno = 0;
    CHECK(::read(fd, &c, 1) < 0 && errno == EISDIR);
    ::close(fd);
    errno = 0;
    CHECK(::open("/game/img/opn.gif", O_RDONLY | O_DIRECTORY) < 0 && errno == ENOTDIR);
}

// Paths name a file however they are spelled; nothing is written.
void pathsAndWrites() {
    platform::keepSiteFile("game/bgm.wav", bytesOf("RIFF"));
    struct stat st {};
    CHECK(::stat("/game/bgm.wav", &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 4);
    CHECK(::stat("/game//img/../bgm.wav", &st) == 0);
    CHECK(::stat("game/./bgm.wav", &st) == 0);
    CHECK(::access("/game/bgm.wav", R_OK) == 0);
    errno = 0;
    CHECK(::access("/game/bgm.wav", W_OK) != 0 && errno == EROFS);
    errno = 0;
    CHECK(::open("/game/bgm.wav", O_WRONLY) < 0 && errno == EROFS);
    errno = 0;
    CHECK(::open("/game/new.txt", O_RDWR | O_CREAT, 0644) < 0 && errno == EROFS);
    CHECK(std::fopen("/game/bgm.wav", "wb") == nullptr);
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
    CHECK(readAll(b, 64) == "newer");
    CHECK(::lseek(b, 1, SEEK_SET) == 1 && readAll(b, 2) == "ewer");
    errno = 0;
    CHECK(::lseek(b, -10, SEEK_CUR) < 0 && errno == EINVAL);
    CHECK(::close(a) == 0);
    errno = 0;
    CHECK(::close(a) != 0 && errno == EBADF);
    errno = 0;
    CHECK(::read(a, nullptr, 0) < 0 && errno == EBADF);
    CHECK(::open("/game/txt/0.txt", O_RDONLY) == a);

    platform::keepSiteFile("/game/txt/1.txt", {});
    platform::RegularFile empty("/game/txt/1.txt");
    CHECK(empty.regular() && empty.size() == 0 && readAll(empty.fd(), 8).empty());
    char c;
    CHECK(::read(STDIN_FILENO, &c, 1) == 0);  // the page has no input stream
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
