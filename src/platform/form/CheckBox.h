#pragma once
// Check boxes in graphical style.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/form/Control.h"

namespace platform {

// Check box in graphical style: a push button that stays pressed in while
// ticked. Setting `Value` to a different value raises the click before the
// assignment returns, as a player's click does.
class CheckBox final : public Control {
  public:
    struct Design {
        Rect rect;
        Text caption;
        OleColor backColor;
        OleColor foreColor;
    };
    CheckBox(Container& container, const Design& design);
    static std::unique_ptr<CheckBox> copyOf(const CheckBox& element0);

    std::int16_t Value() const { return value_; }
    void setValue(std::int16_t value);
    const Text& Caption() const { return caption_; }

    std::function<void()> onClick;
    // A player's click: toggles, then raises the click.
    void clickAsPlayer();

  private:
    void applyColors() override;
    void showValue();
    Text caption_;
    OleColor foreColor_;
    std::int16_t value_ = 0;
};

}  // namespace platform
