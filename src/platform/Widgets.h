#pragma once
// Toolkit widgets behind the controls. Private to the platform.

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace platform {

class Form;

struct ControlPeer {
    QPointer<QWidget> widget;
};

// The label paints its own rows: each caption row is laid out and centred on
// its own, wrapping within the width, and layout stops at the bottom edge so
// that a huge caption costs no more than what can be seen.
class LabelWidget final : public QLabel {
  public:
    explicit LabelWidget(QWidget* parent);
    std::function<void()> clicked;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

  private:
    bool pressed_ = false;
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
