#include "platform/form/Controls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>
#include <cmath>

#include "platform/form/Accessibility.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Errors.h"
#include "platform/form/LabelLayoutQt.h"
#include "platform/system/Language.h"
#include "platform/form/Widgets.h"

namespace platform {

namespace {

QColor toQColor(OleColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int toPx(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

[[noreturn]] void invalidProperty(const char* what) {
    throw RuntimeError(380, fillIn(trText("RuntimeError", "Invalid property value: %1"), {what}));
}

// Buttons treat '&' as a mnemonic marker; captions are shown literally.
QString literalButtonText(const Text& caption) {
    return QString::fromStdU16String(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

[[noreturn]] void throwIndexError(int index) {
    throw RuntimeError(340, fillIn(trText("RuntimeError", "Control array element %1 doesn't exist"),
                                   {std::to_string(index)}));
}
[[noreturn]] void throwAlreadyLoaded(int index) {
    throw RuntimeError(360,
                       fillIn(trText("RuntimeError", "Control array element %1 already loaded"),
                              {std::to_string(index)}));
}

// ---------------------------------------------------------------------------
// Toolkit widgets

LabelWidget::LabelWidget(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    // Keyboard players and screen readers reach the page through the focus.
    setFocusPolicy(Qt::StrongFocus);
    // A label without an accessible name reports each new text as a new
    // name; this one's name is what it announces, and it says when that
    // changes itself (Accessibility.cpp). The value here is never shown.
    setAccessibleName(QStringLiteral("page"));
}

void LabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layoutCaption(text(), font(), width(), height(), [&](QTextLayout& layout, std::size_t, qreal) {
        layout.draw(&painter, QPointF(0, 0));
    });
}

void LabelWidget::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void LabelWidget::mouseReleaseEvent(QMouseEvent* e) {
    const bool click =
        pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click && clicked) clicked();
}

void SurfaceWidget::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    painter.drawImage(e->rect().topLeft(), image, e->rect());
}

FormWidget::FormWidget(Form& form) : QWidget(nullptr), form_(form) {}

void FormWidget::closeEvent(QCloseEvent* event) {
    // A close is never refused; Unload decides what is released.
    event->accept();
    Dispatcher::runFromQt([this] { form_.raiseUnload(); });
}

// ---------------------------------------------------------------------------
// Control

Control::Control(Container* container, Rect designTwips)
    : container_(container), rect_(designTwips), peer_(std::make_unique<ControlPeer>()) {}

Control::~Control() {
    if (peer_ && peer_->widget) delete peer_->widget.data();
}

QWidget* Control::widget() const {
    return peer_->widget;
}

void Control::attach(QWidget* widget) {
    peer_->widget = widget;
    applyGeometry();
    applyColors();
    widget->setVisible(visible_ != 0);
}

void Control::applyGeometry() {
    QWidget* w = widget();
    if (!w) return;
    const int x = toPx(rect_.left), y = toPx(rect_.top);
    const int r = toPx(rect_.left + rect_.width), b = toPx(rect_.top + rect_.height);
    w->setGeometry(x, y, std::max(0, r - x), std::max(0, b - y));
}

void Control::setVisible(Boolean visible) {
    visible_ = visible ? True : False;
    if (widget()) widget()->setVisible(visible_ != 0);
}

void Control::SetFocus() {
    QWidget* w = widget();
    if (auto* button = dynamic_cast<ButtonWidget*>(w))
        button->focusFromProgram();
    else
        w->setFocus(Qt::OtherFocusReason);
}

void Control::setEnabled(Boolean enabled) {
    enabled_ = enabled ? True : False;
    if (widget()) widget()->setEnabled(enabled_ != 0);
}

void Control::setBackColor(OleColor color) {
    backColor_ = color;
    applyColors();
}

float Control::Left() const {
    return container_->xFromTwips(rect_.left);
}
float Control::Top() const {
    return container_->yFromTwips(rect_.top);
}
float Control::Width() const {
    return container_->widthFromTwips(rect_.width);
}
float Control::Height() const {
    return container_->heightFromTwips(rect_.height);
}

void Control::setLeft(float left) {
    rect_.left = container_->xToTwips(left);
    applyGeometry();
}
void Control::setTop(float top) {
    rect_.top = container_->yToTwips(top);
    applyGeometry();
}
void Control::setWidth(float width) {
    if (width < 0) invalidProperty("Width");
    rect_.width = container_->widthToTwips(width);
    applyGeometry();
}
void Control::setHeight(float height) {
    if (height < 0) invalidProperty("Height");
    rect_.height = container_->heightToTwips(height);
    applyGeometry();
}

void Control::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0) invalidProperty("Move");
    rect_ = Rect{container_->xToTwips(left), container_->yToTwips(top),
                 container_->widthToTwips(width), container_->heightToTwips(height)};
    applyGeometry();
}

// ---------------------------------------------------------------------------
// Container

double Container::xToTwips(double x) const {
    return (x - scale_.left) * interiorWidthPx() * kTwipsPerPixel / scale_.width;
}
double Container::yToTwips(double y) const {
    return (y - scale_.top) * interiorHeightPx() * kTwipsPerPixel / scale_.height;
}
double Container::widthToTwips(double w) const {
    return w * interiorWidthPx() * kTwipsPerPixel / scale_.width;
}
double Container::heightToTwips(double h) const {
    return h * interiorHeightPx() * kTwipsPerPixel / scale_.height;
}

// Reading back goes through double and ends in single precision, so a value
// written in user units reads back as exactly that value.
float Container::xFromTwips(double tw) const {
    const double w = interiorWidthPx() * kTwipsPerPixel;
    return static_cast<float>(w > 0 ? scale_.left + tw * scale_.width / w : scale_.left);
}
float Container::yFromTwips(double tw) const {
    const double h = interiorHeightPx() * kTwipsPerPixel;
    return static_cast<float>(h > 0 ? scale_.top + tw * scale_.height / h : scale_.top);
}
float Container::widthFromTwips(double tw) const {
    const double w = interiorWidthPx() * kTwipsPerPixel;
    return static_cast<float>(w > 0 ? tw * scale_.width / w : 0);
}
float Container::heightFromTwips(double tw) const {
    const double h = interiorHeightPx() * kTwipsPerPixel;
    return static_cast<float>(h > 0 ? tw * scale_.height / h : 0);
}

void Container::setScaleLeft(float v) {
    scale_.left = v;
    scaleMode_ = kUser;
}
void Container::setScaleTop(float v) {
    scale_.top = v;
    scaleMode_ = kUser;
}
void Container::setScaleWidth(float v) {
    if (v == 0) invalidProperty("ScaleWidth");
    scale_.width = v;
    scaleMode_ = kUser;
}
void Container::setScaleHeight(float v) {
    if (v == 0) invalidProperty("ScaleHeight");
    scale_.height = v;
    scaleMode_ = kUser;
}

void Container::setScaleMode(std::int16_t mode) {
    if (mode != kUser && mode != kTwips && mode != kPixels) invalidProperty("ScaleMode");
    scaleMode_ = mode;
    resetScaleToMode();
}

void Container::resetScaleToMode() {
    if (scaleMode_ == kUser) return;
    const double unit = scaleMode_ == kPixels ? 1.0 : kTwipsPerPixel;
    scale_ = Scale{0, 0, static_cast<float>(interiorWidthPx() * unit),
                   static_cast<float>(interiorHeightPx() * unit)};
}

void Container::interiorResized() {
    resetScaleToMode();
}

// ---------------------------------------------------------------------------
// Label

Label::Label(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    auto* w = new LabelWidget(container.childHost());
    w->setFont(labelFont(QString::fromStdU16String(design.fontFace), design.fontPoints));
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(pal);
    w->setText(QString::fromStdU16String(caption_));
    w->clicked = [this] {
        Dispatcher::runFromQt([this] {
            if (onClick) onClick();
        });
    };
    attach(w);
    w->window()->installEventFilter(w);
    installAccessibility();
}

void Label::setCaption(Text caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    auto* w = static_cast<LabelWidget*>(widget());
    w->setText(QString::fromStdU16String(caption_));
    labelCaptionChanged(*w);
}

void Label::setRestingMarks(const std::vector<Text>& marks) {
    auto* w = static_cast<LabelWidget*>(widget());
    w->restingMarks.clear();
    for (const Text& mark : marks) w->restingMarks.append(QString::fromStdU16String(mark));
    labelCaptionChanged(*w);
}

void Label::raiseClick() {
    Dispatcher::run([this] {
        if (onClick) onClick();
    });
}

// ---------------------------------------------------------------------------
// CheckBox

CheckBox::CheckBox(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption), foreColor_(design.foreColor) {
    backColor_ = design.backColor;
    auto* w = new ButtonWidget(literalButtonText(caption_), container.childHost());
    w->setCheckable(true);
    w->setAutoFillBackground(true);
    QObject::connect(w, &QPushButton::clicked, [this, w](bool checked) {
        Dispatcher::runFromQt([this, w, checked] {
            (void)w;
            value_ = checked ? 1 : 0;
            if (onClick) onClick();
        });
        // If the event did not reach the game the face must not lie.
        showValue();
    });
    attach(w);
}

std::unique_ptr<CheckBox> CheckBox::copyOf(const CheckBox& e) {
    auto c = std::make_unique<CheckBox>(*e.container_,
                                        Design{e.rect_, e.caption_, e.backColor_, e.foreColor_});
    c->setEnabled(e.enabled_);
    return c;
}

void CheckBox::applyColors() {
    if (!widget()) return;
    QPalette pal = widget()->palette();
    pal.setColor(QPalette::Button, toQColor(backColor_));
    pal.setColor(QPalette::ButtonText, toQColor(foreColor_));
    pal.setColor(QPalette::Window, toQColor(backColor_));
    widget()->setPalette(pal);
}

void CheckBox::showValue() {
    auto* w = static_cast<QPushButton*>(widget());
    const QSignalBlocker block(w);
    w->setChecked(value_ == 1);
}

void CheckBox::setValue(std::int16_t value) {
    if (value < 0 || value > 2) invalidProperty("Value");
    if (value == value_) return;
    value_ = value;
    showValue();
    if (onClick) onClick();
}

void CheckBox::clickAsPlayer() {
    Dispatcher::run([this] {
        if (!enabled_) return;
        value_ = value_ == 1 ? 0 : 1;
        showValue();
        if (onClick) onClick();
    });
}

// ---------------------------------------------------------------------------
// CommandButton

CommandButton::CommandButton(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    backColor_ = design.backColor;
    auto* w = new ButtonWidget(literalButtonText(caption_), container.childHost());
    w->setAutoFillBackground(true);
    QObject::connect(w, &QPushButton::clicked, [this] {
        Dispatcher::runFromQt([this] {
            if (onClick) onClick();
        });
    });
    attach(w);
}

std::unique_ptr<CommandButton> CommandButton::copyOf(const CommandButton& e) {
    auto c =
        std::make_unique<CommandButton>(*e.container_, Design{e.rect_, e.caption_, e.backColor_});
    c->setEnabled(e.enabled_);
    return c;
}

void CommandButton::setCaption(Text caption) {
    caption_ = std::move(caption);
    static_cast<QPushButton*>(widget())->setText(literalButtonText(caption_));
}

void CommandButton::applyColors() {
    if (!widget()) return;
    QPalette pal = widget()->palette();
    // The face keeps its colour when disabled: a played scene shows black.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Button, toQColor(backColor_));
        pal.setColor(group, QPalette::Window, toQColor(backColor_));
    }
    widget()->setPalette(pal);
}

void CommandButton::clickAsPlayer() {
    Dispatcher::run([this] {
        if (enabled_ && onClick) onClick();
    });
}

// ---------------------------------------------------------------------------
// PictureBox

struct PictureBox::Surface {
    QFrame* frame = nullptr;
    SurfaceWidget* interior = nullptr;
};

PictureBox::PictureBox(Container& container, const Design& design)
    : Control(&container, design.rect),
      autoSize_(design.autoSize),
      surface_(std::make_unique<Surface>()) {
    backColor_ = design.backColor;
    auto* frame = new QFrame(container.childHost());
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    frame->setLineWidth(2);
    surface_->frame = frame;
    surface_->interior = new SurfaceWidget(frame);
    attach(frame);
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
QWidget* PictureBox::childHost() const {
    return surface_->interior;
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
        p.drawImage(0, 0, picture_.image());
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
    p.drawImage(target, picture.image(), source);
    surface_->interior->update();
}

Picture PictureBox::surface() const {
    return Picture(surface_->interior->image);
}

// ---------------------------------------------------------------------------
// Form

struct Form::Impl {
    FormWidget* widget = nullptr;
    int width = 0, height = 0;
};

Form::Form(const Design& design)
    : caption_(design.caption), backColor_(design.backColor), impl_(std::make_unique<Impl>()) {
    impl_->width = design.interiorWidthPx;
    impl_->height = design.interiorHeightPx;
    auto* w = new FormWidget(*this);
    impl_->widget = w;
    w->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    w->setWindowTitle(QString::fromStdU16String(caption_));
    w->setFixedSize(design.interiorWidthPx, design.interiorHeightPx);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(backColor_));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    if (!design.icon.isEmpty()) w->setWindowIcon(QIcon(QPixmap::fromImage(design.icon.image())));
    setScaleMode(kTwips);
    installAccessibility();
}

Form::~Form() {
    delete impl_->widget;
}

int Form::interiorWidthPx() const {
    return impl_->width;
}
int Form::interiorHeightPx() const {
    return impl_->height;
}
QWidget* Form::childHost() const {
    return impl_->widget;
}

void Form::Show() {
    Dispatcher::run([this] { Form_Load(); });
    if (Dispatcher::halted()) return;
    QWidget* w = impl_->widget;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
    w->show();
    Dispatcher::run([this] { Form_Activate(); });
}

void Form::setTabOrder(const std::vector<Control*>& order) {
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

void Form::close() {
    impl_->widget->close();
}

void Form::raiseUnload() {
    std::int16_t cancel = 0;
    Form_Unload(cancel);
}

}  // namespace platform
