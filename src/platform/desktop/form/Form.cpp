#include "platform/form/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

#include "platform/desktop/form/Accessibility.h"
#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/PictureImage.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/form/Control.h"
#include "platform/system/Dispatch.h"

namespace platform {

FormWidget::FormWidget(Form& form) : QWidget(nullptr), form_(form) {}

void FormWidget::closeEvent(QCloseEvent* event) {
    // A close is never refused; Unload decides what is released.
    event->accept();
    Dispatcher::runFromCallback([this] { form_.raiseUnload(); });
}

struct Form::Impl {
    FormWidget* widget = nullptr;
    mutable ControlPeer host;  // the widget, as children's host
    int width = 0, height = 0;
};

Form::Form(const Design& design)
    : caption_(design.caption), backColor_(design.backColor), impl_(std::make_unique<Impl>()) {
    impl_->width = design.interiorWidthPx;
    impl_->height = design.interiorHeightPx;
    auto* w = new FormWidget(*this);
    impl_->widget = w;
    impl_->host.widget = w;
    w->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    w->setWindowTitle(QString::fromStdU16String(caption_));
    w->setFixedSize(design.interiorWidthPx, design.interiorHeightPx);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(backColor_));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    if (design.icon) {
        const Picture icon = design.icon();
        if (!icon.isEmpty()) w->setWindowIcon(QIcon(QPixmap::fromImage(imageView(icon))));
    }
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
ControlPeer& Form::childHost() const {
    return impl_->host;
}

void Form::showWindow() {
    QWidget* w = impl_->widget;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
    w->show();
}

void Form::setTabOrder(const std::vector<Control*>& order) {
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->peer().widget, order[i]->peer().widget);
}

void Form::close() {
    impl_->widget->close();
}

}  // namespace platform
