#pragma once
// The page's functions (page/library.js) as the web backend calls them, and
// the peer that stands for a control: the number of its element.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/system/Text.h"

namespace platform {

struct ControlPeer {
    int id = 0;
    // A text's reading (Label.cpp): the caption endings that are drawn but
    // never read, the page as read, and how much of it has been announced.
    std::vector<Text> restingMarks;
    Text readable;
    std::size_t announcedUpTo = 0;
};

}  // namespace platform

extern "C" {
int pk_form(const char16_t* caption, int captionLength, int width, int height, std::int32_t back);
void pk_show_form();
// kind: 0 text, 1 check box, 2 command button, 3 picture box.
int pk_make(int kind, int parent);
void pk_place(int id, int x, int y, int width, int height);
int pk_interior(int id, int height);
void pk_visible(int id, int visible);
void pk_enabled(int id, int enabled);
void pk_colors(int id, std::int32_t back, std::int32_t fore);
void pk_caption(int id, const char16_t* text, int length);
void pk_pressed(int id, int pressed);
void pk_focus(int id);
void pk_font(int id, const char16_t* faces, int length, double px);
void pk_name(int id, const char16_t* text, int length);
void pk_click_keys(int id, int mask, int wheel);
void pk_announce(const char16_t* text, int length);
void pk_tab_order(const int* ids, int count);
// A picture's own pixels (Picture::Pixel), which the page reads when it
// first draws the picture: they must stay until pk_picture_free.
int pk_picture(const std::uint32_t* pixels, int width, int height);
void pk_picture_free(int handle);
void pk_clear(int id);
void pk_paint(int id, int picture, double sx, double sy, double sw, double sh, double dx, double dy,
              double dw, double dh);
void pk_timer_arm(std::uintptr_t key, int ms);
void pk_timer_disarm(std::uintptr_t key);
void pk_fault(const char16_t* title, int titleLength, const char16_t* message, int messageLength,
              const char16_t* ok, int okLength);
void pk_end(const char16_t* note, int noteLength);
int pk_language();
}

namespace platform {

// Text as the page functions take it: its units and their count.
inline const char16_t* units(const Text& t) {
    return t.data();
}
inline int count(const Text& t) {
    return static_cast<int>(t.size());
}

// The element of an event, back to what the game made of it.
void listen(int id, void (*handler)(void*), void* target);
void forget(int id);

}  // namespace platform
