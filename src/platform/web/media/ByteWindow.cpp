#include "platform/web/media/ByteWindow.h"

#include <algorithm>
#include <cstring>

namespace platform {

std::size_t ByteWindow::read(std::uint64_t at, void* out, std::size_t count) const {
    const std::size_t n = std::min(count, availableFrom(at));
    if (n > 0) std::memcpy(out, bytes_.get() + (at - start_), n);
    return n;
}

std::size_t ByteWindow::roomKeeping(std::uint64_t keepFrom) const {
    const std::uint64_t from = std::clamp(keepFrom, start_, end());
    return capacity_ - static_cast<std::size_t>(end() - from);
}

std::uint8_t* ByteWindow::reserve(std::size_t count, std::uint64_t keepFrom) {
    if (count > roomKeeping(keepFrom)) return nullptr;
    if (size_ + count > capacity_) {
        const std::uint64_t from = std::clamp(keepFrom, start_, end());
        const auto drop = static_cast<std::size_t>(from - start_);
        std::memmove(bytes_.get(), bytes_.get() + drop, size_ - drop);
        size_ -= drop;
        start_ = from;
    }
    return bytes_.get() + size_;
}

}  // namespace platform
