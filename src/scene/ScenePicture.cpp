// The scene picture: loaded into the hidden buffer `E`, then stretched over
// the whole interior of `Pic`.

#include "app/Fom.h"
#include "platform/form/Picture.h"

void Fom::ShowScenePic(const platform::Text& name) {
    Pic.Cls();
    E.setPicture(platform::LoadPicture(PictureFile(name)));
    Pic.setScaleMode(platform::Container::kPixels);
    E.setScaleMode(platform::Container::kPixels);
    const platform::Picture& picture = E.picture();
    const float destWidth = Pic.ScaleWidth();
    const float destHeight = Pic.ScaleHeight();
    const float sourceWidth = E.ScaleWidth();
    const float sourceHeight = E.ScaleHeight();
    Pic.PaintPicture(picture, 0, 0, destWidth, destHeight, 0, 0, sourceWidth, sourceHeight);
    Pic.setVisible(platform::True);
}
