#pragma once
// Form and control services: a window with a label, graphical check boxes and
// command buttons, picture boxes and control arrays.
//
// Every position and size is in the container's scale units; a container
// measures in twips until given a scale of its own. Colours are 0x00BBGGRR.
// `Visible` is a control's own flag: a control inside a hidden container
// still reads as visible if it was made so.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/form/Picture.h"
#include "platform/system/Text.h"

class QWidget;

namespace platform {

class Container;
struct ControlPeer;

inline constexpr double kTwipsPerPixel = 15.0;

// Classic colour value: 0x00BBGGRR.
using OleColor = std::int32_t;
inline constexpr OleColor rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

struct Rect {
    double left, top, width, height;  // twips
};

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
    // The toolkit widget, for the platform itself and for tests that click it.
    QWidget* widget() const;
    Rect twips() const { return rect_; }

  protected:
    Control(Container* container, Rect designTwips);
    void attach(QWidget* widget);
    virtual void applyColors() {}
    void applyGeometry();

    friend class Container;
    Container* container_;
    Rect rect_;
    Boolean visible_ = True;
    Boolean enabled_ = True;
    OleColor backColor_ = rgb(240, 240, 240);
    std::unique_ptr<ControlPeer> peer_;
};

// Anything that holds controls and has a scale: the form and picture boxes.
class Container {
  public:
    virtual ~Container() = default;

    enum ScaleModes : std::int16_t { kUser = 0, kTwips = 1, kPixels = 3 };

    float ScaleLeft() const { return scale_.left; }
    float ScaleTop() const { return scale_.top; }
    float ScaleWidth() const { return scale_.width; }
    float ScaleHeight() const { return scale_.height; }
    std::int16_t ScaleMode() const { return scaleMode_; }
    void setScaleLeft(float v);
    void setScaleTop(float v);
    void setScaleWidth(float v);
    void setScaleHeight(float v);
    void setScaleMode(std::int16_t mode);

    // Conversions between this container's scale and twips of its interior.
    double xToTwips(double x) const;
    double yToTwips(double y) const;
    double widthToTwips(double w) const;
    double heightToTwips(double h) const;
    float xFromTwips(double tw) const;
    float yFromTwips(double tw) const;
    float widthFromTwips(double tw) const;
    float heightFromTwips(double tw) const;

    // The interior, in pixels.
    virtual int interiorWidthPx() const = 0;
    virtual int interiorHeightPx() const = 0;
    // The widget that children are placed in; it clips them.
    virtual QWidget* childHost() const = 0;

  protected:
    // Recomputes a pixel or twip scale after the interior changed size.
    void interiorResized();

  private:
    struct Scale {
        float left = 0, top = 0, width = 0, height = 0;
    };
    void resetScaleToMode();
    Scale scale_;
    std::int16_t scaleMode_ = kTwips;
};

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

    // A click, and everything that stands for one: Space, Enter, Page Down
    // and Down on the focused label, the wheel turned down over the window,
    // and the label's accessible press action.
    std::function<void()> onClick;
    // A click on the label, as the player's mouse gives it.
    void raiseClick();

  private:
    Text caption_;
};

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

// Picture box: a container with a sunken border and a persistent drawing
// surface that redraws itself when uncovered.
class PictureBox final : public Control, public Container {
  public:
    struct Design {
        Rect rect;
        OleColor backColor;
        bool autoSize;  // takes the size of a picture assigned to it
    };
    PictureBox(Container& container, const Design& design);
    ~PictureBox() override;

    const Picture& picture() const { return picture_; }
    void setPicture(Picture picture);
    // Erases the drawing surface to the back colour.
    void Cls();
    // Copies the source rectangle of `picture` (its own pixels) onto the
    // destination rectangle (this box's scale), stretching as needed.
    void PaintPicture(const Picture& picture, float x1, float y1, float width1, float height1,
                      float x2, float y2, float width2, float height2);

    int interiorWidthPx() const override;
    int interiorHeightPx() const override;
    QWidget* childHost() const override;
    // The persistent surface as painted, for tests and screenshots.
    Picture surface() const;

  private:
    void applyColors() override;
    void resizeSurface();
    bool autoSize_;
    Picture picture_;
    struct Surface;
    std::unique_ptr<Surface> surface_;
};

// A numbered set of controls of one kind. Element 0 is designed; further
// elements are loaded as copies of it and start hidden.
[[noreturn]] void throwIndexError(int index);
[[noreturn]] void throwAlreadyLoaded(int index);

template <typename T>
class ControlArray {
  public:
    explicit ControlArray(std::unique_ptr<T> element0) { add(std::move(element0)); }
    // A further element that exists at design time, with its own design.
    void addDesigned(std::unique_ptr<T> element) { add(std::move(element)); }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    T& operator()(int index) const;
    std::int16_t UBound() const { return static_cast<std::int16_t>(elements_.size() - 1); }
    void Load(int index);

    // The click of any element, with that element's index.
    std::function<void(std::int16_t)> onClick;

  private:
    void add(std::unique_ptr<T> element);
    void wire(int index) {
        elements_[index]->onClick = [this, index] {
            if (onClick) onClick(static_cast<std::int16_t>(index));
        };
    }
    std::vector<std::unique_ptr<T>> elements_;
};

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
        Picture icon;
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
    QWidget* childHost() const override;
    QWidget* window() const { return childHost(); }
    // The order in which the keyboard focus moves among the given controls.
    static void setTabOrder(const std::vector<Control*>& order);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload(std::int16_t& cancel) { (void)cancel; }

  private:
    friend class FormWidget;
    void raiseUnload();
    Text caption_;
    OleColor backColor_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------

template <typename T>
T& ControlArray<T>::operator()(int index) const {
    if (index < 0 || index >= static_cast<int>(elements_.size()) || !elements_[index])
        throwIndexError(index);
    return *elements_[index];
}

template <typename T>
void ControlArray<T>::Load(int index) {
    if (index < 0 || index > 32767) throwIndexError(index);
    if (index < static_cast<int>(elements_.size()) && elements_[index]) throwAlreadyLoaded(index);
    auto element = T::copyOf(*elements_[0]);
    element->setVisible(False);
    if (index >= static_cast<int>(elements_.size())) elements_.resize(index + 1);
    elements_[index] = std::move(element);
    wire(index);
}

template <typename T>
void ControlArray<T>::add(std::unique_ptr<T> element) {
    elements_.push_back(std::move(element));
    wire(static_cast<int>(elements_.size() - 1));
}

}  // namespace platform
