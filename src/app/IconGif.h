#pragma once
// The window's icon: the bytes of app/icon.gif, built into the program.

#include <cstddef>
#include <cstdint>

extern const std::uint8_t kIconGif[];
extern const std::size_t kIconGifSize;
