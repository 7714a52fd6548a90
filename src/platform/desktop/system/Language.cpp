#include "platform/system/Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

namespace platform {

std::string trText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

void useSessionLanguage() {
    // Qt reads the session's language from the environment by itself, with
    // no need of a generated C library locale.
    static QTranslator translator;
    if (translator.load(QLocale::system(), QStringLiteral("pirokko"), QStringLiteral("_"),
                        QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&translator);
}

}  // namespace platform
