#include "platform/Errors.h"

namespace platform {

namespace {
std::string fullMessage(int number, const std::string& what, const std::string& file) {
    std::string m = "Run-time error " + std::to_string(number) + ": " + what;
    if (!file.empty()) m += "\nFile: " + file;
    return m;
}
}  // namespace

RuntimeError::RuntimeError(int number, const std::string& what, std::string file)
    : std::runtime_error(fullMessage(number, what, file)),
      number_(number),
      description_(what),
      file_(std::move(file)) {}

}  // namespace platform
