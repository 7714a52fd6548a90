#include "platform/common/InvalidProperty.h"

#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

[[noreturn]] void invalidProperty(const char* what) {
    throw RuntimeError(380, fillIn(trText("RuntimeError", "Invalid property value: %1"), {what}));
}

}  // namespace platform
