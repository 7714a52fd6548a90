#include "app/Game.h"

#include "app/Fom.h"
#include "platform/Program.h"
#include "platform/Random.h"
#include "platform/SdlMedia.h"
#include "platform/Timer.h"

int runPirokko(int argc, char** argv) {
    // Sound drivers are probed while the window is being built.
    platform::SdlMedia media;
    media.startAudioEarly();
    platform::Application app(argc, argv);
    platform::QtTimerHost timers;
    platform::MersenneRandom random;
    Fom fom({timers, random, media, platform::ProgramFolder()});
    fom.Show();
    return app.exec();
}
