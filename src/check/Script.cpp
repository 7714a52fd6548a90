#include "check/Script.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "platform/Files.h"
#include "scene/ScriptLine.h"

namespace check {

using platform::Text;
using scene::LineKind;

namespace {

std::string plural(double n, const char* one, const char* many) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", n);
    return std::string(digits) + " " + (n == 1 ? one : many);
}

void report(std::vector<Finding>& out, const std::string& file, std::size_t index,
            Severity severity, std::string message) {
    out.push_back({file, static_cast<long long>(index) + 1, 0, severity, std::move(message)});
}

}  // namespace

Script readScript(const std::string& path, const std::string& file, std::vector<Finding>& out) {
    Script script;
    const auto reader = platform::LineReader::open(path);
    if (!reader) {
        std::error_code ec;
        script.status = std::filesystem::exists(path, ec) ? Script::kUnreadable : Script::kMissing;
        return script;
    }
    script.status = reader->atEnd() ? Script::kEmpty : Script::kRead;
    platform::Cp932Decoder decoder;
    while (!reader->atEnd()) {
        const std::string bytes = reader->next();
        script.lines.push_back(decoder.decode(bytes));
        const std::size_t bad = decoder.lastInvalidCount();
        if (bad == 0) continue;
        const std::size_t offset = decoder.lastFirstInvalidOffset();
        const std::size_t column = decoder.decode(std::string_view(bytes).substr(0, offset)).size();
        const std::string message =
            bad == 1 ? std::string(
                           "a byte here does not decode as code page 932; the game shows "
                           "it as \"\uFFFD\"")
                     : std::to_string(bad) +
                           " bytes on this line, the first here, do not decode as code page 932; "
                           "the game shows each as \"\uFFFD\"";
        out.push_back({file, static_cast<long long>(script.lines.size()),
                       static_cast<long long>(column) + 1, Severity::kWarning, message});
    }
    return script;
}

void walkScript(const SceneRole& role, const std::vector<Text>& lines, const std::string& file,
                std::vector<Finding>& out) {
    // Every advance acts on the next line in file order, so the walk visits
    // the lines one by one. What it follows is which repeat runs each act
    // belongs to, counted as the player counts them: an empty line acts on
    // the next line within the same step, and each run keeps its own count.
    struct Run {
        std::size_t line;
        double count;
        double step;
    };
    std::vector<Run> runs;
    const std::size_t n = lines.size();
    std::size_t end = 0;
    LineKind endKind = LineKind::kChooser;
    for (std::size_t i = 0;; ++i) {
        // The end of the file stands in for a chooser line.
        const LineKind kind = i < n ? scene::classify(lines[i]) : LineKind::kChooser;
        if (kind == LineKind::kChooser || kind == LineKind::kTitle) {
            end = i;
            endKind = kind;
            break;
        }
        if (kind == LineKind::kEmpty) continue;
        if (kind == LineKind::kRepeat) {
            const platform::TextView countText = platform::TextView(lines[i]).substr(2);
            const auto parsed = scene::parseRepeatCount(countText);
            if (parsed.status != scene::RepeatCount::kOk) {
                const std::string quoted = "\"" + platform::toUtf8(countText) + "\"";
                report(out, file, i, Severity::kError,
                       countText.empty() ? "the repeat line has no count; the game stops here"
                       : parsed.status == scene::RepeatCount::kOverflow
                           ? "the repeat count " + quoted + " is too large; the game stops here"
                           : "the repeat count " + quoted +
                                 " does not read as a number; the game stops here");
            }
            // A count the game cannot read stops it; the walk goes on as if
            // the run made no step, to find what else is wrong.
            runs.push_back({i, parsed.status == scene::RepeatCount::kOk ? parsed.value : 0, 0});
        }
        while (!runs.empty() && !(runs.back().step + 1 <= runs.back().count)) runs.pop_back();
        if (!runs.empty()) runs.back().step += 1;
    }

    const bool atEof = end == n;
    const std::string endName = atEof
                                    ? std::string("the end of the script, which opens the chooser")
                                    : (endKind == LineKind::kTitle ? "the title line on line "
                                                                   : "the chooser line on line ") +
                                          std::to_string(end + 1);
    for (const Run& run : runs) {
        const double left = run.count >= run.step + 1 ? std::floor(run.count) - run.step : 0;
        if (left <= 0) continue;
        const std::string steps = "this repeat run still has " + plural(left, "step", "steps") +
                                  " to make when it reaches " + endName;
        if (endKind == LineKind::kTitle)
            report(out, file, run.line, Severity::kWarning,
                   steps + "; they advance the opening scene at once, skipping its lines");
        else
            report(out, file, run.line, Severity::kError,
                   steps + "; they would advance a script that is already closed");
    }

    std::size_t unread = end + 1;
    if (endKind == LineKind::kChooser && end + 1 < n) {
        // This line is read as the look-ahead; the auto-advance timer runs
        // again after the click that opened the chooser.
        if (!scene::holdsTimer(lines[end + 1]))
            report(out, file, end + 1, Severity::kError,
                   "the line after a chooser line must hold the auto-advance timer (an empty "
                   "line, say); the timer would act on this one after the script is closed");
        unread = end + 2;
    }
    if (unread < n)
        report(out, file, unread, Severity::kWarning,
               (unread + 1 == n ? std::string("this line is")
                                : "this line and the " +
                                      plural(static_cast<double>(n - unread - 1), "line", "lines") +
                                      " after it are") +
                   " never read: the scene ends at " + endName);

    if (role.opening && endKind == LineKind::kTitle)
        report(out, file, end, Severity::kError,
               "the opening scene returns to the title here, which starts it again: the chooser "
               "can never open");
    if (role.last && endKind != LineKind::kTitle)
        report(out, file, atEof ? n - 1 : end, Severity::kWarning,
               role.title +
                   (atEof ? " ends without a title line (\">end\"), so the chooser opens"
                          : " opens the chooser here instead of returning to the title") +
                   ": every scene has been played by then, so the chooser can never be left");
}

}  // namespace check
