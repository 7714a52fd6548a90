#pragma once
// The version the programs report, from the build.

#include <string>

// "NAME VERSION", as --version prints it.
std::string versionLine(const char* program);
