#include "platform/form/PictureBox.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/form/Container.h"
#include "platform/web/form/Page.h"

namespace platform {

namespace {

// A picture's pixels as the page takes them: R, G, B, A bytes with the colour
// not premultiplied, which is a little-endian word 0xAABBGGRR. Done here, not
// by the page's script, which runs cold while the game starts; and in as few
// steps a pixel as may be, since this code runs cold too, for the opening's
// picture before the first line is painted (hence also no zeroing first).
std::unique_ptr<std::uint32_t[]> pageBytes(const Picture& picture) {
    const std::size_t n = static_cast<std::size_t>(picture.widthPx()) * picture.heightPx();
    std::unique_ptr<std::uint32_t[]> out(new std::uint32_t[n]);
    const Picture::Pixel* in = picture.pixels();
    for (std::size_t i = 0; i < n; ++i) {
        const Picture::Pixel p = in[i];
        const std::uint32_t a = p >> 24;
        if (a == 0xFF || a == 0) {
            // Red and blue change places; nothing to divide out.
            out[i] = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
            continue;
        }
        // Only what is partly see-through has its colour divided out.
        const std::uint32_t r = std::min(255u, (((p >> 16) & 0xFF) * 255 + a / 2) / a);
        const std::uint32_t g = std::min(255u, (((p >> 8) & 0xFF) * 255 + a / 2) / a);
        const std::uint32_t b = std::min(255u, ((p & 0xFF) * 255 + a / 2) / a);
        out[i] = a << 24 | b << 16 | g << 8 | r;
    }
    return out;
}

// A picture as the page holds it, made once for each set of pixels and
// dropped with the last picture that shares them.
class PageImages {
  public:
    int handleOf(const Picture& picture) {
        const Picture::Pixel* key = picture.pixels();
        auto it = handles_.find(key);
        if (it != handles_.end()) return it->second.handle;
        forgetGone();
        const int handle =
            pk_picture(pageBytes(picture).get(), picture.widthPx(), picture.heightPx());
        handles_[key] = {handle, picture};
        return handle;
    }

  private:
    void forgetGone() {
        for (auto it = handles_.begin(); it != handles_.end();) {
            if (it->second.keep.sharers() == 1) {
                pk_picture_free(it->second.handle);
                it = handles_.erase(it);
            } else {
                ++it;
            }
        }
    }
    struct Held {
        int handle;
        Picture keep;
    };
    std::map<const Picture::Pixel*, Held> handles_;
};

PageImages& pageImages() {
    static PageImages images;
    return images;
}

}  // namespace

struct PictureBox::Surface {
    ControlPeer host;
};

PictureBox::PictureBox(Container& container, const Design& design)
    : Control(&container, design.rect),
      autoSize_(design.autoSize),
      surface_(std::make_unique<Surface>()) {
    backColor_ = design.backColor;
    peer_->id = pk_make(3, container.childHost().id);
    surface_->host.id = peer_->id;
    attached();
    resizeSurface();
    Cls();
}

PictureBox::~PictureBox() = default;

int PictureBox::interiorWidthPx() const {
    return pk_interior(peer_->id, 0);
}
int PictureBox::interiorHeightPx() const {
    return pk_interior(peer_->id, 1);
}
ControlPeer& PictureBox::childHost() const {
    return surface_->host;
}

void PictureBox::resizeSurface() {
    interiorResized();
}

void PictureBox::applyColors() {
    if (peer_->id) pk_colors(peer_->id, backColor_, -1);
}

void PictureBox::Cls() {
    pk_clear(peer_->id);
    // The assigned picture is the background that clearing returns to.
    if (!picture_.isEmpty())
        pk_paint(peer_->id, pageImages().handleOf(picture_), 0, 0, picture_.widthPx(),
                 picture_.heightPx(), 0, 0, picture_.widthPx(), picture_.heightPx());
}

// The page keeps the surface as drawing steps at the screen's density, not
// as pixels of the design.
Picture PictureBox::surface() const {
    return {};
}

// A sunken border of two pixels, as the page draws it (pirokko.css).
int PictureBox::borderPx() const {
    return 2;
}

void PictureBox::paintStretched(const Picture& picture, PixelRect from, PixelRect to) {
    pk_paint(peer_->id, pageImages().handleOf(picture), from.x, from.y, from.width, from.height,
             to.x, to.y, to.width, to.height);
}

}  // namespace platform
