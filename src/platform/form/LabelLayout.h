#pragma once
// How a label lays out its caption: rows split at CR LF, CR or LF, each
// centred and wrapped within the label's width, from the top down. The label
// paints with this, and authors' tools use it to tell whether a page fits.

#include <cstddef>

#include "platform/system/Text.h"

namespace platform {

struct CaptionFit {
    // Index (from 0, counted in line breaks) of the first caption row that
    // reaches below the bottom edge, or npos when everything fits.
    std::size_t firstCutRow;
    bool fits() const { return firstCutRow == static_cast<std::size_t>(-1); }
};

CaptionFit fitCaption(TextView caption, TextView fontFace, double fontPoints, int widthPx,
                      int heightPx);

// `text` with a row break (LF) wherever the label would wrap it at
// `widthPx`: laid out in a label at least that wide, its centred rows then
// stay within `widthPx` of the middle.
Text breakRows(TextView text, TextView fontFace, double fontPoints, int widthPx);

}  // namespace platform
