#pragma once
// Command buttons in graphical style.

#include <functional>
#include <memory>

#include "platform/form/Control.h"

namespace platform {

// Command button in graphical style: its face is painted in `BackColor`.
class CommandButton final : public Control {
  public:
    struct Design {
        Rect rect;
        Text caption;
        OleColor backColor;
    };
    CommandButton(Container& container, const Design& design);
    static std::unique_ptr<CommandButton> copyOf(const CommandButton& element0);

    const Text& Caption() const { return caption_; }
    void setCaption(Text caption);

    std::function<void()> onClick;
    // A player's click: only an enabled button takes it.
    void clickAsPlayer();

  private:
    void applyColors() override;
    Text caption_;
};

}  // namespace platform
