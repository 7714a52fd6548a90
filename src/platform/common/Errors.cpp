#include "platform/system/Errors.h"

#include "platform/system/Language.h"

namespace platform {

namespace {
std::string fullMessage(int number, const std::string& what, const std::string& file) {
    std::string m =
        fillIn(trText("RuntimeError", "Run-time error %1: %2"), {std::to_string(number), what});
    if (!file.empty()) m += "\n" + fillIn(trText("RuntimeError", "File: %1"), {file});
    return m;
}
}  // namespace

RuntimeError::RuntimeError(int number, const std::string& what, std::string file)
    : std::runtime_error(fullMessage(number, what, file)),
      number_(number),
      description_(what),
      file_(std::move(file)) {}

}  // namespace platform
