#pragma once
// The files the page fetched from the site, kept in memory and read through
// the ordinary calls (open, fstat, read, lseek, close), so that the shared
// code reads a scene's script or picture on the web exactly as it reads one
// from a disk. Read-only: the game writes no file in a browser. A folder is
// there when a file kept lies under it.
//
// This stands in for Emscripten's file systems: they make the standard
// streams, a root and a table of open files as the engine starts, and the
// page's first line waited for that work (and for their code) on every load.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Keeps `bytes` as the file at `path` (absolute), in place of any kept there.
void keepSiteFile(const std::string& path, std::vector<std::uint8_t> bytes);

}  // namespace platform
