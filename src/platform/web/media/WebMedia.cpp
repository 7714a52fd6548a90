#include "platform/web/media/WebMedia.h"

namespace platform {

std::int32_t WebMedia::mciSendStringA(const char*, char* reply, std::uint32_t replyLength,
                                      std::intptr_t) {
    if (reply && replyLength > 0) reply[0] = '\0';
    return NoMediaDevice::kNoDevice;
}

void WebMedia::playerGestured() {}

}  // namespace platform
