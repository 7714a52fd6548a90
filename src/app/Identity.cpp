#include "app/Identity.h"

#include "app/LabelDesign.h"
#include "platform/form/Fonts.h"
#include "platform/system/Program.h"

void introduceGame() {
    platform::setProgramName(platform::toUtf8(kGameName));
    // No free system has the text's face; without a stand-in the kana come
    // from a fixed-width face and rows wrap differently. The face is also
    // known by its Latin name.
    for (const char16_t* face : {fom_design::kLabelFace, u"MS PGothic"})
        platform::substituteFace(face, fom_design::kLabelFaceStandIns);
}
