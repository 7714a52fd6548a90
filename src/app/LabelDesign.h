#pragma once
// The text label as designed: where it lies in the window and the face its
// pages are set in. The window is built from these values, and authors' tools
// lay pages out with the same ones.

#include <vector>

#include "platform/form/Keys.h"
#include "platform/form/Units.h"
#include "platform/system/Text.h"

namespace fom_design {

inline constexpr platform::Rect kLabelTwips{-240, 240, 6495, 3855};
inline constexpr char16_t kLabelFace[] = u"ＭＳ Ｐゴシック";
inline constexpr double kLabelPoints = 12;
// Proportional Japanese Gothic faces that set a page as the label's face
// does, best first, for systems that lack it.
inline const std::vector<platform::Text> kLabelFaceStandIns{u"IPAPGothic", u"IPAexGothic",
                                                            u"Noto Sans CJK JP", u"VL PGothic"};
// The keys that go on with the text as a click does, on the focused text;
// a wheel turned down over the window goes on too, a notch for a click.
inline const std::vector<platform::Key> kGoOnKeys{platform::Key::kSpace, platform::Key::kEnter,
                                                  platform::Key::kPageDown, platform::Key::kDown};
inline constexpr bool kWheelDownGoesOn = true;
// The label starts left of the window, so a row centred in it stays on the
// screen only while it is no wider than this.
inline constexpr int kLabelVisibleWidthPx =
    static_cast<int>((kLabelTwips.width + 2 * kLabelTwips.left) / platform::kTwipsPerPixel);

}  // namespace fom_design
