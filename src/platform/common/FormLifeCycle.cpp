// The window's life cycle, the same on every backend: Load before the window
// shows, Activate once it shows, Unload when it is closed.

#include "platform/form/Form.h"
#include "platform/system/Dispatch.h"

namespace platform {

void Form::Show() {
    Dispatcher::run([this] { Form_Load(); });
    if (Dispatcher::halted()) return;
    showWindow();
    Dispatcher::run([this] { Form_Activate(); });
}

void Form::raiseUnload() {
    std::int16_t cancel = 0;
    Form_Unload(cancel);
}

}  // namespace platform
