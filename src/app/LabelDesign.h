#pragma once
// The text label as designed: where it lies in the window and the face its
// pages are set in. The window is built from these values, and authors' tools
// lay pages out with the same ones.

#include "platform/form/Units.h"

namespace fom_design {

inline constexpr platform::Rect kLabelTwips{-240, 240, 6495, 3855};
inline constexpr char16_t kLabelFace[] = u"ＭＳ Ｐゴシック";
inline constexpr double kLabelPoints = 12;
// The label starts left of the window, so a row centred in it stays on the
// screen only while it is no wider than this.
inline constexpr int kLabelVisibleWidthPx =
    static_cast<int>((kLabelTwips.width + 2 * kLabelTwips.left) / platform::kTwipsPerPixel);

}  // namespace fom_design
