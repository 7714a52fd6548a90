#include <cstdio>

#include "platform/system/Program.h"

namespace platform {

namespace {
std::string& name() {
    static std::string n;
    return n;
}
}  // namespace

void setProgramName(std::string n) {
    name() = std::move(n);
}

const std::string& programName() {
    return name();
}

void printFault(const RuntimeError& error) {
    if (name().empty())
        std::fprintf(stderr, "%s\n", error.what());
    else
        std::fprintf(stderr, "%s: %s\n", name().c_str(), error.what());
    std::fflush(stderr);
}

}  // namespace platform
