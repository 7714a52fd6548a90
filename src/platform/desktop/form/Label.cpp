#include "platform/form/Label.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/desktop/form/Accessibility.h"
#include "platform/desktop/form/LabelLayoutQt.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"

namespace platform {

LabelWidget::LabelWidget(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    // Keyboard players and screen readers reach the page through the focus.
    setFocusPolicy(Qt::StrongFocus);
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

Label::Label(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    auto* w = new LabelWidget(container.childHost().widget);
    w->setFont(labelFont(QString::fromStdU16String(design.fontFace), design.fontPoints));
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(pal);
    w->setText(QString::fromStdU16String(caption_));
    w->clicked = [this] {
        Dispatcher::runFromCallback([this] {
            if (onClick) onClick();
        });
    };
    peer_->widget = w;
    attached();
    w->window()->installEventFilter(w);
    installAccessibility();
}

void Label::setCaption(Text caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    auto* w = static_cast<LabelWidget*>(peer_->widget.data());
    w->setText(QString::fromStdU16String(caption_));
    labelCaptionChanged(*w);
}

void Label::setRestingMarks(const std::vector<Text>& marks) {
    auto* w = static_cast<LabelWidget*>(peer_->widget.data());
    w->restingMarks.clear();
    for (const Text& mark : marks) w->restingMarks.append(QString::fromStdU16String(mark));
    labelCaptionChanged(*w);
}

void Label::setClickKeys(std::vector<Key> keys, bool wheelDown) {
    auto* w = static_cast<LabelWidget*>(peer_->widget.data());
    w->clickKeys = std::move(keys);
    w->wheelClicks = wheelDown;
}

void Label::announceCaption() {
    labelAnnounceAll(*static_cast<LabelWidget*>(peer_->widget.data()));
}

// Said as the focus arrives, before the page is announced
// (Accessibility.cpp). A label without an accessible name would also report
// each new text as a new name.
void Label::setSpokenName(const Text& name) {
    peer_->widget->setAccessibleName(QString::fromStdU16String(name));
}

void Label::raiseClick() {
    Dispatcher::run([this] {
        if (onClick) onClick();
    });
}

}  // namespace platform
