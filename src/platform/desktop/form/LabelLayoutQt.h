#pragma once
// The toolkit side of the label layout. Private to the platform.

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <functional>

namespace platform {

QFont labelFont(const QString& face, double points);

// Lays out `caption` row by row until a row starts at or below `height`;
// `visit` receives each laid-out row with its caption row index and its
// bottom edge. Rows are capped in length: more characters than this can
// never fit in a label, and the cap keeps a huge caption cheap.
void layoutCaption(const QString& caption, const QFont& font, qreal width, qreal height,
                   const std::function<void(QTextLayout&, std::size_t row, qreal bottom)>& visit);

}  // namespace platform
