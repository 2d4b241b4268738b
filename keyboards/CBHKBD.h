#pragma once

#include "CKBD.h"

#include <cstdint>

class CBHWordLib;
class CStrokeSession;
class CWordTable;

// The stroke keyboard. In stroke input the typed strokes stand in the line
// area, cells 5 to 9 show one page of the characters whose strokes begin with
// the typed code, and cells 0 and 4 promote up to two later candidates that
// also follow the character chosen before. After a choice the keyboard shows
// that character's association candidates in all ten cells and learns the
// next choice into word.dat. Empty cells show the default punctuation.
class CBHKBD : public CKBD
{
public:
    enum { ModeStroke = 0, ModeAssociation = 1 };
    static constexpr int MaxStrokes = 25;

    CBHKBD(CIMEWidget* owner, const QString& imageName);
    ~CBHKBD() override;

    void Reset(bool showDefaults) override;
    void ShowRecords() override;
    void onPrior() override;
    void onNext() override;
    void onBackSpace() override;
    void onLineClick() override;
    void onClick(int key) override;
    void DoShiftKBD() override;
    void DoSelect(const QString& text) override;
    void DoBackSpace() override;

    // Loads the association page of the first character of text.
    void DoImage(const QString& text);
    // Fills cells 0 and 4 with promoted candidates, or spaces.
    void ShowBHImages();
    // The promoted candidates of the current query: walking its matches in
    // dictionary order from the sixth (the first beyond the first page), the
    // first two different characters that the loaded association list has
    // with an even (shipped) weight. Written to found; returns how many.
    // FindPromoted looks the list's characters up in the dictionary;
    // FindPromotedByWalk walks the matches one by one and gives the same.
    int FindPromoted(uint16_t found[2]);
    int FindPromotedByWalk(uint16_t found[2]);
    // The panel was shown or hidden: the data files are open only while shown.
    void onShow();
    void onHide();
    // With learning off, choices still show their associations but are not
    // recorded into word.dat. Turning it back on forgets the character chosen
    // before, so nothing typed while it was off leads a learned pair.
    void SetLearning(bool on);

    // The dictionaries and the promoted search, shared with frontends
    // that draw their own candidates; WordLib and WordTable are its own.
    CStrokeSession* Session;
    CBHWordLib* WordLib;
    CWordTable* WordTable;
    QString StrokeCode;
    bool DefaultShown = false;
    bool HasAssociation = false;
    int Mode = ModeStroke;
    bool Learning = true;
    // Whether the dictionary's last query matched anything. A stroke is
    // refused only when the typed code matches nothing: the dictionary's
    // Bof/Eof pair also reads "nothing" after Next fails on a one-page list.
    bool QueryFound = false;
    // The code of the dictionary's last query, run again after a reopen.
    QString QueryCode;

private:
    bool runQuery(const QString& code);
    // Shows the page of the current query, or the default punctuation in
    // cells 5 to 9 when it matched nothing.
    void showQueryResult();
};
