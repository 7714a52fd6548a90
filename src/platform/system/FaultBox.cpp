#include "platform/system/FaultBox.h"

namespace platform {

std::unique_ptr<QMessageBox> makeFaultBox(const RuntimeError& error) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Pirokko"),
                                             QString::fromStdString(error.what()), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    return box;
}

}  // namespace platform
