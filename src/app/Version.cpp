#include "app/Version.h"

std::string versionLine(const char* program) {
    return std::string(program) + " " + PIROKKO_VERSION;
}
