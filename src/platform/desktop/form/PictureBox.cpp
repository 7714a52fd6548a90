#include "platform/form/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/PictureImage.h"
#include "platform/desktop/form/Widgets.h"

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

Picture PictureBox::surface() const {
    return pictureOf(surface_->interior->image);
}

int PictureBox::borderPx() const {
    return surface_->frame->frameWidth();
}

void PictureBox::paintStretched(const Picture& picture, PixelRect from, PixelRect to) {
    QPainter p(&surface_->interior->image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QRectF(to.x, to.y, to.width, to.height), imageView(picture),
                QRectF(from.x, from.y, from.width, from.height));
    surface_->interior->update();
}

}  // namespace platform
