#include "platform/form/LabelLayout.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <limits>

#include "platform/desktop/form/LabelLayoutQt.h"

namespace platform {

namespace {
constexpr qsizetype kMaxRowChars = 8192;
}

QFont labelFont(const QString& face, double points) {
    // Asking for a missing face makes the toolkit search its substitutes at
    // every layout, which costs milliseconds at the first paint; resolve the
    // substitute once here instead.
    QString family = face;
    if (!QFontDatabase::hasFamily(face)) {
        for (const QString& substitute : QFont::substitutes(face)) {
            if (QFontDatabase::hasFamily(substitute)) {
                family = substitute;
                break;
            }
        }
    }
    QFont font(family);
    // Pixel size keeps the rows where they were designed at any density; the
    // toolkit scales pixels on high-density screens.
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setWeight(QFont::Normal);
    return font;
}

void layoutCaption(const QString& caption, const QFont& font, qreal width, qreal height,
                   const std::function<void(QTextLayout&, std::size_t, qreal)>& visit) {
    const QFontMetricsF fm(font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    qreal y = 0;
    qsizetype start = 0;
    for (std::size_t row = 0; y < height; ++row) {
        qsizetype end = start;
        while (end < caption.size() && caption[end] != QLatin1Char('\r') &&
               caption[end] != QLatin1Char('\n'))
            ++end;
        QTextLayout layout(caption.mid(start, std::min(end - start, kMaxRowChars)), font);
        layout.setTextOption(option);
        layout.beginLayout();
        if (end == start) {
            y += fm.lineSpacing();
        } else {
            while (y < height) {
                QTextLine line = layout.createLine();
                if (!line.isValid()) break;
                line.setLeadingIncluded(true);
                line.setLineWidth(width);
                line.setPosition(QPointF(0, y));
                y += line.height();
            }
        }
        layout.endLayout();
        visit(layout, row, y);
        if (end >= caption.size()) break;
        // CR LF is one break; a lone CR or LF is one too.
        const bool crlf = caption[end] == QLatin1Char('\r') && end + 1 < caption.size() &&
                          caption[end + 1] == QLatin1Char('\n');
        start = end + (crlf ? 2 : 1);
    }
}

CaptionFit fitCaption(TextView caption, TextView fontFace, double fontPoints, int widthPx,
                      int heightPx) {
    CaptionFit fit{static_cast<std::size_t>(-1)};
    const QString text = QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size()));
    const QFont font = labelFont(
        QString::fromUtf16(fontFace.data(), static_cast<qsizetype>(fontFace.size())), fontPoints);
    layoutCaption(text, font, widthPx, heightPx, [&](QTextLayout&, std::size_t row, qreal bottom) {
        if (bottom > heightPx && fit.fits()) fit.firstCutRow = row;
    });
    return fit;
}

Text breakRows(TextView text, TextView fontFace, double fontPoints, int widthPx) {
    const QString caption = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    const QFont font = labelFont(
        QString::fromUtf16(fontFace.data(), static_cast<qsizetype>(fontFace.size())), fontPoints);
    QString out;
    layoutCaption(caption, font, widthPx, std::numeric_limits<qreal>::max(),
                  [&](QTextLayout& layout, std::size_t row, qreal) {
                      if (row > 0) out += QLatin1Char('\n');
                      for (int i = 0; i < layout.lineCount(); ++i) {
                          const QTextLine line = layout.lineAt(i);
                          if (i > 0) out += QLatin1Char('\n');
                          out += layout.text().mid(line.textStart(), line.textLength()).trimmed();
                      }
                  });
    return out.toStdU16String();
}

}  // namespace platform
