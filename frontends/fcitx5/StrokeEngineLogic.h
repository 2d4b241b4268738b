#pragma once

#include "CStrokeSession.h"
#include "StrokeKeyMap.h"

#include <QString>

#include <vector>

// What the desktop input-method engine does with keys and choices, without
// the input-method framework: the engine translates its key events into
// StrokeKeyMap inputs, hands them here and draws the View. Tests drive it
// directly.
class StrokeEngineLogic
{
public:
    struct Candidate
    {
        QChar character;
        bool promoted = false; // one of the two promoted candidates, shown first
    };
    // What the input panel shows.
    struct View
    {
        QString preedit; // the typed strokes as glyphs
        std::vector<Candidate> candidates;
        bool association = false; // the candidates follow the last choice
    };

    explicit StrokeEngineLogic(const QString& dataDir, int pageSize = 5, bool association = true);

    // Focus came to a field: the data files open.
    void FocusIn();
    // What the focused field allows: learning (not where it is a password
    // or sensitive) and association (not where it refuses prediction).
    void SetField(bool learning, bool association);
    // Focus left or the engine stops: strokes dropped, learning synced.
    void FocusOut();
    // The client reset the field (e.g. a click elsewhere): typing ends.
    void Reset();

    // Handles one key; true when the key is taken. Text to commit is
    // appended to commit.
    bool Key(const StrokeKeyMap::Input& key, QString& commit);
    // Chooses candidate index of the View (a click or a digit); the chosen
    // character is appended to commit. False when there is no such candidate.
    bool Choose(int index, QString& commit);

    const View& Current() const { return m_view; }
    CStrokeSession& Session() { return m_session; }

private:
    void refresh();

    CStrokeSession m_session;
    StrokeKeyMap m_keys;
    View m_view;
    bool m_associationWanted; // the option; a field may still refuse it
    bool m_open = false;      // focus came and has not left
};
