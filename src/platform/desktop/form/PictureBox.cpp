#include "platform/form/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/PictureImage.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

void SurfaceWidget::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    painter.drawImage(e->rect().topLeft(), image, e->rect());
}

struct PictureBox::Surface {
    QFrame* frame = nullptr;
    SurfaceWidget* interior = nullptr;
    ControlPeer host;  // the interior, as children's host
};

PictureBox::PictureBox(Container& container, const Design& design)
    : Control(&container, design.rect),
      autoSize_(design.autoSize),
      surface_(std::make_unique<Surface>()) {
    backColor_ = design.backColor;
    auto* frame = new QFrame(container.childHost().widget);
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    frame->setLineWidth(2);
    surface_->frame = frame;
    surface_->interior = new SurfaceWidget(frame);
    surface_->host.widget = surface_->interior;
    peer_->widget = frame;
    attached();
    resizeSurface();
    Cls();
}

PictureBox::~PictureBox() = default;

int PictureBox::interiorWidthPx() const {
    return surface_->frame ? std::max(0, surface_->frame->contentsRect().width()) : 0;
}
int PictureBox::interiorHeightPx() const {
    return surface_->frame ? std::max(0, surface_->frame->contentsRect().height()) : 0;
}
ControlPeer& PictureBox::childHost() const {
    return surface_->host;
}

void PictureBox::resizeSurface() {
    const QRect inner = surface_->frame->contentsRect();
    surface_->interior->setGeometry(inner);
    QImage& img = surface_->interior->image;
    if (img.size() != inner.size()) {
        QImage grown(inner.size().expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
        grown.fill(toQColor(backColor_));
        if (!img.isNull()) {
            QPainter p(&grown);
            p.drawImage(0, 0, img);
        }
        img = grown;
    }
    interiorResized();
}

void PictureBox::applyColors() {
    if (!surface_ || !surface_->frame) return;
    QPalette pal = surface_->frame->palette();
    pal.setColor(QPalette::Window, toQColor(backColor_));
    surface_->frame->setPalette(pal);
    surface_->frame->setAutoFillBackground(true);
}

void PictureBox::setPicture(Picture picture) {
    picture_ = std::move(picture);
    if (autoSize_ && !picture_.isEmpty()) {
        const int border = surface_->frame->frameWidth();
        rect_.width = (picture_.widthPx() + 2 * border) * kTwipsPerPixel;
        rect_.height = (picture_.heightPx() + 2 * border) * kTwipsPerPixel;
        applyGeometry();
        resizeSurface();
    }
    Cls();
}

void PictureBox::Cls() {
    QImage& img = surface_->interior->image;
    img.fill(toQColor(backColor_));
    // The assigned picture is the background that clearing returns to.
    if (!picture_.isEmpty()) {
        QPainter p(&img);
        p.drawImage(0, 0, imageView(picture_));
    }
    surface_->interior->update();
}

void PictureBox::PaintPicture(const Picture& picture, float x1, float y1, float width1,
                              float height1, float x2, float y2, float width2, float height2) {
    if (picture.isEmpty())
        throw RuntimeError(kInvalidPicture,
                           trText("RuntimeError", "Invalid picture: nothing to paint"));
    auto px = [](double twips) { return twips / kTwipsPerPixel; };
    const QRectF target(px(xToTwips(x1)), px(yToTwips(y1)), px(widthToTwips(width1)),
                        px(heightToTwips(height1)));
    const QRectF source(px(xToTwips(x2)), px(yToTwips(y2)), px(widthToTwips(width2)),
                        px(heightToTwips(height2)));
    QPainter p(&surface_->interior->image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(target, imageView(picture), source);
    surface_->interior->update();
}

Picture PictureBox::surface() const {
    return pictureOf(surface_->interior->image);
}

}  // namespace platform
