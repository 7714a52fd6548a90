#include "app/Game.h"

#include "app/Fom.h"
#include "platform/Program.h"
#include "platform/Random.h"
#include "platform/Timer.h"

namespace {
// Stands in for the sound device until the music layer is wired in.
class NoMedia final : public platform::MediaCommands {
  public:
    std::int32_t mciSendStringA(const char*, char* reply, std::uint32_t replyLength,
                                std::intptr_t) override {
        if (reply && replyLength > 0) reply[0] = '\0';
        return 263;
    }
};
}  // namespace

int runPirokko(int argc, char** argv) {
    platform::Application app(argc, argv);
    platform::QtTimerHost timers;
    platform::MersenneRandom random;
    NoMedia media;
    Fom fom({timers, random, media, platform::ProgramFolder()});
    fom.Show();
    return app.exec();
}
