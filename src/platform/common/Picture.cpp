#include "platform/form/Picture.h"

namespace platform {

Picture::Picture() = default;

Picture::Picture(int widthPx, int heightPx, std::vector<Pixel> pixels) {
    if (widthPx > 0 && heightPx > 0 &&
        pixels.size() == static_cast<std::size_t>(widthPx) * static_cast<std::size_t>(heightPx))
        pixels_ = std::make_shared<const Pixels>(Pixels{widthPx, heightPx, std::move(pixels)});
}

bool Picture::isEmpty() const {
    return !pixels_;
}
int Picture::widthPx() const {
    return pixels_ ? pixels_->width : 0;
}
int Picture::heightPx() const {
    return pixels_ ? pixels_->height : 0;
}
const Picture::Pixel* Picture::pixels() const {
    return pixels_ ? pixels_->data.data() : nullptr;
}

}  // namespace platform
