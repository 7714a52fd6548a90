#pragma once
// The files the media layer streams from the site instead of reading whole:
// each one's head, fetched while the engine loads so that an open can check
// the file at once, and what the site said of it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct StreamedFile {
    std::string name;                // relative to the page, as fetched
    bool arrived = false;            // the site has answered for its head
    bool found = false;              // the site has it
    std::uint64_t length = 0;        // the whole file's length in bytes
    std::vector<std::uint8_t> head;  // its first bytes, at most the length
};

// A length the site did not tell: reads end where the file does.
inline constexpr std::uint64_t kUnknownLength = std::uint64_t{1} << 40;

// Fetches the head of `name` (relative to the page; laid under the program's
// folder) and calls `done` once it is in, or known to be missing.
void prefetchStreamedFile(const std::string& name, void (*done)());

// The file prefetched for `path` (a path under the program's folder), or null
// when none was.
const StreamedFile* findStreamedFile(std::string_view path);

}  // namespace platform
