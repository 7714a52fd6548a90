#include "app/Game.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "app/Identity.h"
#include "platform/system/Language.h"
#include "platform/system/Program.h"

namespace {

int play(int argc, char** argv, const LaunchOptions* options) {
    platform::Application app(argc, argv);
    const auto fom = showGame(app, options ? options->gameFolder : platform::ProgramFolder(),
                              options ? options->preview : std::nullopt);
    return app.exec();
}

int failWithFolder(int argc, char** argv, const platform::RuntimeError& error) {
    if (!platform::displayAvailable()) {
        platform::printFault(error);
        return 1;
    }
    platform::Application app(argc, argv);
    app.fail(error);
    return app.exec();
}

}  // namespace

int runPirokko(int argc, char** argv, WebExporter exportWeb) {
    introduceGame();
    if (argc <= 1) return play(argc, argv, nullptr);
    Launch launch;
    {
        // Read before any window: --help needs no display.
        platform::ConsoleSession console(argc, argv);
        launch = readLaunch(argc, argv, platform::ProgramFolder());
    }
    switch (launch.kind) {
        case Launch::Kind::kPrint:
            std::fputs(launch.text.c_str(), stdout);
            return 0;
        case Launch::Kind::kUsageError:
            std::fputs(launch.text.c_str(), stderr);
            return 2;
        case Launch::Kind::kFolderError:
            // An export is a console command: no box, whatever the display.
            if (!launch.options.exportTo.empty()) {
                platform::printFault(*launch.folderError);
                return 1;
            }
            return failWithFolder(argc, argv, *launch.folderError);
        case Launch::Kind::kExportWeb:
            if (exportWeb) return exportWeb(argc, argv, launch.options);
            std::fputs(
                ("pirokko: " +
                 platform::trText("CommandLine", "this program cannot export for the web") + "\n")
                    .c_str(),
                stderr);
            return 2;
        case Launch::Kind::kPlay:
            break;
    }
    return play(argc, argv, &launch.options);
}
