#pragma once
// Run-time errors. A failing platform service throws one; the single event
// dispatch point catches it, tells the player what failed and ends the
// program.

#include <stdexcept>
#include <string>

namespace platform {

// Error numbers follow the classic BASIC run-time numbering so that a message
// can be matched to its cause at a glance.
enum ErrorNumber : int {
    kOverflow = 6,
    kTypeMismatch = 13,
    kBadFileNumber = 52,
    kFileNotFound = 53,
    kFileAlreadyOpen = 55,
    kInputPastEnd = 62,
    kPathNotFound = 76,
    kInvalidFileFormat = 321,
    kInvalidPicture = 481,
    kEndlessLoop = 28,  // "out of stack space": content that can only recurse forever
};

class RuntimeError : public std::runtime_error {
  public:
    // `what` says what failed; `file` names the file it concerns (may be empty).
    RuntimeError(int number, const std::string& what, std::string file = {});

    int number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& file() const { return file_; }

  private:
    int number_;
    std::string description_;
    std::string file_;
};

}  // namespace platform
