#pragma once
// Finds the seams in a rendered stream that should be the same loop played
// over and over: the silent frames inserted between the end of each pass and
// the start of the next. Used by the disk-driver test and bench/seam.cpp.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace seam {

struct Result {
    std::size_t wholePasses = 0;    // passes found complete
    std::vector<std::size_t> gaps;  // silent frames at each seam
    bool corrupt = false;           // a frame neither silent nor the loop's
    std::size_t corruptAt = 0;      // frame index of the first such frame
};

// `loop` and `rendered` hold whole frames of `frameBytes` bytes; silence is
// all-zero bytes (signed formats). The loop's first frame must not be silent.
inline Result analyse(const std::vector<std::uint8_t>& loop,
                      const std::vector<std::uint8_t>& rendered, std::size_t frameBytes) {
    Result r;
    const std::size_t n = loop.size() / frameBytes;
    const std::size_t total = rendered.size() / frameBytes;
    const std::uint8_t* in = rendered.data();
    const std::uint8_t* lp = loop.data();
    auto silent = [&](std::size_t f) {
        for (std::size_t b = 0; b < frameBytes; ++b) {
            if (in[f * frameBytes + b] != 0) return false;
        }
        return true;
    };
    auto matchesFrom = [&](std::size_t f) {
        // The loop (or as much of it as the stream still holds) starts at f.
        const std::size_t k = (total - f < n) ? total - f : n;
        return std::memcmp(in + f * frameBytes, lp, k * frameBytes) == 0;
    };
    std::size_t f = 0;
    while (f < total && silent(f)) ++f;
    while (f < total) {
        if (!matchesFrom(f)) {
            r.corrupt = true;
            r.corruptAt = f;
            return r;
        }
        if (total - f < n) return r;  // the last pass, cut short
        f += n;
        ++r.wholePasses;
        std::size_t gap = 0;
        while (f < total && silent(f)) {
            ++gap;
            ++f;
        }
        if (f < total) r.gaps.push_back(gap);
    }
    return r;
}

}  // namespace seam
