#include "app/CommandLine.h"
#include "app/Fom.h"
#include "app/Game.h"
#include "platform/system/Program.h"

std::unique_ptr<Fom> showGame(platform::Application& app, platform::Text folder,
                              const std::optional<PreviewRequest>& preview) {
    auto fom = std::make_unique<Fom>(
        FomServices{app.timers(), app.random(), app.media(), std::move(folder)});
    if (preview) fom->PlayPreview(*preview);
    fom->Show();
    return fom;
}
