#pragma once
// Anything that holds controls and has a scale: the form and picture boxes.

#include <cstdint>

namespace platform {

struct ControlPeer;

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
    // Where the backend places children; it clips them.
    virtual ControlPeer& childHost() const = 0;

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

}  // namespace platform
