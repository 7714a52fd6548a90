#pragma once
// The words a person reads, in the session's language: Japanese when the
// session asks for it, English otherwise. The English text in the source is
// the key; the Japanese lives in translations/ and is built into the program.

#include <initializer_list>
#include <string>

namespace platform {

// `source` in the session's language, UTF-8. The translation tools collect
// every call by this name as they would a translate(context, source) call:
// both must be string literals, and nothing else may follow them.
std::string trText(const char* context, const char* source);

// `pattern` with %1, %2, ... replaced by `args` in one pass, so that an
// argument holding "%2" (a file name, say) stays as it is.
std::string fillIn(const std::string& pattern, std::initializer_list<std::string> args);

// Makes trText speak the session's language from now on: the first of
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG that names one we have (Japanese
// for "ja..."). Needs the toolkit application; the C library's locale for
// that language does not have to be installed.
void useSessionLanguage();

}  // namespace platform
