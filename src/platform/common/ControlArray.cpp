#include "platform/form/ControlArray.h"

#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

[[noreturn]] void throwIndexError(int index) {
    throw RuntimeError(340, fillIn(trText("RuntimeError", "Control array element %1 doesn't exist"),
                                   {std::to_string(index)}));
}
[[noreturn]] void throwAlreadyLoaded(int index) {
    throw RuntimeError(360,
                       fillIn(trText("RuntimeError", "Control array element %1 already loaded"),
                              {std::to_string(index)}));
}

}  // namespace platform
