#pragma once
// `pirokko --export-web OUT [FOLDER]`: checks the game as pirokko-check does
// and writes it, with the web edition's engine, into OUT, a folder of static
// files any web server can serve.

struct LaunchOptions;

namespace webexport {

// Exit status: 0 written, 1 the game has errors or the export could not be
// written (nothing written), 2 OUT may not be written (nothing touched).
int runExport(int argc, char** argv, const LaunchOptions& options);

}  // namespace webexport
