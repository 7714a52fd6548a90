#pragma once
// The box that tells the player what failed before the program ends.

#include <QMessageBox>
#include <memory>

#include "platform/system/Errors.h"

namespace platform {

// Titled with the program's name; the message, in the session's language, is
// shown as plain text so that a file name is never taken for markup.
std::unique_ptr<QMessageBox> makeFaultBox(const RuntimeError& error);

}  // namespace platform
