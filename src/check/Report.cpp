#include <cstdio>

#include "check/Check.h"
#include "platform/system/Language.h"

namespace check {

namespace {

const char* severityName(Severity severity) {
    return severity == Severity::kError ? "error" : "warning";
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;  // UTF-8 passes through
                }
        }
    }
    return out + "\"";
}

}  // namespace

std::string formatText(const Finding& f) {
    std::string out = f.file;
    if (f.line > 0) out += ":" + std::to_string(f.line);
    if (f.line > 0 && f.column > 0) out += ":" + std::to_string(f.column);
    return out + ": " + severityName(f.severity) + ": " + f.message;
}

std::string formatJson(const std::vector<Finding>& findings) {
    std::string out = "[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"file\": " + jsonString(f.file) + ", \"line\": " + std::to_string(f.line);
        if (f.column > 0) out += ", \"column\": " + std::to_string(f.column);
        out += ", \"severity\": \"" + std::string(severityName(f.severity)) +
               "\", \"message\": " + jsonString(f.message) + "}";
    }
    return out + (findings.empty() ? "]" : "\n]");
}

std::string summary(const std::vector<Finding>& findings) {
    std::size_t errors = 0;
    for (const Finding& f : findings) errors += f.severity == Severity::kError;
    const std::size_t warnings = findings.size() - errors;
    const std::string e = std::to_string(errors), w = std::to_string(warnings);
    // Each pair of counts has its own sentence: the English forms differ by
    // number, and another language may need to differ otherwise.
    if (errors == 1 && warnings == 1) return platform::trText("Check", "1 error, 1 warning");
    if (errors == 1)
        return platform::fillIn(platform::trText("Check", "1 error, %1 warnings"), {w});
    if (warnings == 1)
        return platform::fillIn(platform::trText("Check", "%1 errors, 1 warning"), {e});
    return platform::fillIn(platform::trText("Check", "%1 errors, %2 warnings"), {e, w});
}

bool hasErrors(const std::vector<Finding>& findings) {
    for (const Finding& f : findings)
        if (f.severity == Severity::kError) return true;
    return false;
}

}  // namespace check
