#pragma once
// Keys by what they are, whichever backend reads them.

namespace platform {

enum class Key {
    kSpace,
    kEnter,  // Return and the keypad's Enter alike
    kPageDown,
    kDown,
};

}  // namespace platform
