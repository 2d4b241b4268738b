#include "StrokeEngineLogic.h"

StrokeEngineLogic::StrokeEngineLogic(const QString& dataDir, int pageSize, bool association)
    : m_session(dataDir), m_associationWanted(association)
{
    m_session.SetPageSize(pageSize, pageSize);
    m_session.SetAssociation(association);
}

void StrokeEngineLogic::FocusIn()
{
    m_session.Clear();
    m_session.Open();
    m_open = true;
    refresh();
}

void StrokeEngineLogic::SetField(bool learning, bool association)
{
    m_session.SetLearning(learning);
    m_session.SetAssociation(m_associationWanted && association);
}

void StrokeEngineLogic::FocusOut()
{
    m_session.Clear();
    m_session.Close();
    m_session.ForgetChoice();
    m_open = false;
    refresh();
}

void StrokeEngineLogic::Reset()
{
    m_session.Clear();
    refresh();
}

bool StrokeEngineLogic::Key(const StrokeKeyMap::Input& key, QString& commit)
{
    // Options changed while a field had focus give a fresh logic.
    if (!m_open)
        FocusIn();
    const StrokeKeyMap::Panel panel{int(m_session.StrokeCode.size()), int(m_view.candidates.size())};
    const StrokeKeyMap::Action action = m_keys.map(key, panel);
    const bool association = m_session.Mode == CStrokeSession::ModeAssociation;
    switch (action.kind) {
    case StrokeKeyMap::Kind::PassThrough:
        // The character just entered is deleted: its use is not learned.
        if (key.named == StrokeKeyMap::Named::Backspace && !key.release)
            m_session.CancelChoice();
        return false;
    case StrokeKeyMap::Kind::Consume:
        return true;
    case StrokeKeyMap::Kind::Stroke:
        m_session.AddStroke(action.stroke);
        break;
    case StrokeKeyMap::Kind::Choose:
        Choose(action.index, commit);
        return true;
    case StrokeKeyMap::Kind::ChooseFirst:
        Choose(0, commit);
        return true;
    case StrokeKeyMap::Kind::PriorPage:
        association ? m_session.PriorAssociationPage() : m_session.PriorPage();
        break;
    case StrokeKeyMap::Kind::NextPage:
        association ? m_session.NextAssociationPage() : m_session.NextPage();
        break;
    case StrokeKeyMap::Kind::BackSpace:
        m_session.RemoveStroke();
        break;
    case StrokeKeyMap::Kind::Clear:
    case StrokeKeyMap::Kind::ToggleMode:
        m_session.Clear();
        break;
    }
    refresh();
    return true;
}

bool StrokeEngineLogic::Choose(int index, QString& commit)
{
    if (index < 0 || index >= int(m_view.candidates.size()))
        return false;
    const QChar ch = m_view.candidates[size_t(index)].character;
    commit += ch;
    m_session.Choose(ch);
    refresh();
    return true;
}

void StrokeEngineLogic::refresh()
{
    m_view = View();
    m_view.preedit = m_session.StrokeGlyphs();
    if (m_session.Mode == CStrokeSession::ModeAssociation) {
        m_view.association = true;
        for (QChar c : m_session.AssociationCandidates())
            m_view.candidates.push_back({c, false});
        return;
    }
    for (QChar c : m_session.Promoted)
        m_view.candidates.push_back({c, true});
    for (QChar c : m_session.PageCandidates())
        m_view.candidates.push_back({c, false});
}
