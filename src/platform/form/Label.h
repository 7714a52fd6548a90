#pragma once
// The text label.

#include <functional>
#include <vector>

#include "platform/form/Control.h"
#include "platform/form/Keys.h"

namespace platform {

// Text label. The caption is shown literally (never as markup); CR LF, CR and
// LF each start a new row; rows are centred and wrap within the width.
class Label final : public Control {
  public:
    struct Design {
        Rect rect;
        Text caption;
        Text fontFace;
        double fontPoints;
    };
    Label(Container& container, const Design& design);

    const Text& Caption() const { return caption_; }
    void setCaption(Text caption);

    // Endings of the caption that mean the text waits for the player. They
    // are drawn but never read out; the text that came to rest is announced
    // to assistive technology at that moment.
    void setRestingMarks(const std::vector<Text>& marks);
    // Tells assistive technology the whole caption at once, as text that
    // came to rest: for a message that waits for the player, which has no
    // mark, and which a reader must hear again when it comes again.
    void announceCaption();

    // What a screen reader says the label is as the focus comes to it: what
    // it is and what a key does there. Never the caption, which is announced.
    void setSpokenName(const Text& name);

    // What stands for a click besides the mouse and the accessible press
    // action: `keys` pressed on the focused label (with no modifier, and
    // not a held key's repeats), and, with `wheelDown`, each notch of a
    // wheel turned down over the window. None until this is called.
    void setClickKeys(std::vector<Key> keys, bool wheelDown);

    // A click, and everything that stands for one.
    std::function<void()> onClick;
    // A click on the label, as the player's mouse gives it.
    void raiseClick();

  private:
    Text caption_;
};

}  // namespace platform
