#pragma once
// What assistive technology (a screen reader, AT-SPI clients) is told about
// the window and its label. Private to the platform.

#include <QString>
#include <QStringList>

namespace platform {

class LabelWidget;

// Makes the window a frame and gives the label its text, its press action and
// its announcements. Safe to call more than once.
void installAccessibility();

// The label's caption changed from what it was: tells assistive technology
// what was inserted or replaced, and announces the text that came to rest.
void labelCaptionChanged(LabelWidget& label);

// Announces the whole caption now, marks or not, and again if it was
// announced before.
void labelAnnounceAll(LabelWidget& label);

}  // namespace platform
