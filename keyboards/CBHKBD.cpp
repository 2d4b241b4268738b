#include "CBHKBD.h"

#include "CBHWordLib.h"
#include "CStrokeSession.h"
#include "CWordTable.h"
#include "ChineseChar.h"
#include "KeyboardGlobals.h"
#include "KeyGrid.h"

namespace {

constexpr int StrokePageSize = 5;
constexpr int AssociationPageSize = 10;
constexpr int FirstStrokeCell = 5;
constexpr int PromotedCells[2] = {0, 4};

} // namespace

CBHKBD::CBHKBD(CKeyboardOwner* owner, const QString& imageName)
    : CKBD(owner, imageName),
      Session(new CStrokeSession(AppPath)),
      WordLib(Session->WordLib),
      WordTable(Session->WordTable)
{
    Session->SetPageSize(StrokePageSize, AssociationPageSize);
    Reset(false);
}

CBHKBD::~CBHKBD()
{
    delete Session;
}

void CBHKBD::Reset(bool showDefaults)
{
    Mode = ModeStroke;
    DefaultShown = false;
    StrokeCode.clear();
    SetLine(QString());
    setIsLineArea(false);
    WordLib->Reset();
    QueryFound = false;
    QueryCode.clear();
    if (showDefaults)
        ShowDefaultRecords(0, CellCount - 1);
}

bool CBHKBD::runQuery(const QString& code)
{
    QueryCode = code;
    QueryFound = WordLib->Query(code);
    return QueryFound;
}

void CBHKBD::showQueryResult()
{
    if (QueryFound) {
        ShowRecords();
        ShowBHImages();
    } else {
        ShowDefaultRecords(FirstStrokeCell, CellCount - 1);
    }
}

void CBHKBD::ShowRecords()
{
    if (Mode == ModeStroke) {
        WordLib->PageFirst();
        SetWord(FirstStrokeCell, WordLib->RecValue());
        for (int cell = FirstStrokeCell + 1; cell < CellCount; ++cell) {
            if (!WordLib->Next()) {
                ShowDefaultRecords(cell, CellCount - 1);
                return;
            }
            SetWord(cell, WordLib->RecValue());
        }
        return;
    }
    if (WordTable->WordCount <= 0)
        return;
    for (int cell = 0; cell < CellCount; ++cell) {
        const int position = WordTable->WordIndex + cell;
        if (position >= WordTable->WordCount) {
            ShowDefaultRecords(cell, CellCount - 1);
            return;
        }
        SetWord(cell, WordTable->GetWord(position));
    }
}

int CBHKBD::FindPromoted(uint16_t found[2])
{
    return Session->FindPromoted(found);
}

int CBHKBD::FindPromotedByWalk(uint16_t found[2])
{
    return Session->FindPromotedByWalk(found);
}

void CBHKBD::ShowBHImages()
{
    uint16_t found[2] = {0, 0};
    const int n = FindPromoted(found);
    for (int k = 0; k < 2; ++k)
        SetWord(PromotedCells[k], QString(QChar(k < n ? found[k] : u' ')));
}

void CBHKBD::onClick(int key)
{
    DefaultShown = false;
    if (Mode == ModeAssociation) {
        Reset(false);
    } else if (!StrokeCode.isEmpty()) {
        if (!QueryFound || StrokeCode.length() >= MaxStrokes)
            return;
    }
    if (!IsLineArea)
        setIsLineArea(true);
    const char digit = KeyGrid::StrokeDigit(key);
    if (digit == 0)
        return;
    StrokeCode.append(QLatin1Char(digit));
    SetLine(Line + __BHTable.mid(digit - '0', 1));
    runQuery(StrokeCode);
    showQueryResult();
}

void CBHKBD::onPrior()
{
    if (DefaultShown)
        return;
    if (Mode == ModeStroke) {
        if (WordLib->Bof() || !WordLib->PriorPage()) {
            ShowDefaultRecords(FirstStrokeCell, CellCount - 1);
            DefaultShown = true;
        } else {
            ShowRecords();
        }
        return;
    }
    if (WordTable->WordIndex > 0) {
        WordTable->WordIndex = qMax(0, WordTable->WordIndex - WordTable->PageSize);
        ShowRecords();
    } else {
        ShowDefaultRecords(0, CellCount - 1);
        DefaultShown = true;
    }
}

void CBHKBD::onNext()
{
    if (Mode == ModeStroke) {
        if (DefaultShown) {
            // Back from the punctuation page to the page of candidates. Eof
            // alone cannot tell: it is also set once Next fails at the last page.
            if (QueryFound)
                ShowRecords();
            DefaultShown = false;
        } else if (!WordLib->Eof() && WordLib->NextPage()) {
            ShowRecords();
        }
        return;
    }
    if (DefaultShown) {
        if (WordTable->WordCount > 0)
            ShowRecords();
        DefaultShown = false;
    } else if (WordTable->WordIndex + WordTable->PageSize < WordTable->WordCount) {
        WordTable->WordIndex += WordTable->PageSize;
        ShowRecords();
    }
}

void CBHKBD::onBackSpace()
{
    if (Mode == ModeAssociation || StrokeCode.isEmpty()) {
        DoBackSpace();
        return;
    }
    StrokeCode.chop(1);
    SetLine(Line.left(Line.length() - 1));
    if (StrokeCode.isEmpty()) {
        // The dictionary keeps the one-stroke query: Next still pages it.
        setIsLineArea(false);
        ShowDefaultRecords(0, CellCount - 1);
        return;
    }
    runQuery(StrokeCode);
    showQueryResult();
}

void CBHKBD::onLineClick()
{
    if (Mode != ModeStroke || StrokeCode.isEmpty())
        return;
    StrokeCode.clear();
    SetLine(QString());
}

void CBHKBD::DoSelect(const QString& text)
{
    CKBD::DoSelect(text);
    if (Mode == ModeStroke) {
        Mode = ModeAssociation;
        StrokeCode.clear();
        setIsLineArea(false);
    }
    if (text.length() == 1 && IsHZ(text.at(0))) {
        if (HasAssociation && Learning)
            WordTable->UpdateWordRef(text.at(0).unicode());
        DoImage(text);
    } else {
        HasAssociation = false;
    }
}

void CBHKBD::DoImage(const QString& text)
{
    DefaultShown = false;
    HasAssociation = !text.isEmpty() && WordTable->Query(text.at(0).unicode());
    if (HasAssociation)
        ShowRecords();
    else
        ShowDefaultRecords(0, CellCount - 1);
}

void CBHKBD::DoShiftKBD()
{
    SetLine(QString());
    CKBD::DoShiftKBD();
    HasAssociation = false;
}

void CBHKBD::DoBackSpace()
{
    // Deleting the character just entered keeps its use out of word.dat.
    WordTable->CancelUpdate();
    CKBD::DoBackSpace();
}

void CBHKBD::onShow()
{
    WordLib->OpenFile();
    WordTable->OpenFile();
    // The dictionary keeps its query across a close, but bs.dat may have
    // changed while the panel was hidden: run the query again on the records
    // mapped now. Typed strokes get their first page redrawn; a query kept
    // after the line was cleared starts again from its first page.
    if (Mode != ModeStroke)
        return;
    if (!StrokeCode.isEmpty()) {
        runQuery(StrokeCode);
        DefaultShown = false;
        showQueryResult();
    } else if (QueryFound) {
        runQuery(QueryCode);
    }
}

void CBHKBD::onHide()
{
    WordTable->CloseFile();
    WordLib->CloseFile();
}

void CBHKBD::SetLearning(bool on)
{
    if (on && !Learning)
        HasAssociation = false;
    Learning = on;
}
