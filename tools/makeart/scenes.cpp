#include "scenes.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

namespace makeart {
namespace {

constexpr qreal kW = kSceneWidth;
constexpr qreal kH = kSceneHeight;

// The pictures must come out the same on every run and every machine, so
// scattering uses this fixed generator rather than the library's.
class Scatter {
  public:
    explicit Scatter(std::uint32_t seed) : state_(seed ? seed : 1) {}
    qreal uniform(qreal low, qreal high) { return low + (high - low) * (next() / 4294967296.0); }

  private:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t state_;
};

QColor rgba(int r, int g, int b, int a = 255) {
    return QColor(r, g, b, a);
}

using Stops = std::vector<std::pair<qreal, QColor>>;

void fillSky(QPainter& p, const QRectF& area, const Stops& stops) {
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    for (const auto& [at, colour] : stops) g.setColorAt(at, colour);
    p.fillRect(area, g);
}

void glow(QPainter& p, QPointF centre, qreal radius, QColor colour) {
    QRadialGradient g(centre, radius);
    g.setColorAt(0, colour);
    QColor edge = colour;
    edge.setAlpha(0);
    g.setColorAt(1, edge);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

void sparkle(QPainter& p, QPointF c, qreal size, QColor colour) {
    QPainterPath path;
    path.moveTo(c.x(), c.y() - size);
    path.quadTo(c, QPointF(c.x() + size, c.y()));
    path.quadTo(c, QPointF(c.x(), c.y() + size));
    path.quadTo(c, QPointF(c.x() - size, c.y()));
    path.quadTo(c, QPointF(c.x(), c.y() - size));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

// A field of stars: most are faint dots, a few twinkle with four points.
void drawStars(QPainter& p, Scatter& s, int count, const QRectF& area, int alpha = 255) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF c(s.uniform(area.left(), area.right()), s.uniform(area.top(), area.bottom()));
        const qreal kind = s.uniform(0, 1);
        const int a = static_cast<int>(alpha * s.uniform(0.45, 1.0));
        if (kind > 0.93) {
            glow(p, c, 5, rgba(255, 250, 220, a / 3));
            sparkle(p, c, s.uniform(3.0, 4.5), rgba(255, 252, 230, a));
        } else {
            p.setBrush(rgba(255, 255, 240, a));
            const qreal r = s.uniform(0.4, 1.1);
            p.drawEllipse(c, r, r);
        }
    }
}

void drawMoon(QPainter& p, QPointF c, qreal r, int alpha = 255) {
    glow(p, c, r * 2.6, rgba(255, 246, 200, alpha * 70 / 255));
    QRadialGradient face(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    face.setColorAt(0, rgba(255, 253, 235, alpha));
    face.setColorAt(1, rgba(238, 226, 170, alpha));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    p.setBrush(rgba(200, 186, 130, alpha * 70 / 255));
    p.drawEllipse(c + QPointF(r * 0.25, -r * 0.2), r * 0.22, r * 0.18);
    p.drawEllipse(c + QPointF(-r * 0.35, r * 0.3), r * 0.16, r * 0.14);
    p.drawEllipse(c + QPointF(r * 0.15, r * 0.5), r * 0.1, r * 0.09);
}

void drawConifer(QPainter& p, qreal x, qreal base, qreal width, qreal height, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(x - width * 0.06, base - height * 0.15, width * 0.12, height * 0.15));
    for (int tier = 0; tier < 3; ++tier) {
        const qreal top = base - height + tier * height * 0.25;
        const qreal bottom = base - height * 0.12 - (2 - tier) * height * 0.18;
        const qreal half = width * (0.28 + tier * 0.11);
        p.drawPolygon(
            QPolygonF{QPointF(x, top), QPointF(x + half, bottom), QPointF(x - half, bottom)});
    }
}

void drawRow(QPainter& p, Scatter& s, qreal base, qreal minHeight, qreal maxHeight, QColor colour) {
    for (qreal x = -10; x < kW + 20; x += s.uniform(12, 22)) {
        const qreal h = s.uniform(minHeight, maxHeight);
        drawConifer(p, x, base, h * 0.55, h, colour);
    }
    p.fillRect(QRectF(0, base - 1, kW, kH - base + 1), colour);
}

// A broad tree: a trunk and a crown of overlapping rounds.
void drawBroadleaf(QPainter& p, Scatter& s, QPointF crown, qreal radius, qreal base, QColor trunk,
                   QColor leaves) {
    p.setPen(Qt::NoPen);
    p.setBrush(trunk);
    QPainterPath stem;
    stem.moveTo(crown.x() - radius * 0.18, crown.y());
    stem.lineTo(crown.x() + radius * 0.18, crown.y());
    stem.quadTo(crown.x() + radius * 0.2, base - radius * 0.2, crown.x() + radius * 0.45, base);
    stem.lineTo(crown.x() - radius * 0.45, base);
    stem.quadTo(crown.x() - radius * 0.2, base - radius * 0.2, crown.x() - radius * 0.18,
                crown.y());
    p.drawPath(stem);
    for (int i = 0; i < 9; ++i) {
        const qreal angle = i * 2 * std::numbers::pi / 9 + s.uniform(-0.2, 0.2);
        const QPointF c = crown + QPointF(std::cos(angle) * radius * 0.55,
                                          std::sin(angle) * radius * 0.4 - radius * 0.1);
        const qreal r = radius * s.uniform(0.42, 0.55);
        p.setBrush(leaves.darker(static_cast<int>(s.uniform(100, 125))));
        p.drawEllipse(c, r, r);
    }
    p.setBrush(leaves);
    p.drawEllipse(crown - QPointF(0, radius * 0.15), radius * 0.6, radius * 0.5);
}

// Pirokko: a small round creature with one green leaf on its head.
void drawPirokko(QPainter& p, QPointF c, qreal size, bool awake = true) {
    const qreal r = size / 2;
    p.save();
    p.setPen(Qt::NoPen);

    // The leaf first, so that the body covers its stem.
    QPainterPath leaf;
    const QPointF root = c + QPointF(r * 0.05, -r * 0.85);
    const QPointF tip = root + QPointF(r * 0.7, -r * 0.65);
    leaf.moveTo(root);
    leaf.quadTo(root + QPointF(r * 0.05, -r * 0.75), tip);
    leaf.quadTo(root + QPointF(r * 0.7, -r * 0.05), root);
    QLinearGradient green(root, tip);
    green.setColorAt(0, rgba(70, 150, 60));
    green.setColorAt(1, rgba(140, 210, 90));
    p.setBrush(green);
    p.drawPath(leaf);
    p.setPen(QPen(rgba(50, 110, 45), qMax<qreal>(0.8, r * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(root, root + (tip - root) * 0.8);
    p.setPen(Qt::NoPen);

    p.setBrush(rgba(205, 160, 95));
    p.drawEllipse(c + QPointF(-r * 0.45, r * 0.85), r * 0.28, r * 0.16);
    p.drawEllipse(c + QPointF(r * 0.45, r * 0.85), r * 0.28, r * 0.16);

    QRadialGradient body(c - QPointF(r * 0.35, r * 0.4), r * 1.5);
    body.setColorAt(0, rgba(255, 251, 228));
    body.setColorAt(0.6, rgba(250, 226, 160));
    body.setColorAt(1, rgba(222, 180, 110));
    p.setBrush(body);
    p.setPen(QPen(rgba(150, 105, 60), qMax<qreal>(0.8, r * 0.05)));
    p.drawEllipse(c, r, r * 0.92);
    p.setPen(Qt::NoPen);

    p.setBrush(rgba(255, 140, 150, 150));
    p.drawEllipse(c + QPointF(-r * 0.55, r * 0.22), r * 0.18, r * 0.11);
    p.drawEllipse(c + QPointF(r * 0.55, r * 0.22), r * 0.18, r * 0.11);

    const QPointF leftEye = c + QPointF(-r * 0.32, -r * 0.08);
    const QPointF rightEye = c + QPointF(r * 0.32, -r * 0.08);
    if (awake) {
        p.setBrush(rgba(40, 30, 30));
        p.drawEllipse(leftEye, r * 0.12, r * 0.17);
        p.drawEllipse(rightEye, r * 0.12, r * 0.17);
        p.setBrush(rgba(255, 255, 255));
        p.drawEllipse(leftEye + QPointF(r * 0.04, -r * 0.06), r * 0.045, r * 0.045);
        p.drawEllipse(rightEye + QPointF(r * 0.04, -r * 0.06), r * 0.045, r * 0.045);
    } else {
        p.setPen(QPen(rgba(60, 40, 35), qMax<qreal>(0.8, r * 0.06), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (const QPointF& eye : {leftEye, rightEye})
            p.drawArc(QRectF(eye - QPointF(r * 0.14, r * 0.1), QSizeF(r * 0.28, r * 0.2)), 200 * 16,
                      140 * 16);
    }
    p.setPen(QPen(rgba(120, 60, 50), qMax<qreal>(0.7, r * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c + QPointF(-r * 0.12, r * 0.12), QSizeF(r * 0.24, r * 0.16)), 200 * 16,
              140 * 16);
    p.restore();
}

QFont gothic(int pixelSize) {
    QFont font("IPAPGothic");
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Lettering with a soft outline, centred on `centre`.
void drawLettering(QPainter& p, const QString& text, QPointF centre, int pixelSize, QColor fill,
                   QColor outline) {
    QPainterPath path;
    path.addText(0, 0, gothic(pixelSize), text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, pixelSize * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(fill, pixelSize * 0.03));
    p.setBrush(fill);
    p.drawPath(path);
}

void drawHollowTree(QPainter& p, Scatter& s, qreal x, qreal base, QColor trunk, QColor leaves,
                    QColor hollowLight) {
    drawBroadleaf(p, s, QPointF(x, 105), 62, base, trunk, leaves);
    QRadialGradient inside(QPointF(x, base - 36), 16);
    inside.setColorAt(0, hollowLight);
    inside.setColorAt(1, trunk.darker(160));
    p.setBrush(inside);
    p.setPen(QPen(trunk.darker(140), 1.5));
    p.drawEllipse(QPointF(x, base - 36), 11, 16);
}

// A grassy hill from the left edge at `leftY`, curving through `bend` to the
// right edge at `rightY`, shaded from `gradientTop` down.
void drawGrassHill(QPainter& p, qreal leftY, QPointF bend, qreal rightY, qreal gradientTop,
                   QColor top, QColor bottom) {
    QPainterPath hill;
    hill.moveTo(0, leftY);
    hill.quadTo(bend, QPointF(kW, rightY));
    hill.lineTo(kW, kH);
    hill.lineTo(0, kH);
    QLinearGradient grass(0, gradientTop, 0, kH);
    grass.setColorAt(0, top);
    grass.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(grass);
    p.drawPath(hill);
}

// The opening: the title over Pirokko's tree under a full moon.
void drawOpening(QPainter& p) {
    Scatter s(11);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(10, 14, 48)}, {0.6, rgba(40, 34, 96)}, {1, rgba(72, 52, 112)}});
    drawStars(p, s, 70, QRectF(0, 0, kW, kH * 0.7));
    drawMoon(p, QPointF(178, 92), 21);
    drawRow(p, s, 212, 26, 48, rgba(26, 38, 66));
    drawGrassHill(p, 222, QPointF(120, 200), 226, 200, rgba(44, 84, 66), rgba(18, 40, 34));
    drawHollowTree(p, s, 52, 226, rgba(70, 48, 40), rgba(30, 74, 56), rgba(255, 200, 110));
    drawPirokko(p, QPointF(140, 214), 40);
    drawLettering(p, QStringLiteral("ピロッコ"), QPointF(kW / 2, 32), 34, rgba(255, 240, 190),
                  rgba(60, 36, 96));
}

void drawOwl(QPainter& p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(110, 80, 55));
    p.drawPolygon(QPolygonF{c + QPointF(-15, -16), c + QPointF(-10, -28), c + QPointF(-4, -17)});
    p.drawPolygon(QPolygonF{c + QPointF(15, -16), c + QPointF(10, -28), c + QPointF(4, -17)});
    QRadialGradient body(c + QPointF(-5, -8), 30);
    body.setColorAt(0, rgba(160, 120, 80));
    body.setColorAt(1, rgba(96, 68, 46));
    p.setBrush(body);
    p.drawEllipse(c + QPointF(0, 6), 17, 24);
    p.setBrush(rgba(210, 180, 135));
    p.drawEllipse(c + QPointF(0, 14), 10, 13);
    for (int side : {-1, 1}) {
        const QPointF eye = c + QPointF(side * 7, -8);
        p.setPen(Qt::NoPen);
        p.setBrush(rgba(250, 215, 80));
        p.drawEllipse(eye, 5.5, 5.5);
        p.setBrush(rgba(30, 20, 15));
        p.drawEllipse(eye, 2.6, 2.6);
        p.setPen(QPen(rgba(230, 230, 240), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(eye, 7, 7);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(230, 170, 60));
    p.drawPolygon(QPolygonF{c + QPointF(-2.5, -3), c + QPointF(2.5, -3), c + QPointF(0, 3)});
    // The moon book, open in its wings.
    p.setBrush(rgba(245, 240, 225));
    p.drawPolygon(QPolygonF{c + QPointF(-12, 16), c + QPointF(0, 19), c + QPointF(0, 27),
                            c + QPointF(-12, 24)});
    p.setBrush(rgba(230, 225, 210));
    p.drawPolygon(QPolygonF{c + QPointF(12, 16), c + QPointF(0, 19), c + QPointF(0, 27),
                            c + QPointF(12, 24)});
    p.setBrush(rgba(200, 180, 90));
    p.drawEllipse(c + QPointF(-6, 21), 2.2, 2.2);
    p.drawEllipse(c + QPointF(6, 21), 2.2, 1.2);
}

// Scene 0: the owl reading by moonlight in the forest.
void drawOwlForest(QPainter& p) {
    Scatter s(23);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(14, 26, 70)}, {0.7, rgba(44, 72, 124)}, {1, rgba(30, 50, 80)}});
    drawStars(p, s, 25, QRectF(0, 0, kW, 120));
    drawMoon(p, QPointF(120, 74), 38);
    // Far trunks, paler with distance, tapering as they rise.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        const qreal x = 14 + i * 40 + s.uniform(-10, 10);
        const qreal w = s.uniform(5, 13);
        p.setBrush(rgba(36, 56, 90, static_cast<int>(s.uniform(150, 230))));
        p.drawPolygon(QPolygonF{QPointF(x - w * 0.35, 0), QPointF(x + w * 0.35, 0),
                                QPointF(x + w / 2, 204), QPointF(x - w / 2, 204)});
    }
    QLinearGradient ground(0, 200, 0, kH);
    ground.setColorAt(0, rgba(30, 48, 60));
    ground.setColorAt(1, rgba(16, 26, 36));
    p.fillRect(QRectF(0, 200, kW, kH - 200), ground);
    p.setBrush(rgba(150, 160, 180, 120));
    p.drawPolygon(
        QPolygonF{QPointF(105, 200), QPointF(125, 200), QPointF(200, kH), QPointF(80, kH)});
    const QColor near = rgba(14, 22, 34);
    p.setBrush(near);
    p.drawRect(QRectF(0, 0, 26, kH));
    p.drawRect(QRectF(196, 0, 22, kH));
    QPainterPath branch;
    branch.moveTo(20, 132);
    branch.quadTo(70, 118, 150, 128);
    branch.lineTo(150, 134);
    branch.quadTo(70, 128, 20, 146);
    p.drawPath(branch);
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(150 + i * 6, 126 - i * 3), 5 + i, 3.5);
    drawOwl(p, QPointF(88, 100));
    drawPirokko(p, QPointF(148, 222), 30);
}

void drawBoat(QPainter& p, QPointF c, qreal width) {
    QPainterPath outer;
    outer.addEllipse(c, width / 2, width / 2);
    QPainterPath inner;
    inner.addEllipse(c - QPointF(0, width * 0.16), width / 2 * 1.04, width / 2);
    QPainterPath crescent = outer.subtracted(inner);
    QLinearGradient silver(c + QPointF(0, width * 0.1), c + QPointF(0, width / 2));
    silver.setColorAt(0, rgba(255, 252, 230));
    silver.setColorAt(1, rgba(200, 196, 170));
    p.setPen(QPen(rgba(255, 250, 210, 180), 1));
    p.setBrush(silver);
    p.drawPath(crescent);
}

// Scene 1: riding the moon-shaped boat across the river of stars.
void drawStarRiver(QPainter& p) {
    Scatter s(37);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(6, 8, 30)}, {0.6, rgba(22, 20, 62)}, {1, rgba(44, 32, 84)}});
    p.save();
    p.translate(kW / 2, kH * 0.42);
    p.rotate(28);
    QLinearGradient band(0, -40, 0, 40);
    band.setColorAt(0, rgba(160, 170, 255, 0));
    band.setColorAt(0.5, rgba(180, 190, 255, 70));
    band.setColorAt(1, rgba(160, 170, 255, 0));
    p.fillRect(QRectF(-200, -40, 400, 80), band);
    drawStars(p, s, 220, QRectF(-200, -22, 400, 44), 230);
    p.restore();
    drawStars(p, s, 50, QRectF(0, 0, kW, kH * 0.8));
    const std::pair<QPointF, QColor> coloured[] = {{QPointF(40, 60), rgba(140, 190, 255)},
                                                   {QPointF(168, 120), rgba(255, 140, 120)},
                                                   {QPointF(70, 150), rgba(255, 230, 120)}};
    for (const auto& [c, colour] : coloured) {
        QColor halo = colour;
        halo.setAlpha(110);
        glow(p, c, 12, halo);
        sparkle(p, c, 7, colour.lighter(120));
    }
    drawMoon(p, QPointF(190, 34), 13);
    drawPirokko(p, QPointF(110, 172), 34);
    drawBoat(p, QPointF(110, 146), 118);
    for (int i = 0; i < 12; ++i) {
        const QPointF c(s.uniform(60, 160), s.uniform(212, 250));
        sparkle(p, c, s.uniform(1.5, 3), rgba(255, 250, 200, static_cast<int>(s.uniform(90, 220))));
    }
}

void drawMouse(QPainter& p, QPointF c) {
    p.setPen(QPen(rgba(150, 140, 150), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath tail;
    tail.moveTo(c + QPointF(12, 8));
    tail.cubicTo(c + QPointF(30, 10), c + QPointF(28, -10), c + QPointF(38, -8));
    p.drawPath(tail);
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(170, 165, 175));
    p.drawEllipse(c, 14, 11);
    p.drawEllipse(c + QPointF(-13, -6), 8, 7);
    for (int side : {-1, 1}) {
        const QPointF ear = c + QPointF(-13 + side * 6, -14);
        p.setBrush(rgba(170, 165, 175));
        p.drawEllipse(ear, 5.5, 5.5);
        p.setBrush(rgba(240, 170, 180));
        p.drawEllipse(ear, 3.2, 3.2);
    }
    p.setBrush(rgba(30, 25, 30));
    p.drawEllipse(c + QPointF(-15, -8), 1.4, 1.6);
    p.setBrush(rgba(240, 140, 150));
    p.drawEllipse(c + QPointF(-21, -5), 1.8, 1.6);
    // The polishing cloth.
    p.setBrush(rgba(90, 150, 230));
    p.drawPolygon(QPolygonF{c + QPointF(-26, 4), c + QPointF(-12, 2), c + QPointF(-14, 12),
                            c + QPointF(-28, 13)});
}

// Scene 2: polishing the moon with star dust.
void drawMoonSurface(QPainter& p) {
    Scatter s(41);
    fillSky(p, QRectF(0, 0, kW, kH), {{0, rgba(4, 4, 16)}, {1, rgba(16, 16, 44)}});
    drawStars(p, s, 90, QRectF(0, 0, kW, 190));
    QRadialGradient ground(QPointF(112, 200), 260);
    ground.setColorAt(0, rgba(238, 235, 222));
    ground.setColorAt(1, rgba(168, 164, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawEllipse(QPointF(112, 520), 340, 330);
    const QRectF craters[] = {QRectF(20, 212, 40, 10), QRectF(150, 232, 54, 13),
                              QRectF(80, 244, 30, 8), QRectF(180, 200, 24, 6)};
    for (const QRectF& r : craters) {
        p.setBrush(rgba(150, 146, 134));
        p.drawEllipse(r);
        p.setBrush(rgba(200, 197, 185));
        p.drawEllipse(r.adjusted(3, 2, -1, 0));
    }
    // The ladder of light that came up from the forest.
    p.setPen(QPen(rgba(255, 220, 120, 170), 2));
    p.drawLine(QPointF(18, 150), QPointF(10, 230));
    p.drawLine(QPointF(34, 152), QPointF(28, 232));
    for (int i = 0; i < 5; ++i) {
        const qreal y = 158 + i * 15;
        p.drawLine(QPointF(17 - i * 1.6, y), QPointF(33 - i * 1.5, y + 1));
    }
    glow(p, QPointF(150, 204), 26, rgba(255, 255, 230, 200));
    for (int i = 0; i < 8; ++i)
        sparkle(p, QPointF(s.uniform(125, 180), s.uniform(180, 215)), s.uniform(2, 4),
                rgba(255, 255, 255, 220));
    drawMouse(p, QPointF(170, 212));
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(150, 110, 70));
    p.drawEllipse(QPointF(198, 222), 9, 10);
    p.drawRect(QRectF(194, 210, 8, 4));
    for (int i = 0; i < 5; ++i)
        sparkle(p, QPointF(198 + s.uniform(-6, 6), 206 - i * 4), 2, rgba(255, 240, 160));
    drawPirokko(p, QPointF(88, 206), 36);
}

// Scene 3: the fireflies' glade, stars of the forest under stars of the sky.
void drawFireflies(QPainter& p) {
    Scatter s(53);
    p.fillRect(QRectF(0, 0, kW, kH), rgba(8, 22, 24));
    const QPointF gapCentre(112, 34);
    const qreal gapWidth = 74, gapHeight = 50;
    QPainterPath gap;
    gap.addEllipse(gapCentre, gapWidth, gapHeight);
    p.save();
    p.setClipPath(gap);
    fillSky(p, QRectF(0, 0, kW, 90), {{0, rgba(10, 14, 50)}, {1, rgba(26, 34, 80)}});
    drawStars(p, s, 40, QRectF(30, 0, 170, 85));
    p.restore();
    // Leaves fringe the gap in the canopy through which the sky shows.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 26; ++i) {
        const qreal angle = i * 2 * std::numbers::pi / 26 + s.uniform(-0.1, 0.1);
        const QPointF c = gapCentre + QPointF(std::cos(angle) * (gapWidth + 6),
                                              std::sin(angle) * (gapHeight + 6));
        p.setBrush(rgba(12, 40, 32).darker(static_cast<int>(s.uniform(100, 140))));
        p.drawEllipse(c, s.uniform(10, 16), s.uniform(9, 14));
    }
    p.setBrush(rgba(10, 30, 26));
    p.drawRect(QRectF(0, 0, 28, kH));
    p.drawRect(QRectF(200, 0, 25, kH));
    QRadialGradient glade(QPointF(112, 225), 120);
    glade.setColorAt(0, rgba(36, 80, 52));
    glade.setColorAt(1, rgba(12, 34, 26));
    p.setBrush(glade);
    p.drawEllipse(QPointF(112, 240), 130, 56);
    p.setPen(QPen(rgba(40, 96, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 40; ++i) {
        const qreal x = s.uniform(0, kW), y = s.uniform(228, kH);
        p.drawLine(QPointF(x, y), QPointF(x + s.uniform(-3, 3), y - s.uniform(4, 9)));
    }
    drawPirokko(p, QPointF(112, 208), 36);
    for (int i = 0; i < 10; ++i) {
        const qreal angle = i * 2 * std::numbers::pi / 10;
        const QPointF c(112 + std::cos(angle) * 40, 192 + std::sin(angle) * 16);
        glow(p, c, 9, rgba(220, 255, 120, 150));
        glow(p, c, 2.5, rgba(250, 255, 210, 255));
    }
    for (int i = 0; i < 28; ++i) {
        const QPointF c(s.uniform(30, 195), s.uniform(90, 180));
        const int a = static_cast<int>(s.uniform(60, 170));
        glow(p, c, s.uniform(5, 9), rgba(210, 255, 110, a));
        glow(p, c, 2, rgba(250, 255, 210, a + 80));
    }
}

void drawFrog(QPainter& p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(70, 150, 70));
    p.drawEllipse(c, 11, 8);
    for (int side : {-1, 1}) {
        p.setBrush(rgba(70, 150, 70));
        p.drawEllipse(c + QPointF(side * 6, -7), 4.5, 4.5);
        p.setBrush(rgba(255, 255, 230));
        p.drawEllipse(c + QPointF(side * 6, -7), 2.8, 2.8);
        p.setBrush(rgba(20, 20, 20));
        p.drawEllipse(c + QPointF(side * 6, -7), 1.3, 1.5);
    }
    p.setPen(QPen(rgba(30, 70, 30), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c + QPointF(-6, -3), QSizeF(12, 6)), 200 * 16, 140 * 16);
}

// Scene 4: the lake in the forest, holding a second moon.
void drawLake(QPainter& p) {
    Scatter s(67);
    fillSky(p, QRectF(0, 0, kW, 150), {{0, rgba(12, 22, 60)}, {1, rgba(36, 58, 108)}});
    drawStars(p, s, 45, QRectF(0, 0, kW, 110));
    drawMoon(p, QPointF(112, 50), 22);
    drawRow(p, s, 140, 14, 26, rgba(22, 42, 58));
    QLinearGradient water(0, 140, 0, kH);
    water.setColorAt(0, rgba(34, 56, 104));
    water.setColorAt(1, rgba(10, 20, 52));
    p.fillRect(QRectF(0, 140, kW, kH - 140), water);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 30; ++i) {
        const QPointF c(s.uniform(0, kW), s.uniform(146, 250));
        p.setBrush(rgba(255, 255, 230, static_cast<int>(s.uniform(60, 160))));
        p.drawEllipse(c, 1.2, 0.6);
    }
    for (int i = 0; i < 9; ++i) {
        const qreal y = 160 + i * 5.5;
        const qreal half = 22 * std::sqrt(1 - std::pow((i - 4) / 4.6, 2)) + s.uniform(-3, 3);
        p.setBrush(rgba(255, 244, 190, 210 - i * 12));
        p.drawEllipse(QPointF(112 + s.uniform(-4, 4), y), half, 1.8);
    }
    for (int side : {-1, 1}) {
        const qreal x = side < 0 ? 12 : kW - 12;
        drawConifer(p, x, 200, 64, 190, rgba(12, 26, 34));
        drawConifer(p, x - side * 30, 170, 40, 120, rgba(16, 32, 42));
    }
    QPainterPath bank;
    bank.moveTo(0, 218);
    bank.quadTo(50, 222, 80, kH);
    bank.lineTo(0, kH);
    p.setBrush(rgba(20, 36, 30));
    p.drawPath(bank);
    QPainterPath pad;
    pad.addEllipse(QPointF(166, 230), 22, 7);
    QPainterPath notch;
    notch.moveTo(166, 230);
    notch.lineTo(190, 236);
    notch.lineTo(190, 244);
    notch.closeSubpath();
    p.setBrush(rgba(50, 120, 70));
    p.drawPath(pad.subtracted(notch));
    drawFrog(p, QPointF(162, 224));
    drawPirokko(p, QPointF(36, 214), 30);
}

void drawStarShape(QPainter& p, QPointF c, qreal outer, QColor colour) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const qreal r = i % 2 == 0 ? outer : outer * 0.45;
        star << c + QPointF(std::cos(angle) * r, std::sin(angle) * r);
    }
    p.setPen(QPen(colour.darker(125), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPolygon(star);
}

// Scene 5: the fallen star going home along a moonbeam.
void drawFallenStar(QPainter& p) {
    Scatter s(79);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(10, 16, 46)}, {0.7, rgba(34, 42, 92)}, {1, rgba(20, 28, 50)}});
    drawStars(p, s, 40, QRectF(0, 0, kW, 160));
    drawMoon(p, QPointF(60, 30), 18);
    QLinearGradient beam(60, 30, 150, 110);
    beam.setColorAt(0, rgba(255, 244, 190, 120));
    beam.setColorAt(1, rgba(255, 244, 190, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(beam);
    p.drawPolygon(QPolygonF{QPointF(48, 38), QPointF(70, 24), QPointF(166, 96), QPointF(140, 112)});
    drawRow(p, s, 230, 30, 60, rgba(14, 28, 36));
    drawConifer(p, 150, kH + 10, 120, 180, rgba(18, 40, 44));
    drawPirokko(p, QPointF(150, 100), 24);
    for (int i = 0; i < 9; ++i) {
        const qreal t = i / 9.0;
        sparkle(p, QPointF(132 - t * 40, 86 - t * 30) + QPointF(s.uniform(-5, 5), s.uniform(-5, 5)),
                s.uniform(1.5, 3), rgba(255, 250, 190, static_cast<int>(230 - t * 120)));
    }
    glow(p, QPointF(100, 62), 22, rgba(255, 236, 140, 170));
    drawStarShape(p, QPointF(100, 62), 12, rgba(255, 226, 90));
    p.setBrush(rgba(90, 60, 20));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(97, 62), 1.2, 1.5);
    p.drawEllipse(QPointF(103, 62), 1.2, 1.5);
}

// Scene 6: the hilltop game of joining stars, which draws Pirokko itself.
void drawStarGame(QPainter& p) {
    Scatter s(97);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(8, 10, 40)}, {0.7, rgba(32, 30, 92)}, {1, rgba(64, 52, 112)}});
    drawStars(p, s, 60, QRectF(0, 0, kW, 200), 200);
    std::vector<QPointF> body;
    for (int i = 0; i < 9; ++i) {
        const qreal angle = i * 2 * std::numbers::pi / 9 + 0.2;
        body.push_back(QPointF(112 + std::cos(angle) * 44, 96 + std::sin(angle) * 40));
    }
    const QPointF leafTip(146, 24), leafRoot(114, 56), footLeft(90, 146), footRight(134, 146);
    p.setPen(QPen(rgba(170, 200, 255, 170), 1.2));
    for (std::size_t i = 0; i < body.size(); ++i) p.drawLine(body[i], body[(i + 1) % body.size()]);
    p.drawLine(leafRoot, leafTip);
    p.drawLine(leafRoot, QPointF(126, 48));
    p.drawLine(QPointF(126, 48), leafTip);
    p.drawLine(body[2], footRight);
    p.drawLine(body[3], footLeft);
    std::vector<QPointF> points = body;
    points.insert(points.end(), {leafTip, leafRoot, QPointF(126, 48), footLeft, footRight,
                                 QPointF(98, 92), QPointF(126, 92)});
    for (const QPointF& c : points) {
        glow(p, c, 7, rgba(220, 230, 255, 120));
        sparkle(p, c, 4, rgba(255, 255, 240));
    }
    // A smaller figure drawn by the stars themselves: a kettle with its spout.
    const QPointF kettle[] = {QPointF(22, 170), QPointF(48, 168), QPointF(52, 190),
                              QPointF(20, 192), QPointF(60, 176)};
    p.setPen(QPen(rgba(170, 200, 255, 130), 1));
    p.drawLine(kettle[0], kettle[1]);
    p.drawLine(kettle[1], kettle[2]);
    p.drawLine(kettle[2], kettle[3]);
    p.drawLine(kettle[3], kettle[0]);
    p.drawLine(kettle[1], kettle[4]);
    for (const QPointF& c : kettle) sparkle(p, c, 3, rgba(255, 250, 220));
    drawGrassHill(p, 214, QPointF(110, 190), 224, 195, rgba(40, 76, 60), rgba(16, 36, 30));
    drawPirokko(p, QPointF(160, 210), 30);
}

// Scene 7: dawn, and Pirokko asleep in its tree.
void drawDawn(QPainter& p) {
    Scatter s(101);
    fillSky(p, QRectF(0, 0, kW, kH),
            {{0, rgba(40, 50, 110)},
             {0.45, rgba(160, 120, 170)},
             {0.75, rgba(250, 170, 140)},
             {1, rgba(255, 215, 150)}});
    drawStars(p, s, 18, QRectF(0, 0, kW, 70), 120);
    drawMoon(p, QPointF(34, 92), 14, 110);
    glow(p, QPointF(182, 206), 70, rgba(255, 230, 170, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(255, 236, 180));
    p.drawEllipse(QPointF(182, 206), 22, 22);
    p.setPen(QPen(rgba(80, 60, 90), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& b : {QPointF(150, 120), QPointF(166, 110), QPointF(140, 104)}) {
        p.drawLine(b, b + QPointF(4, 3));
        p.drawLine(b + QPointF(4, 3), b + QPointF(8, 0));
    }
    drawRow(p, s, 214, 22, 44, rgba(60, 44, 78));
    drawHollowTree(p, s, 62, kH, rgba(70, 48, 56), rgba(56, 70, 70), rgba(255, 214, 140));
    drawPirokko(p, QPointF(62, kH - 37), 20, false);
    drawLettering(p, QStringLiteral("おしまい"), QPointF(kW / 2 + 30, 36), 26, rgba(255, 250, 235),
                  rgba(110, 70, 120));
}

}  // namespace

QStringList sceneNames() {
    return {"opn", "0", "1", "2", "3", "4", "5", "6", "7"};
}

QImage drawScene(const QString& name) {
    static const std::map<QString, std::function<void(QPainter&)>> painters = {
        {"opn", drawOpening},   {"0", drawOwlForest}, {"1", drawStarRiver},
        {"2", drawMoonSurface}, {"3", drawFireflies}, {"4", drawLake},
        {"5", drawFallenStar},  {"6", drawStarGame},  {"7", drawDawn}};
    const auto found = painters.find(name);
    if (found == painters.end())
        throw std::invalid_argument("no picture for scene " + name.toStdString());
    QImage image(kSceneWidth, kSceneHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    found->second(p);
    return image;
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = static_cast<qreal>(size) / kIconSize;
    p.scale(scale, scale);
    drawPirokko(p, QPointF(15, 18.5), 27);
    return image;
}

}  // namespace makeart
