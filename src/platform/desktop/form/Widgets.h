#pragma once
// Toolkit widgets behind the controls. Private to the platform.

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/form/Container.h"
#include "platform/form/Control.h"
#include "platform/form/Keys.h"

namespace platform {

class Form;

struct ControlPeer {
    QPointer<QWidget> widget;
};

// The widget that shows a control, and the one a container places its
// children in (the window itself for the form): for the backend and for the
// tests that click them.
inline QWidget* widgetOf(const Control& control) {
    return control.peer().widget;
}
inline QWidget* hostOf(const Container& container) {
    return container.childHost().widget;
}

// The label paints its own rows: each caption row is laid out and centred on
// its own, wrapping within the width, and layout stops at the bottom edge so
// that a huge caption costs no more than what can be seen.
class LabelWidget final : public QLabel {
  public:
    explicit LabelWidget(QWidget* parent);
    std::function<void()> clicked;
    // What else clicks it (KeyboardAndWheel.cpp).
    std::vector<Key> clickKeys;
    bool wheelClicks = false;

    // What a reader hears (see Accessibility.cpp): caption endings that are
    // drawn but never read out, the page as read, and how much of it has
    // been announced.
    QStringList restingMarks;
    QString readable;
    qsizetype announcedUpTo = 0;
    QWidget* announcer = nullptr;  // made on the first announcement

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    // Keys and the wheel (KeyboardAndWheel.cpp).
    void keyPressEvent(QKeyEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool pressed_ = false;
    int wheelDown_ = 0;  // eighths of a degree turned down, not yet a notch
};

// The push button behind check boxes and scene buttons (KeyboardAndWheel.cpp):
// Enter presses it as Space does, focus that the program gave it waits for
// the player before keys act, and focus reached by the keyboard is marked.
class ButtonWidget final : public QPushButton {
  public:
    ButtonWidget(const QString& text, QWidget* parent) : QPushButton(text, parent) {}
    void focusFromProgram();
    bool keysAct() const { return keysAct_; }
    bool focusMarked() const { return hasFocus() && marked_; }

  protected:
    void focusInEvent(QFocusEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void paintEvent(QPaintEvent*) override;

  private:
    // Takes an activation key, press or release, that arrives before the
    // player has moved the focus here, so that it presses nothing.
    bool swallowedBeforeFocusMoved(QKeyEvent* e);
    bool keysAct_ = true;
    bool marked_ = false;
};

// The drawing surface of a picture box: holds what was painted and shows it
// again whenever asked to repaint.
class SurfaceWidget final : public QWidget {
  public:
    explicit SurfaceWidget(QWidget* parent) : QWidget(parent) {}
    QImage image;

  protected:
    void paintEvent(QPaintEvent*) override;
};

class FormWidget final : public QWidget {
  public:
    explicit FormWidget(Form& form);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Form& form_;
};

}  // namespace platform
