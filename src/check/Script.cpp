#include "check/Script.h"

#include <cmath>
#include <cstdio>

#include "platform/system/FileSystem.h"
#include "platform/system/Files.h"
#include "platform/system/Language.h"
#include "scene/ScriptBytes.h"
#include "scene/ScriptLine.h"

namespace check {

using platform::Text;
using scene::LineKind;

namespace {

void report(std::vector<Finding>& out, const std::string& file, std::size_t index,
            Severity severity, std::string message) {
    out.push_back({file, static_cast<long long>(index) + 1, 0, severity, std::move(message)});
}

std::string number(double n) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", n);
    return digits;
}

}  // namespace

Script readScript(const std::string& path, const std::string& file, std::vector<Finding>& out) {
    Script script;
    const auto reader = platform::LineReader::open(path);
    if (!reader) {
        script.status = platform::pathKind(path) == platform::PathKind::kMissing
                            ? Script::kMissing
                            : Script::kUnreadable;
        return script;
    }
    script.status = reader->atEnd() ? Script::kEmpty : Script::kRead;
    platform::Cp932Decoder decoder;
    std::vector<Finding> undecodable;
    std::vector<std::size_t> loneLineFeeds;  // indexes of lines that hold one
    while (!reader->atEnd()) {
        const std::string bytes = reader->next();
        script.lines.push_back(decoder.decode(bytes));
        if (bytes.find('\n') != std::string::npos) loneLineFeeds.push_back(script.lines.size() - 1);
        const std::size_t bad = decoder.lastInvalidCount();
        if (bad == 0) continue;
        const std::size_t offset = decoder.lastFirstInvalidOffset();
        const std::size_t column = decoder.decode(std::string_view(bytes).substr(0, offset)).size();
        const std::string message =
            bad == 1
                ? platform::trText("Check",
                                   "a byte here is not code page 932 text; the game shows "
                                   "\"\uFFFD\" in its place")
                : platform::fillIn(
                      platform::trText("Check",
                                       "%1 bytes on this line, the first here, are not code page "
                                       "932 text; the game shows \"\uFFFD\" in place of each"),
                      {std::to_string(bad)});
        undecodable.push_back({file, static_cast<long long>(script.lines.size()),
                               static_cast<long long>(column) + 1, Severity::kWarning, message});
    }

    // How the bytes are written is judged as the preview and --fix judge it.
    scene::ScriptBytes form;
    platform::readInPieces(path, [&form](std::string_view piece) { form.add(piece); });
    form.finish();
    const std::string fix = platform::trText("Check", "convert it with: pirokko-check --fix");
    if (form.lineFeedEnds()) {
        out.push_back(
            {file, 0, 0, Severity::kError,
             platform::fillIn(
                 platform::trText("Check",
                                  "every line ends in LF alone, as Linux editors save: the game "
                                  "starts a new line only at CR LF, so it shows the whole script "
                                  "as one page; %1"),
                 {fix})});
    } else {
        for (const std::size_t index : loneLineFeeds)
            report(out, file, index, Severity::kWarning,
                   platform::trText("Check",
                                    "this line holds an LF without a CR before it: the game shows "
                                    "it as a row break inside the line, not as a new line"));
    }
    if (form.doubledEnds())
        report(out, file, 0, Severity::kError,
               platform::fillIn(
                   platform::trText("Check",
                                    "every line ends in CR CR LF (its line ends were converted "
                                    "twice): the game reads an empty line after each line, so "
                                    "every line shows as a page of its own; %1"),
                   {fix}));

    if (form.utf8()) {
        // Every non-ASCII character would be garbled: one finding says why.
        out.push_back(
            {file, 0, 0, Severity::kError,
             platform::fillIn(
                 platform::trText("Check",
                                  "the script is saved as UTF-8, but the game reads code page 932 "
                                  "(Shift_JIS) and would show its Japanese text garbled; %1"),
                 {fix})});
    } else {
        out.insert(out.end(), undecodable.begin(), undecodable.end());
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
                const std::string count = platform::toUtf8(countText);
                report(
                    out, file, i, Severity::kError,
                    countText.empty()
                        ? platform::trText("Check",
                                           "the repeat line has no count; the game stops here")
                    : parsed.status == scene::RepeatCount::kOverflow
                        ? platform::fillIn(
                              platform::trText(
                                  "Check",
                                  "the repeat count \"%1\" is too large; the game stops here"),
                              {count})
                        : platform::fillIn(
                              platform::trText("Check",
                                               "the repeat count \"%1\" does not read as a number; "
                                               "the game stops here"),
                              {count}));
            }
            // A count the game cannot read stops it; the walk goes on as if
            // the run made no step, to find what else is wrong.
            runs.push_back({i, parsed.status == scene::RepeatCount::kOk ? parsed.value : 0, 0});
        }
        while (!runs.empty() && !(runs.back().step + 1 <= runs.back().count)) runs.pop_back();
        if (!runs.empty()) runs.back().step += 1;
    }

    const bool atEof = end == n;
    const std::string endName =
        atEof ? platform::trText("Check", "the end of the script, which opens the chooser")
        : endKind == LineKind::kTitle
            ? platform::fillIn(platform::trText("Check", "the \">end\" line on line %1"),
                               {std::to_string(end + 1)})
            : platform::fillIn(platform::trText("Check", "the \"tugi\" line on line %1"),
                               {std::to_string(end + 1)});
    for (const Run& run : runs) {
        const double left = run.count >= run.step + 1 ? std::floor(run.count) - run.step : 0;
        if (left <= 0) continue;
        const std::string steps =
            left == 1 ? platform::fillIn(
                            platform::trText("Check",
                                             "this repeat line goes on 1 line too many, past %1"),
                            {endName})
                      : platform::fillIn(
                            platform::trText("Check",
                                             "this repeat line goes on %1 lines too many, past %2"),
                            {number(left), endName});
        if (endKind == LineKind::kTitle)
            report(out, file, run.line, Severity::kWarning,
                   platform::fillIn(
                       platform::trText("Check",
                                        "%1: the opening scene, which starts there, skips as many "
                                        "of its first lines"),
                       {steps}));
        else
            report(out, file, run.line, Severity::kError,
                   platform::fillIn(
                       platform::trText("Check",
                                        "%1, after the scene is over: those lines are never "
                                        "shown, and a script must not ask for them"),
                       {steps}));
    }

    std::size_t unread = end + 1;
    if (endKind == LineKind::kChooser && end + 1 < n) {
        // This line is read as the look-ahead; the auto-advance timer runs
        // again after the click that opened the chooser.
        if (!scene::holdsTimer(lines[end + 1]))
            report(out, file, end + 1, Severity::kError,
                   platform::trText("Check",
                                    "the game reads this line after \"tugi\" and, with the chooser "
                                    "open, the text would move on to it by itself after the scene "
                                    "is over, which a script must not ask for; make it an empty "
                                    "line (or one that starts with \"-\", \">end\", \">game\" or "
                                    "\"tugi\")"));
        unread = end + 2;
    }
    if (unread < n)
        report(out, file, unread, Severity::kWarning,
               unread + 1 == n
                   ? platform::fillIn(
                         platform::trText("Check", "this line is never read: the scene ends at %1"),
                         {endName})
               : unread + 2 == n
                   ? platform::fillIn(
                         platform::trText("Check",
                                          "this line and the 1 line after it are never read: the "
                                          "scene ends at %1"),
                         {endName})
                   : platform::fillIn(
                         platform::trText("Check",
                                          "this line and the %1 lines after it are never read: the "
                                          "scene ends at %2"),
                         {std::to_string(n - unread - 1), endName}));

    if (role.opening && endKind == LineKind::kTitle)
        report(out, file, end, Severity::kError,
               platform::trText("Check",
                                "the opening scene returns to the title here, which starts it "
                                "again: the chooser can never open"));
    if (role.last && endKind != LineKind::kTitle)
        report(out, file, atEof ? n - 1 : end, Severity::kWarning,
               atEof
                   ? platform::fillIn(
                         platform::trText("Check",
                                          "%1 ends without \">end\", so the chooser opens, but "
                                          "every scene has been played by then: the player is "
                                          "stuck there; end it with \">end\" to start a new game"),
                         {role.title})
                   : platform::fillIn(
                         platform::trText("Check",
                                          "%1 opens the chooser here, but every scene has been "
                                          "played by then: the player is stuck there; use "
                                          "\">end\" to start a new game"),
                         {role.title}));
}

}  // namespace check
