#include "platform/form/PictureBox.h"

#include <map>
#include <memory>

#include "platform/form/Container.h"
#include "platform/web/form/Page.h"

namespace platform {

namespace {

// A picture as the page holds it, made once for each set of pixels and
// dropped with the last picture that shares them. The page reads the pixels
// themselves when it first draws the picture, which for the opening's is
// after its first line is on the screen; until it is dropped, this keeps
// them.
class PageImages {
  public:
    int handleOf(const Picture& picture) {
        const Picture::Pixel* key = picture.pixels();
        auto it = handles_.find(key);
        if (it != handles_.end()) return it->second.handle;
        forgetGone();
        const int handle = pk_picture(picture.pixels(), picture.widthPx(), picture.heightPx());
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
