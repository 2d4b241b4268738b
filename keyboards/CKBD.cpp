#include "CKBD.h"

#include "CKeyboardOwner.h"
#include "KeyGrid.h"
#include "KeyboardGlobals.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {

constexpr int HitLeft = KeyGrid::Left + 1; // the hit test's columns start one pixel right of the faces
constexpr int LastGridIndex = 4; // rows and columns the hit test admits
constexpr int KeyCount = 20;     // keys inside the image; row 4 lies below it

// The face of a key when the keyboard image cannot be read.
const QColor PlainFace(Qt::lightGray);

bool isLineKey(int key)
{
    return key >= 1 && key <= 3;
}

} // namespace

CKBD::CKBD(CKeyboardOwner* owner, const QString& imageName)
    : Owner(owner), Image(new QImage(AppPath + imageName))
{
    // GIF images load with a colour table, whose inversion would swap palette
    // indices rather than colours; a true-colour copy inverts as it looks.
    if (!Image->isNull())
        *Image = Image->convertToFormat(QImage::Format_RGB32);
}

CKBD::~CKBD()
{
    stopTimer();
    delete Image;
}

void CKBD::getKeyRect(int key, int& left, int& top, int& width, int& height)
{
    const QRect r = KeyGrid::KeyRect(key);
    left = r.left();
    top = r.top();
    width = r.width();
    height = r.height();
}

QRect CKBD::keyRect(int key)
{
    return KeyGrid::KeyRect(key);
}

QRect CKBD::lineRect()
{
    const QRect first = keyRect(1);
    const QRect last = keyRect(3);
    return QRect(first.topLeft(), QPoint(last.right(), first.bottom()));
}

int CKBD::keyAt(const QPoint& point)
{
    const int column = (point.x() - HitLeft) / KeyGrid::PitchX;
    const int row = (point.y() - KeyGrid::Top) / KeyGrid::PitchY;
    if (column < 0 || column > LastGridIndex || row < 0 || row > LastGridIndex)
        return -1;
    return KeyGrid::Columns * row + column;
}

bool CKBD::canDraw() const
{
    if (!Owner)
        return false;
    const CKBD* current = Owner->currentKeyboard();
    return !current || current == this;
}

const QImage& CKBD::imageAt(qreal ratio)
{
    if (ratio == 1.0 || Image->isNull())
        return *Image;
    // Scaled once per resolution, so that a key drawn later is a plain copy.
    if (m_scaledImage.isNull() || m_scaledImage.devicePixelRatio() != ratio) {
        m_scaledImage = Image->scaled(qRound(Image->width() * ratio), qRound(Image->height() * ratio),
                                      Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaledImage.setDevicePixelRatio(ratio);
    }
    return m_scaledImage;
}

void CKBD::drawFace(int key, const QRect& rect, bool pressed, const QString* text, const QRect& faceSource)
{
    if (!canDraw())
        return;
    QImage& canvas = Owner->canvas();
    const qreal ratio = canvas.devicePixelRatio();
    QImage face;
    if (Image->isNull()) {
        face = QImage(rect.size(), QImage::Format_RGB32);
        face.fill(PlainFace);
    } else {
        const QRectF source = faceSource.isValid() ? faceSource : rect;
        face = imageAt(ratio).copy(QRectF(source.topLeft() * ratio, source.size() * ratio).toAlignedRect());
    }
    if (pressed)
        face.invertPixels(QImage::InvertRgb);

    QPainter painter(&canvas);
    // A face from the image at the canvas's resolution is copied pixel for
    // pixel; only the line's face is stretched.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    CKeyboardOwner::drawImageInBands(painter, QRectF(rect), face, QRectF(face.rect()));
    if (text && !text->isEmpty()) {
        painter.setFont(Owner->cellFont());
        painter.setPen(pressed ? __FontRevColor : __FontColor);
        painter.drawText(rect, Qt::AlignCenter, *text);
    }
    const QString label = key >= 0 ? Owner->cornerLabel(key) : QString();
    if (!label.isEmpty()) {
        QFont small = Owner->cellFont();
        small.setPixelSize(9);
        painter.setFont(small);
        painter.setPen(pressed ? __FontRevColor : __FontColor);
        painter.drawText(rect.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop, label);
    }
    painter.end();
    Owner->flushCanvas(rect);
}

void CKBD::DrawWord(int cell, bool pressed)
{
    if (cell < 0 || cell >= CellCount)
        return;
    drawFace(cell, keyRect(cell), pressed, &Words[cell]);
}

void CKBD::DrawLine(bool pressed)
{
    const QString shown = Line.length() > LineLength ? Line.right(LineLength) : Line;
    // The image shows cells 1 to 3 as three keys; the line is one face
    // across them, stretched from the first (the cells are flat).
    drawFace(-1, lineRect(), pressed, &shown, keyRect(1));
}

void CKBD::DrawKey(int key, bool pressed)
{
    if (key < 0 || key >= KeyCount)
        return; // row 4 lies below the image: nothing to show
    if (key < CellCount) {
        if (IsLineArea && isLineKey(key))
            DrawLine(pressed);
        else
            DrawWord(key, pressed);
        return;
    }
    drawFace(key, keyRect(key), pressed, nullptr);
}

void CKBD::paintEvent(QPaintEvent*)
{
    if (!canDraw())
        return;
    QImage& canvas = Owner->canvas();
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(Owner->canvasLayoutRect(), Owner->background());
        if (Image->isNull()) {
            for (int key = 0; key < KeyCount; ++key)
                painter.fillRect(keyRect(key), PlainFace);
        } else {
            const QImage& image = imageAt(canvas.devicePixelRatio());
            CKeyboardOwner::drawImageInBands(painter, QRectF(QPointF(0, 0), image.deviceIndependentSize()), image,
                                             QRectF(image.rect()));
        }
    }
    for (int cell = 0; cell < CellCount; ++cell) {
        if (!(IsLineArea && isLineKey(cell)))
            DrawWord(cell, false);
    }
    if (IsLineArea)
        DrawLine(false);
    for (int key = CellCount; key < KeyCount; ++key) {
        if (!Owner->cornerLabel(key).isEmpty())
            DrawKey(key, false);
    }
    Owner->flushCanvas(Owner->canvasLayoutRect());
}

void CKBD::SetWord(int cell, const QString& text)
{
    if (cell < 0 || cell >= CellCount)
        return;
    Words[cell] = text;
    // Under the line area the cell is not on screen; the line stays.
    if (!(IsLineArea && isLineKey(cell)))
        DrawWord(cell, false);
}

void CKBD::SetLine(const QString& text)
{
    Line = text;
    // With the line area off, keys 1 to 3 are cells: drawing an empty line
    // over them would hide texts that a tap still chooses.
    if (IsLineArea)
        DrawLine(false);
}

void CKBD::ShowDefaultRecords(int first, int last)
{
    for (int cell = qMax(first, 0); cell <= qMin(last, CellCount - 1); ++cell)
        SetWord(cell, __DefaultWords.mid(cell, 1)); // empty past a short list
}

void CKBD::setIsLineArea(bool on)
{
    if (on == IsLineArea)
        return;
    IsLineArea = on;
    if (!on) {
        Line.clear();
        // The line's face covered the gaps between the three cells.
        if (Image->isNull() && canDraw()) {
            QPainter painter(&Owner->canvas());
            painter.fillRect(lineRect(), Owner->background());
        } else {
            drawFace(-1, lineRect(), false, nullptr);
        }
        for (int cell = 1; cell <= 3; ++cell)
            DrawWord(cell, false);
    }
}

void CKBD::stopTimer()
{
    if (TimerId == 0)
        return;
    if (Owner)
        Owner->killKeyTimer(TimerId);
    TimerId = 0;
}

void CKBD::mousePressEvent(QMouseEvent* event)
{
    if (PressedKey >= 0) // a release went missing: do not leave a key drawn held
        onKeyUp(PressedKey);
    PressedKey = keyAt(event->position().toPoint());
    // A fresh press never inherits the count of an earlier hold.
    RepeatCount = -2;
    if (PressedKey < 0)
        return;
    onKeyDown(PressedKey);
    if (PressedKey == KeyBackSpace && TimerId == 0 && Owner)
        TimerId = Owner->startKeyTimer(RepeatInterval);
}

void CKBD::mouseMoveEvent(QMouseEvent* event)
{
    const int key = keyAt(event->position().toPoint());
    if (key < 0 || key == PressedKey)
        return;
    if (PressedKey >= 0)
        onKeyUp(PressedKey);
    stopTimer();
    PressedKey = key;
    onKeyDown(key);
}

void CKBD::mouseReleaseEvent(QMouseEvent* event)
{
    stopTimer();
    const int key = PressedKey;
    if (key < 0)
        return;
    onKeyUp(key);
    PressedKey = -1;
    const QPoint point = event->position().toPoint();
    if (point.x() < 0 || point.x() > CKeyboardOwner::PanelWidth || point.y() < 0)
        return;
    if (key == KeyBackSpace && RepeatCount > 0)
        return; // the held key has already repeated
    onKeyPressed(key);
}

void CKBD::timerEvent(QTimerEvent* event)
{
    if (TimerId == 0 || (event && event->timerId() != TimerId))
        return;
    ++RepeatCount;
    if (RepeatCount > 0 && PressedKey >= 0)
        onKeyPressed(PressedKey);
}

void CKBD::CancelPress()
{
    stopTimer();
    if (PressedKey >= 0) {
        const int key = PressedKey;
        PressedKey = -1;
        onKeyUp(key);
    }
}

void CKBD::onKeyDown(int key)
{
    DrawKey(key, true);
}

void CKBD::onKeyUp(int key)
{
    DrawKey(key, false);
}

void CKBD::onKeyPressed(int key)
{
    if (key >= 0 && key < CellCount) {
        if (IsLineArea && isLineKey(key))
            onLineClick();
        else
            onSelect(key);
        return;
    }
    switch (key) {
    case KeyPrior:
        onPrior();
        break;
    case 11:
    case 12:
    case 13:
    case 16:
    case 17:
    case 18:
        onClick(key);
        break;
    case KeyBackSpace:
        onBackSpace();
        break;
    case KeyNext:
        onNext();
        break;
    case KeyShift:
        DoShiftKBD();
        break;
    default:
        break; // row 4 has no action
    }
}

void CKBD::onPrior() {}
void CKBD::onNext() {}
void CKBD::onLineClick() {}
void CKBD::onClick(int) {}

void CKBD::onBackSpace()
{
    DoBackSpace();
}

void CKBD::onSelect(int cell)
{
    if (cell >= 0 && cell < CellCount && !Words[cell].isEmpty())
        DoSelect(Words[cell]);
}

void CKBD::DoShiftKBD()
{
    if (Owner)
        Owner->onShiftKBD(this);
}

void CKBD::DoSelect(const QString& text)
{
    if (Owner)
        Owner->onSelect(this, text);
}

void CKBD::DoBackSpace()
{
    if (Owner)
        Owner->onBackSpace(this);
}
