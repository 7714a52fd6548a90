#pragma once
// What a scene script line is, and what it means as the line that comes
// next. One implementation, shared by the player and the authors' checker.

#include <optional>

#include "platform/system/Text.h"

namespace scene {

enum class LineKind {
    kChooser,  // "tugi": the scene ends and the chooser opens
    kRepeat,   // "--n": n further advances at once
    kTitle,    // ">end": back to the title
    kNewPage,  // "-...": starts a page, shown as text
    kEmpty,    // clears the page and shows the next line at once
    kText,
};

LineKind classify(platform::TextView line);

// The line shown before `next` ends its page when `next` is one of these.
bool endsPageBefore(platform::TextView next);

// The auto-advance timer never moves onto such a line.
bool holdsTimer(platform::TextView next);

// The count of a repeat line (its text from the third character).
struct RepeatCount {
    enum Status { kOk, kNotANumber, kOverflow } status;
    double value;
};
RepeatCount parseRepeatCount(platform::TextView countText);

inline const platform::Text kChooserLine = u"tugi";

// The prompt marks the player puts at the end of the label's text.
inline const platform::Text kPageEndMark = u"\u25BC";  // ▼ waits for a click
inline const platform::Text kLineMark = u"\u25BD";     // ▽ only while the timer never fires

}  // namespace scene
