#pragma once
// The run-time error of a property given a value it cannot take.

namespace platform {

[[noreturn]] void invalidProperty(const char* what);

}  // namespace platform
