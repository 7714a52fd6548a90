// Page layout for authors' tools, which run on the desktop; the page lays a
// caption out itself. What the game asks of it here (a waiting error's rows
// in the preview, which the web does not have) gets the text as it is.

#include "platform/form/LabelLayout.h"

namespace platform {

CaptionFit fitCaption(TextView, TextView, double, int, int) {
    return {static_cast<std::size_t>(-1)};
}

Text breakRows(TextView text, TextView, double, int) {
    return Text(text);
}

}  // namespace platform
