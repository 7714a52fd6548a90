#pragma once
// The text label as designed: where it lies in the window and the face its
// pages are set in. The window is built from these values, and authors' tools
// lay pages out with the same ones.

#include "platform/form/Units.h"

namespace fom_design {

inline constexpr platform::Rect kLabelTwips{-240, 240, 6495, 3855};
inline constexpr char16_t kLabelFace[] = u"ＭＳ Ｐゴシック";
inline constexpr double kLabelPoints = 12;

}  // namespace fom_design
