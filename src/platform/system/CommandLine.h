#pragma once
// A program's command line read the usual way (long options, `--name=value`
// or `--name value`, `--` before arguments that start with a dash), before
// any window exists, so that --help works without a display. The words the
// program prints about it are its own.

#include <string>
#include <vector>

namespace platform {

struct KnownOption {
    std::vector<std::string> names;  // "help", "h": without their dashes
    bool takesValue = false;
};

struct CommandLine {
    // Empty when the line was read; otherwise what is wrong with it, and the
    // option at fault as the user wrote it.
    enum class Fault { kNone, kUnknownOption, kMissingValue } fault = Fault::kNone;
    std::string faultyOption;

    // By an option's first name: whether it was given, and its value (the
    // last one, when given more than once).
    bool isSet(const std::string& name) const;
    std::string value(const std::string& name) const;

    // Every option given, by its first name, in order; a flag's value is empty.
    std::vector<std::pair<std::string, std::string>> given;
    std::vector<std::string> positional;  // UTF-8
};

// Reads argv[1..argc-1] (UTF-8, as the session passes them) against `options`.
CommandLine readCommandLine(int argc, const char* const* argv,
                            const std::vector<KnownOption>& options);

}  // namespace platform
