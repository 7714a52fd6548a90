#pragma once
// Picture boxes.

#include <memory>

#include "platform/form/Container.h"
#include "platform/form/Control.h"
#include "platform/form/Picture.h"

namespace platform {

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
    ControlPeer& childHost() const override;
    // The persistent surface as painted, for tests and screenshots.
    Picture surface() const;

  private:
    // A rectangle in pixels of a picture or of this box's interior.
    struct PixelRect {
        double x, y, width, height;
    };
    void applyColors() override;
    void resizeSurface();
    // The backend's parts: the width of the sunken border, and drawing the
    // `from` part of `picture` stretched over `to` of the surface.
    int borderPx() const;
    void paintStretched(const Picture& picture, PixelRect from, PixelRect to);
    bool autoSize_;
    Picture picture_;
    struct Surface;
    std::unique_ptr<Surface> surface_;
};

}  // namespace platform
