#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class CBHWordLib;
class CWordTable;

// Stroke typing without a panel: the typed strokes, their candidates page by
// page, the two promoted candidates, the association list after a choice
// and learning into word.dat, in exactly the panel's sequence. The panel
// and frontends that draw their own candidates (a desktop input-method
// addon) share it, so the same taps give the same candidates and learn the
// same records.
class CStrokeSession
{
public:
    enum { ModeIdle = 0, ModeStroke = 1, ModeAssociation = 2 };
    static constexpr int MaxStrokes = 25;
    // The promoted candidates are searched from the first match past a page
    // of this many, whatever page size a frontend shows.
    static constexpr int StrokePageSize = 5;

    // dataDir holds bs.dat, word.idx and word.dat and ends in "/". The files
    // stay closed until Open.
    explicit CStrokeSession(const QString& dataDir);
    ~CStrokeSession();

    CStrokeSession(const CStrokeSession&) = delete;
    CStrokeSession& operator=(const CStrokeSession&) = delete;

    // Input gained focus: maps bs.dat, opens word.dat and runs the typed
    // strokes' query again on the records mapped now.
    void Open();
    // Input lost focus or the frontend stops: writes and syncs what was
    // learned, closes the files. Strokes typed are kept.
    void Close();

    // Appends a stroke digit ('1'..'5', '7' the wildcard) and queries the
    // code. Refused (false) once the typed code matches nothing or holds
    // MaxStrokes strokes; a choice's association list ends first.
    bool AddStroke(char digit);
    // Removes the last stroke; false when none was typed.
    bool RemoveStroke();
    // Ends stroke entry or the association list shown. The loaded list
    // stays: it still promotes candidates and learns the next choice.
    void Clear();

    // The typed strokes as 一丨丿丶乛？ glyphs.
    QString StrokeGlyphs() const;
    // The characters of the candidate page shown, in dictionary order.
    QString PageCandidates();
    bool NextPage();
    bool PriorPage();

    // A character was entered (chosen among the candidates or the
    // association list): it is learned after the character entered before
    // it, and its own association list is loaded.
    void Choose(QChar ch);
    // The character just entered was deleted: its use is not learned.
    void CancelChoice();
    // Typing moves to another field: the last choice neither promotes
    // candidates nor leads a learned pair there.
    void ForgetChoice();
    // The association list's page shown.
    QString AssociationCandidates() const;
    bool NextAssociationPage();
    bool PriorAssociationPage();

    // With learning off, choices are not recorded into word.dat. Turning it
    // back on forgets the character chosen before, so nothing typed while it
    // was off leads a learned pair.
    void SetLearning(bool on);
    // Association off: a choice loads its list (for promotion and learning)
    // but no association page is shown.
    void SetAssociation(bool on) { Association = on; }
    // Candidates a page: the stroke pages and the association pages.
    void SetPageSize(int stroke, int association);

    // The promoted candidates of the current query: walking its matches in
    // dictionary order from the sixth (the first beyond the first page), the
    // first two different characters that the loaded association list has
    // with an even (shipped) weight. Written to found; returns how many.
    // FindPromoted looks the list's characters up in the dictionary;
    // FindPromotedByWalk walks the matches one by one and gives the same.
    int FindPromoted(uint16_t found[2]);
    int FindPromotedByWalk(uint16_t found[2]);

    CBHWordLib* WordLib;
    CWordTable* WordTable;
    int Mode = ModeIdle;
    QString StrokeCode;       // digits
    QString Promoted;         // the query's promoted candidates, 0 to 2
    bool QueryFound = false;  // the last query matched something
    bool HasAssociation = false; // a list is loaded for the last choice
    bool Learning = true;
    bool Association = true;
    int AssociationIndex = 0; // first entry of the association page shown
    int AssociationPageSize = 10;

private:
    void runQuery();
    // The characters of the loaded association list with an even weight,
    // into m_followers; false when there are none.
    bool collectFollowers();

    std::vector<uint16_t> m_followers; // kept: no allocation per stroke
};
