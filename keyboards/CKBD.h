#pragma once

#include "KeyGrid.h"

#include <QImage>
#include <QRect>
#include <QString>

class CKeyboardOwner;
class QImage;
class QMouseEvent;
class QPaintEvent;
class QPoint;
class QTimerEvent;

// Base of the on-screen keyboards: a keyboard image with a grid of five
// columns and four rows of keys laid over it, key = 5 * row + column.
// Keys 0 to 9 are candidate cells, 10 previous page, 14 backspace (repeats
// while held), 15 next page, 19 switch keyboard; 11 to 13 and 16 to 18 go to
// onClick(), whose meaning the derived keyboard gives. With the line area on,
// keys 1 to 3 form one text line instead of three cells.
//
// The keyboard draws on its owner's canvas at once (see CKeyboardOwner) and
// flushes only the rectangle it drew; only paintEvent() draws it whole.
class CKBD
{
public:
    static constexpr int CellCount = 10;
    static constexpr int KeyPrior = KeyGrid::KeyPrior;
    static constexpr int KeyBackSpace = KeyGrid::KeyBackspace;
    static constexpr int KeyNext = KeyGrid::KeyNext;
    static constexpr int KeyShift = KeyGrid::KeySwitch;
    static constexpr int RepeatInterval = 300; // ms
    static constexpr int LineLength = 7;       // characters of the line shown

    // Loads AppPath + imageName; an unreadable image leaves plain key faces.
    CKBD(CKeyboardOwner* owner, const QString& imageName);
    virtual ~CKBD();

    CKBD(const CKBD&) = delete;
    CKBD& operator=(const CKBD&) = delete;

    virtual void Reset(bool showDefaults) = 0;
    virtual void ShowRecords() = 0;

    // Draws the whole keyboard on the owner's canvas.
    virtual void paintEvent(QPaintEvent* event);
    virtual void mousePressEvent(QMouseEvent* event);
    virtual void mouseReleaseEvent(QMouseEvent* event);
    virtual void mouseMoveEvent(QMouseEvent* event);

    virtual void onKeyDown(int key);
    virtual void onKeyUp(int key);
    virtual void onKeyPressed(int key);
    virtual void onPrior();
    virtual void onNext();
    virtual void onBackSpace();
    virtual void onLineClick();
    virtual void onClick(int key);
    virtual void onSelect(int cell);
    // The three notifications to the owner; nothing without an owner.
    virtual void DoShiftKBD();
    virtual void DoSelect(const QString& text);
    virtual void DoBackSpace();
    virtual void DrawKey(int key, bool pressed);

    // A tick of the repeat timer; ticks of other timers are ignored.
    void timerEvent(QTimerEvent* event);
    // Lets go of a held key without running its action (the panel was hidden).
    void CancelPress();

    static void getKeyRect(int key, int& left, int& top, int& width, int& height);
    static QRect keyRect(int key);
    // The key under a point, -1 when none. The divisions truncate toward
    // zero, so points a little left of or above the image still hit.
    static int keyAt(const QPoint& point);
    static QRect lineRect();

    void DrawWord(int cell, bool pressed);
    void DrawLine(bool pressed);
    void SetWord(int cell, const QString& text);
    void SetLine(const QString& text);
    // Cells first to last show the default punctuation of the same index.
    void ShowDefaultRecords(int first, int last);
    void setIsLineArea(bool on);

    CKeyboardOwner* Owner;
    QImage* Image;
    int PressedKey = -1;
    bool IsLineArea = false;
    QString Line;
    QString Words[CellCount];
    int TimerId = 0;
    int RepeatCount = -2;

protected:
    // Whether this keyboard may draw now: it has an owner and is its current
    // keyboard (or the owner names none).
    bool canDraw() const;

private:
    // The keyboard image at ratio device pixels per layout pixel.
    const QImage& imageAt(qreal ratio);
    // Draws one key face (inverted when pressed) with an optional centred
    // text and the owner's corner label of key (none for -1); the face is
    // the image's rect, or faceSource stretched over rect.
    void drawFace(int key, const QRect& rect, bool pressed, const QString* text, const QRect& faceSource = QRect());
    void stopTimer();

    QImage m_scaledImage; // Image at the canvas's resolution, when that is not 1
};
