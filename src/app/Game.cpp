#include "app/Game.h"

#include "app/Fom.h"
#include "platform/system/Program.h"
#include "platform/system/Random.h"
#include "platform/media/SdlMedia.h"
#include "platform/system/Timer.h"

int runPirokko(int argc, char** argv) {
    // Loading the sound library and probing its drivers would compete with
    // the window for the machine; the music waits for the first frame.
    platform::SdlMedia::Options sound;
    sound.holdOutput = true;
    platform::SdlMedia media(sound);
    platform::Application app(argc, argv);
    platform::QtTimerHost timers;
    platform::MersenneRandom random;
    Fom fom({timers, random, media, platform::ProgramFolder()});
    fom.Show();
    app.afterFirstFrame([&media] { media.startAudioInBackground(); });
    return app.exec();
}
