#pragma once
// What the fuzz targets share: an invariant check that stops the run with a
// message (libFuzzer then keeps the input as a crash), and a scratch folder.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace fuzz {

// PIROKKO_FUZZ_TRACE=1 makes a target tell what each input does (for reading
// a corpus file or a crash, not for fuzzing).
inline bool tracing() {
    static const bool on = [] {
        const char* v = std::getenv("PIROKKO_FUZZ_TRACE");
        return v != nullptr && *v != '\0' && *v != '0';
    }();
    return on;
}

// A fresh folder under TMPDIR (or /tmp) for this process, removed when the
// process exits normally (libFuzzer ends a run with exit()); one call per
// process.
inline std::string scratchFolder(const char* name) {
    static std::string folder;
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + "-XXXXXX";
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    });
    return folder;
}

}  // namespace fuzz
