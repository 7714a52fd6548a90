// The web edition's window onto a file fetched in pieces: what it holds is
// always the file's bytes at their offsets, across the moves that make room.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/web/media/ByteWindow.h"

namespace {

using platform::ByteWindow;

// Lays the file's bytes [at, at + count) at the window's end: byte i is i % 251.
bool put(ByteWindow& w, std::uint64_t at, std::size_t count, std::uint64_t keepFrom) {
    std::uint8_t* to = w.reserve(count, keepFrom);
    if (to == nullptr) return false;
    for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<std::uint8_t>((at + i) % 251);
    w.commit(count);
    return true;
}

void expectFileBytes(const ByteWindow& w, std::uint64_t at, std::size_t count) {
    std::vector<std::uint8_t> got(count);
    ASSERT_EQ(w.read(at, got.data(), count), count);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(got[i], (at + i) % 251) << "offset " << at + i;
}

TEST(ByteWindow, KeepsTheFilesBytesAcrossTheMovesThatMakeRoom) {
    ByteWindow w(1000);
    w.reset(5000);
    ASSERT_TRUE(put(w, 5000, 600, 5000));
    ASSERT_TRUE(put(w, 5600, 400, 5000));  // full
    EXPECT_EQ(w.availableFrom(4999), 0u);
    EXPECT_EQ(w.availableFrom(6000), 0u);
    EXPECT_EQ(w.roomKeeping(5000), 0u);

    // Nothing dropped while the reader still needs it: the piece is refused
    // and the window stands as it was.
    EXPECT_EQ(w.reserve(1, 5000), nullptr);
    expectFileBytes(w, 5000, 1000);

    // Reading at 5700 lets the first 700 go; the rest moves down.
    ASSERT_TRUE(put(w, 6000, 700, 5700));
    EXPECT_EQ(w.start(), 5700u);
    EXPECT_EQ(w.end(), 6700u);
    expectFileBytes(w, 5700, 1000);

    // A read past the end gives what is held, no more.
    std::vector<std::uint8_t> tail(50);
    EXPECT_EQ(w.read(6680, tail.data(), tail.size()), 20u);

    w.reset(20000);
    EXPECT_EQ(w.availableFrom(5700), 0u);
    ASSERT_TRUE(put(w, 20000, 1000, 20000));
    expectFileBytes(w, 20000, 1000);
}

}  // namespace
