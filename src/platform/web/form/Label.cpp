#include "platform/form/Label.h"

#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"
#include "platform/web/form/Page.h"
#include "platform/web/form/WebFaces.h"

namespace platform {

namespace {

void announce(const Text& text) {
    if (!text.empty()) pk_announce(units(text), count(text));
}

// The caption changed: a page that comes to rest is announced, only what
// came since the last rest, so a page that waits after each line is heard a
// line at a time and never twice.
void captionChanged(ControlPeer& r, const Text& caption) {
    Text now = caption;
    bool resting = false;
    for (const Text& mark : r.restingMarks) {
        if (!mark.empty() && now.size() >= mark.size() &&
            now.compare(now.size() - mark.size(), mark.size(), mark) == 0) {
            now.resize(now.size() - mark.size());
            resting = true;
            break;
        }
    }
    Text rows;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == u'\r') {
            if (i + 1 < now.size() && now[i + 1] == u'\n') ++i;
            rows += u'\n';
        } else {
            rows += now[i];
        }
    }
    // Every page opens with a blank row; there is nothing in it to read.
    rows.erase(0, rows.find_first_not_of(u'\n') == Text::npos ? rows.size()
                                                              : rows.find_first_not_of(u'\n'));
    const bool grew = startsWith(rows, r.readable);
    r.readable = rows;
    if (!grew) r.announcedUpTo = 0;
    if (!resting) return;
    Text fresh = rows.substr(std::min(r.announcedUpTo, rows.size()));
    fresh.erase(0, std::min(fresh.find_first_not_of(u'\n'), fresh.size()));
    r.announcedUpTo = rows.size();
    announce(fresh);
}

}  // namespace

Label::Label(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    peer_->id = pk_make(0, container.childHost().id);
    const Text faces = cssFaces(design.fontFace);
    // Points at 96 pixels to the inch.
    pk_font(peer_->id, units(faces), count(faces), design.fontPoints * 96.0 / 72.0);
    pk_colors(peer_->id, -1, 0);
    pk_caption(peer_->id, units(caption_), count(caption_));
    listen(
        peer_->id,
        [](void* self) {
            auto* label = static_cast<Label*>(self);
            Dispatcher::runFromCallback([label] {
                if (label->onClick) label->onClick();
            });
        },
        this);
    attached();
}

void Label::setCaption(Text caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    pk_caption(peer_->id, units(caption_), count(caption_));
    captionChanged(*peer_, caption_);
}

void Label::setRestingMarks(const std::vector<Text>& marks) {
    peer_->restingMarks = marks;
    captionChanged(*peer_, caption_);
}

void Label::setClickKeys(std::vector<Key> keys, bool wheelDown) {
    int mask = 0;
    for (Key k : keys) mask |= 1 << static_cast<int>(k);
    pk_click_keys(peer_->id, mask, wheelDown);
}

void Label::announceCaption() {
    ControlPeer& r = *peer_;
    r.announcedUpTo = r.readable.size();
    announce(r.readable);
}

void Label::setSpokenName(const Text& name) {
    pk_name(peer_->id, units(name), count(name));
}

void Label::raiseClick() {
    Dispatcher::run([this] {
        if (onClick) onClick();
    });
}

}  // namespace platform
