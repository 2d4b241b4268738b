#include "CKeyboardPainter.h"

#include "KeyGrid.h"

#include <QJsonArray>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Frame(0xB4, 0xBB, 0xC6);
const QColor Panel(0xD5, 0xDA, 0xE1); // shows between the candidate cells
const QColor Cell(0xFB, 0xFB, 0xF8);
const QColor KeyTop(0xF4, 0xF6, 0xF8);
const QColor KeyBottom(0xDD, 0xE1, 0xE7);
const QColor StrokeTop(0xFF, 0xFF, 0xFF);
const QColor StrokeBottom(0xEE, 0xF0, 0xF3);
const QColor Border(0x8E, 0x97, 0xA4);
const QColor Ink(0x22, 0x27, 0x2E);

QFont labelFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void drawButton(QPainter& p, const QRect& r, bool stroke)
{
    const QRectF body = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, stroke ? StrokeTop : KeyTop);
    fill.setColorAt(1, stroke ? StrokeBottom : KeyBottom);
    p.setPen(QPen(Border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, 4, 4);
}

// Icons are drawn rather than taken from a font so that they look the same
// whatever fonts the build machine has.
bool drawIcon(QPainter& p, const QRect& r, const QString& icon)
{
    const QPointF c = QRectF(r).center();
    QPainterPath path;
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (icon == QLatin1String("prev") || icon == QLatin1String("next")) {
        const double dir = icon == QLatin1String("prev") ? -1 : 1;
        // A filled triangle above a short caption of the page direction.
        path.moveTo(c.x() - 7, c.y() - 5 - 3 * dir);
        path.lineTo(c.x() + 7, c.y() - 5 - 3 * dir);
        path.lineTo(c.x(), c.y() - 5 + 4 * dir);
        path.closeSubpath();
        p.setBrush(Ink);
        p.setPen(Qt::NoPen);
        p.drawPath(path);
        p.setPen(Ink);
        p.setFont(labelFont(11));
        p.drawText(QRectF(r.left(), c.y() + 1, r.width(), 14), Qt::AlignCenter,
                   dir < 0 ? QStringLiteral("上页") : QStringLiteral("下页"));
        return true;
    }
    if (icon == QLatin1String("backspace")) {
        path.moveTo(c.x() - 12, c.y());
        path.lineTo(c.x() - 5, c.y() - 7);
        path.lineTo(c.x() + 11, c.y() - 7);
        path.lineTo(c.x() + 11, c.y() + 7);
        path.lineTo(c.x() - 5, c.y() + 7);
        path.closeSubpath();
        p.drawPath(path);
        p.drawLine(QPointF(c.x() - 1, c.y() - 3.5), QPointF(c.x() + 6, c.y() + 3.5));
        p.drawLine(QPointF(c.x() - 1, c.y() + 3.5), QPointF(c.x() + 6, c.y() - 3.5));
        return true;
    }
    if (icon == QLatin1String("shift") || icon == QLatin1String("capslock")) {
        const double lift = icon == QLatin1String("capslock") ? 3 : 0;
        const double top = c.y() - 9 - lift, mid = c.y() - lift, bottom = c.y() + 7 - lift;
        path.moveTo(c.x(), top);
        path.lineTo(c.x() + 9, mid);
        path.lineTo(c.x() + 4, mid);
        path.lineTo(c.x() + 4, bottom);
        path.lineTo(c.x() - 4, bottom);
        path.lineTo(c.x() - 4, mid);
        path.lineTo(c.x() - 9, mid);
        path.closeSubpath();
        p.drawPath(path);
        if (lift > 0)
            p.drawRect(QRectF(c.x() - 4, c.y() + 7, 8, 3));
        return true;
    }
    return false;
}

} // namespace

QRect CKeyboardPainter::KeyRect(int key)
{
    return KeyGrid::KeyRect(key);
}

QRgb CKeyboardPainter::CellTextColour()
{
    return Ink.rgb() & 0xFFFFFF;
}

QRgb CKeyboardPainter::PressedCellTextColour()
{
    return 0xFFFFFF;
}

QImage CKeyboardPainter::Paint(const QJsonObject& layout, QString* error)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Frame);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Candidate cells: plain and flat, since the keyboard inverts a cell to
    // show it pressed and draws its text on top.
    const QRect panel = KeyRect(0).united(KeyRect(9)).adjusted(-1, -1, 1, 1);
    p.fillRect(panel, Panel);
    for (int cell = 0; cell < 10; ++cell)
        p.fillRect(KeyRect(cell), Cell);
    const QJsonArray joined = layout.value(QStringLiteral("joinedCells")).toArray();
    if (!joined.isEmpty()) {
        QRect area = KeyRect(joined.first().toInt());
        for (const QJsonValue& v : joined)
            area = area.united(KeyRect(v.toInt()));
        p.fillRect(area, Cell);
    }

    const QJsonObject keys = layout.value(QStringLiteral("keys")).toObject();
    for (int key = 10; key < 20; ++key) {
        const QRect r = KeyRect(key);
        const QJsonObject face = keys.value(QString::number(key)).toObject();
        const bool stroke = face.value(QStringLiteral("kind")).toString() == QLatin1String("stroke");
        drawButton(p, r, stroke);
        const QString icon = face.value(QStringLiteral("icon")).toString();
        if (!icon.isEmpty()) {
            if (!drawIcon(p, r, icon)) {
                if (error)
                    *error = QStringLiteral("key %1: unknown icon %2").arg(key).arg(icon);
                return QImage();
            }
            continue;
        }
        const QString text = face.value(QStringLiteral("text")).toString();
        const bool wide = text.size() > 1;
        p.setPen(Ink);
        p.setFont(stroke ? labelFont(22, true) : labelFont(wide ? 14 : 18, !wide));
        p.drawText(r, Qt::AlignCenter, text);
    }
    p.end();
    return image;
}
