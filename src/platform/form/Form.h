#pragma once
// The window.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/form/Container.h"
#include "platform/form/Picture.h"
#include "platform/form/Units.h"
#include "platform/system/Text.h"

namespace platform {

class Control;

// The window. Its client area is the interior; it has a scale like a picture
// box. Load runs before the window shows, Activate once it shows, Unload when
// it is closed.
class Form : public Container {
  public:
    struct Design {
        Text caption;
        int interiorWidthPx;
        int interiorHeightPx;
        OleColor backColor;
        // The window's icon, made only by a backend that shows one: the page
        // has its own, and the game starts sooner without decoding it.
        std::function<Picture()> icon;
    };
    explicit Form(const Design& design);
    ~Form() override;

    const Text& Caption() const { return caption_; }
    OleColor BackColor() const { return backColor_; }

    // Raises Load, shows the window centred on the screen, raises Activate.
    void Show();
    // Closes the window as its close box does: raises Unload.
    void close();

    int interiorWidthPx() const override;
    int interiorHeightPx() const override;
    ControlPeer& childHost() const override;
    // The order in which the keyboard focus moves among the given controls.
    static void setTabOrder(const std::vector<Control*>& order);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload(std::int16_t& cancel) { (void)cancel; }

  private:
    friend class FormWidget;
    void raiseUnload();
    // Puts the window on the screen (the backend's part of Show).
    void showWindow();
    Text caption_;
    OleColor backColor_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
