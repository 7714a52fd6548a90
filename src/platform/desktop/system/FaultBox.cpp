#include "platform/desktop/system/FaultBox.h"

#include "platform/system/Program.h"

namespace platform {

std::unique_ptr<QMessageBox> makeFaultBox(const RuntimeError& error) {
    auto box =
        std::make_unique<QMessageBox>(QMessageBox::Critical, QString::fromStdString(programName()),
                                      QString::fromStdString(error.what()), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    return box;
}

}  // namespace platform
