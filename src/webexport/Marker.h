#pragma once
// The note an export leaves in the folder it wrote: who wrote it, and every
// folder and file it wrote, each file with a digest of its bytes. Exporting
// again reads it to tell the exporter's own files from an author's.

#include <optional>
#include <string>
#include <vector>

namespace webexport {

// The note's name inside an exported folder.
inline constexpr char kMarkerName[] = ".pirokko-export";

struct Written {
    std::string path;  // relative to the exported folder, '/' separated
    bool folder = false;
    std::string digest;  // of a file's bytes; empty for a folder
};

// A digest of the file's bytes, to notice an edit (not an attack); empty
// when it cannot be read.
std::string fileDigest(const std::string& file);

std::string markerText(const std::vector<Written>& written);
// What an earlier export wrote, or nothing when `file` is not such a note.
std::optional<std::vector<Written>> readMarker(const std::string& file);

}  // namespace webexport
