#pragma once
// The units of the form and its controls: positions and sizes in twips
// (15 to a pixel at 96 dots per inch) and colours as 0x00BBGGRR.

#include <cstdint>

namespace platform {

inline constexpr double kTwipsPerPixel = 15.0;

// Classic colour value: 0x00BBGGRR.
using OleColor = std::int32_t;
inline constexpr OleColor rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

struct Rect {
    double left, top, width, height;  // twips
};

}  // namespace platform
