// The ways into the game besides the mouse. Each ends in the same handler a
// click reaches, so a key never does anything a click could not.

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "platform/desktop/form/Widgets.h"

namespace platform {

namespace {

bool isActivation(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Select;
}

// One notch of a common wheel; finer wheels and touchpads add up to it.
constexpr int kNotch = 120;

bool isKey(int qtKey, Key key) {
    switch (key) {
        case Key::kSpace:
            return qtKey == Qt::Key_Space;
        case Key::kEnter:
            return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter;
        case Key::kPageDown:
            return qtKey == Qt::Key_PageDown;
        case Key::kDown:
            return qtKey == Qt::Key_Down;
    }
    return false;
}

}  // namespace

// A held key's auto-repeat is not a click: at the system's repeat rate it
// would run through pages faster than anyone reads them, and straight into
// the chooser.
void LabelWidget::keyPressEvent(QKeyEvent* e) {
    const bool clicks =
        std::any_of(clickKeys.begin(), clickKeys.end(), [e](Key k) { return isKey(e->key(), k); });
    if (clicks && !(e->modifiers() & ~Qt::KeypadModifier)) {
        e->accept();
        if (!e->isAutoRepeat() && clicked) clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

// Watches the window: a wheel turned anywhere over it reaches the window once
// no control has taken it.
bool LabelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || watched != window() || !wheelClicks) return false;
    const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (dy > 0) {
        wheelDown_ = 0;  // turning back up cancels a partial notch
        return true;
    }
    wheelDown_ -= dy;
    while (wheelDown_ >= kNotch) {
        wheelDown_ -= kNotch;
        if (clicked) clicked();
    }
    return true;
}

void ButtonWidget::focusFromProgram() {
    keysAct_ = false;
    marked_ = false;
    setFocus(Qt::OtherFocusReason);
    update();
}

void ButtonWidget::focusInEvent(QFocusEvent* e) {
    switch (e->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            keysAct_ = marked_ = true;
            break;
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
            keysAct_ = true;
            marked_ = false;
            break;
        default:
            // The window coming back to the front changes nothing; focus the
            // program moved is handled by focusFromProgram.
            break;
    }
    QPushButton::focusInEvent(e);
}

bool ButtonWidget::swallowedBeforeFocusMoved(QKeyEvent* e) {
    if (keysAct_ || !isActivation(e->key())) return false;
    e->accept();
    return true;
}

void ButtonWidget::keyPressEvent(QKeyEvent* e) {
    if (swallowedBeforeFocusMoved(e)) return;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        e->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(e);
}

void ButtonWidget::keyReleaseEvent(QKeyEvent* e) {
    if (swallowedBeforeFocusMoved(e)) return;
    QPushButton::keyReleaseEvent(e);
}

// A black frame with a white one inside it: seen on the red field, on a
// played black button and on the lavender boxes alike.
void ButtonWidget::paintEvent(QPaintEvent* e) {
    QPushButton::paintEvent(e);
    if (!focusMarked()) return;
    QPainter p(this);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
}

}  // namespace platform
