#pragma once

#include "CKBD.h"

class CSymTable;
class QFile;

// The symbol keyboard: four tables of symbols read from Symbols.txt, ten to
// a page, paged in a circle, with a one-shot shift (key 18) and a caps lock
// (key 13) that combine by exclusive or. Symbols.txt also carries the default
// punctuation and the two text colours.
//
// Symbols.txt, GBK text, lines ending in LF or CR LF:
//   1-8  plain and shifted symbols of tables 1 to 4, one character each
//   9    default punctuation (used when it has at least ten characters)
//   10   cell text colour, hexadecimal 0xRRGGBB
//   11   pressed cell text colour
class CSymKBD : public CKBD
{
public:
    static constexpr int TableCount = 4;
    static constexpr int KeyCapsLock = 13;
    static constexpr int KeyShiftLock = 18;

    CSymKBD(CKeyboardOwner* owner, const QString& imageName);
    ~CSymKBD() override;

    void Reset(bool showDefaults) override;
    void ShowRecords() override;
    void onPrior() override;
    void onNext() override;
    void onClick(int key) override;
    void DoSelect(const QString& text) override;
    // Redraw the latched shift and caps lock keys, which the image shows up.
    void paintEvent(QPaintEvent* event) override;
    void onKeyUp(int key) override;

    // The next line of file, decoded from GBK without its line ending; a null
    // string for an empty line, at the end and on a read error. A line is
    // read whole, whatever its length.
    static QString ReadLine(QFile& file);

    void SetShift(bool on);
    void SetCapLock(bool on);

    bool Shift = false;
    bool CapLock = false;
    CSymTable* Tables[TableCount] = {};
    CSymTable* CurTable = nullptr;

private:
    void loadSymbols();
    void movePage(int step);
};
