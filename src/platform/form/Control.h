#pragma once
// What every control has: visibility, enabled state, back colour and a
// place in its container's scale units.
//
// Every position and size is in the container's scale units; a container
// measures in twips until given a scale of its own. `Visible` is a control's
// own flag: a control inside a hidden container still reads as visible if it
// was made so.

#include <memory>

#include "platform/form/Units.h"
#include "platform/system/Text.h"

namespace platform {

class Container;
// The control as the backend shows it; each backend defines it.
struct ControlPeer;

class Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Boolean Visible() const { return visible_; }
    void setVisible(Boolean visible);
    Boolean Enabled() const { return enabled_; }
    void setEnabled(Boolean enabled);
    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);

    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);
    void Move(float left, float top, float width, float height);
    // Gives the control the keyboard focus. A button focused this way does
    // not act on Space or Enter until the player has moved the focus (Tab,
    // arrows) or clicked: keys meant for what came before must not press it.
    void SetFocus();

    Container& container() const { return *container_; }
    // The backend's side of the control, for the backend and its tests.
    ControlPeer& peer() const { return *peer_; }
    Rect twips() const { return rect_; }

  protected:
    Control(Container* container, Rect designTwips);
    // The backend has made the control's peer: places it and shows its
    // visibility and colours.
    void attached();
    virtual void applyColors() {}
    // Places the peer where rect_ says (the backend's part).
    void applyGeometry();

    friend class Container;
    Container* container_;
    Rect rect_;
    Boolean visible_ = True;
    Boolean enabled_ = True;
    OleColor backColor_ = rgb(240, 240, 240);
    std::unique_ptr<ControlPeer> peer_;
};

}  // namespace platform
