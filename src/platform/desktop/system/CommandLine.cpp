#include "platform/system/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

namespace platform {

namespace {

// The parser names an unknown option without its dashes; the user is told
// of it as they wrote it.
std::string asWritten(const QStringList& arguments, const QString& name) {
    for (const QString& a : arguments.mid(1)) {
        if (a == QLatin1String("--")) break;
        if (a == "--" + name || a.startsWith("--" + name + "=")) return a.toStdString();
    }
    return "-" + name.toStdString();
}

}  // namespace

bool CommandLine::isSet(const std::string& name) const {
    for (const auto& [n, v] : given)
        if (n == name) return true;
    return false;
}

std::string CommandLine::value(const std::string& name) const {
    std::string last;
    for (const auto& [n, v] : given)
        if (n == name) last = v;
    return last;
}

CommandLine readCommandLine(int argc, const char* const* argv,
                            const std::vector<KnownOption>& options) {
    QCommandLineParser parser;
    // The program writes its own help: the parser's would be in English only.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    std::vector<QCommandLineOption> qtOptions;
    for (const KnownOption& known : options) {
        QStringList names;
        for (const std::string& n : known.names) names << QString::fromStdString(n);
        QCommandLineOption option(names);
        if (known.takesValue) option.setValueName(QStringLiteral("value"));
        qtOptions.push_back(option);
        parser.addOption(option);
    }
    QStringList arguments{QStringLiteral("program")};
    for (int i = 1; i < argc; ++i) arguments << QString::fromUtf8(argv[i]);

    CommandLine line;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            line.fault = CommandLine::Fault::kUnknownOption;
            line.faultyOption = asWritten(arguments, unknown.front());
        } else {
            // The parser only says "missing value" in English: find the
            // option that stands last without one.
            line.fault = CommandLine::Fault::kMissingValue;
            line.faultyOption = arguments.back().toStdString();
        }
        return line;
    }
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (!parser.isSet(qtOptions[i])) continue;
        const std::string name = options[i].names.front();
        if (!options[i].takesValue) {
            line.given.emplace_back(name, std::string());
            continue;
        }
        for (const QString& v : parser.values(qtOptions[i]))
            line.given.emplace_back(name, v.toStdString());
    }
    for (const QString& p : parser.positionalArguments())
        line.positional.push_back(p.toStdString());
    return line;
}

}  // namespace platform
