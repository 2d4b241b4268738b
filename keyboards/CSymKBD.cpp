#include "CSymKBD.h"

#include "CSymTable.h"
#include "Gbk.h"
#include "KeyboardGlobals.h"

#include <QFile>

namespace {

constexpr int SymbolPageSize = 10;

// Reads a colour line; the colour is kept when the line is not hexadecimal.
void readColour(QFile& file, QColor& colour)
{
    bool ok = false;
    const qulonglong value = CSymKBD::ReadLine(file).toULongLong(&ok, 16);
    if (ok)
        colour.setRgb(QRgb(value & 0xFFFFFFu));
}

} // namespace

CSymKBD::CSymKBD(CKeyboardOwner* owner, const QString& imageName)
    : CKBD(owner, imageName)
{
    loadSymbols();
    CurTable = Tables[0];
    Reset(false);
}

CSymKBD::~CSymKBD()
{
    for (CSymTable* table : Tables)
        delete table;
}

void CSymKBD::loadSymbols()
{
    // A missing file reads as an immediate end: four empty tables, and the
    // punctuation and colours keep their values.
    QFile file(AppPath + QStringLiteral("Symbols.txt"));
    file.open(QIODevice::ReadOnly);
    for (CSymTable*& table : Tables) {
        const QString plain = ReadLine(file);
        const QString shifted = ReadLine(file);
        table = new CSymTable(plain, shifted);
        table->PageSize = SymbolPageSize;
    }
    const QString punctuation = ReadLine(file);
    if (punctuation.length() >= CellCount)
        __DefaultWords = punctuation;
    readColour(file, __FontColor);
    readColour(file, __FontRevColor);
}

QString CSymKBD::ReadLine(QFile& file)
{
    if (!file.isOpen())
        return QString();
    QByteArray line = file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return QString();
    // The text ends at a NUL byte, as in a zero-terminated line buffer.
    return gbk(line.constData());
}

void CSymKBD::Reset(bool)
{
    if (Shift)
        SetShift(false);
    if (CapLock)
        SetCapLock(false);
    CurTable->Reset();
    ShowRecords();
}

void CSymKBD::ShowRecords()
{
    const int length = CurTable->PlainWords.length();
    if (length == 0)
        return; // an empty table leaves the page shown before
    const bool shifted = Shift != CapLock;
    const int start = CurTable->WordIndex;
    for (int cell = 0; cell < CellCount; ++cell) {
        // A table shorter than a page is shown once: the keys past its end
        // show nothing and choose nothing.
        if (length < CellCount)
            SetWord(cell, cell < length ? CurTable->GetWord(cell, shifted) : QString());
        else
            SetWord(cell, CurTable->GetWord(start + cell, shifted));
    }
}

void CSymKBD::movePage(int step)
{
    // A table shorter than a page is one page: paging stays on it.
    if (CurTable->PlainWords.length() >= CurTable->PageSize)
        CurTable->SetWordIndex(CurTable->WordIndex + step);
    ShowRecords();
}

void CSymKBD::onNext()
{
    movePage(CurTable->PageSize);
}

void CSymKBD::onPrior()
{
    movePage(-CurTable->PageSize);
}

void CSymKBD::onClick(int key)
{
    switch (key) {
    case 11:
        CurTable = Tables[0];
        break;
    case 12:
        CurTable = Tables[1];
        break;
    case 16: // the key layout puts table 4 before table 3
        CurTable = Tables[3];
        break;
    case 17:
        CurTable = Tables[2];
        break;
    case KeyCapsLock:
        SetCapLock(!CapLock);
        ShowRecords();
        return;
    case KeyShiftLock:
        SetShift(!Shift);
        ShowRecords();
        return;
    default:
        return;
    }
    Reset(false);
}

void CSymKBD::DoSelect(const QString& text)
{
    CKBD::DoSelect(text);
    if (Shift) { // shift holds for one symbol only
        SetShift(false);
        ShowRecords();
    }
}

void CSymKBD::SetShift(bool on)
{
    if (Shift == on)
        return;
    Shift = on;
    DrawKey(KeyShiftLock, on);
}

void CSymKBD::SetCapLock(bool on)
{
    if (CapLock == on)
        return;
    CapLock = on;
    DrawKey(KeyCapsLock, on);
}

void CSymKBD::paintEvent(QPaintEvent* event)
{
    CKBD::paintEvent(event);
    if (CapLock)
        DrawKey(KeyCapsLock, true);
    if (Shift)
        DrawKey(KeyShiftLock, true);
}

void CSymKBD::onKeyUp(int key)
{
    // A latched key stays drawn down when the pointer lets go of it.
    const bool latched = (key == KeyCapsLock && CapLock) || (key == KeyShiftLock && Shift);
    DrawKey(key, latched);
}
