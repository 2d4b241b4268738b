#include "DiroruStrokeEngine.h"

#include <fcitx-config/iniparser.h>
#include <fcitx-utils/standardpath.h>
#include <fcitx/addonmanager.h>
#include <fcitx/candidatelist.h>
#include <fcitx/inputcontext.h>
#include <fcitx/inputpanel.h>
#include <fcitx/instance.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char ConfigFile[] = "conf/diroru-stroke.conf";

class StrokeCandidate : public fcitx::CandidateWord
{
public:
    StrokeCandidate(DiroruStrokeEngine* engine, fcitx::Text text, int index)
        : fcitx::CandidateWord(std::move(text)), m_engine(engine), m_index(index)
    {
    }
    void select(fcitx::InputContext* ic) const override { m_engine->select(ic, m_index); }

private:
    DiroruStrokeEngine* m_engine;
    int m_index;
};

bool sameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) && fa.readAll() == fb.readAll();
}

} // namespace

DiroruStrokeEngine::DiroruStrokeEngine(fcitx::Instance* instance)
    : m_instance(instance)
{
    reloadConfig();
}

DiroruStrokeEngine::~DiroruStrokeEngine()
{
    // Stopping writes and syncs what was learned.
    if (m_logic)
        m_logic->FocusOut();
}

QString DiroruStrokeEngine::dataFolder(const std::string& configured)
{
    QString dir = QString::fromStdString(configured);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    if (QFileInfo(dir + QStringLiteral("word.dat")).isWritable())
        return dir;
    const QString copy = QString::fromStdString(
        fcitx::StandardPath::global().userDirectory(fcitx::StandardPath::Type::Data) + "/diroru/pack/");
    // A copy made from another index would write learned weights at the
    // wrong records: it is made again.
    if (QFile::exists(copy + QStringLiteral("word.dat"))
        && sameBytes(dir + QStringLiteral("word.idx"), copy + QStringLiteral("word.idx")))
        return copy;
    QDir().mkpath(copy);
    for (const QString& name : {QStringLiteral("word.dat"), QStringLiteral("word.idx"), QStringLiteral("bs.dat")}) {
        QFile::remove(copy + name);
        QFile::copy(dir + name, copy + name);
    }
    return copy;
}

void DiroruStrokeEngine::reloadConfig()
{
    fcitx::readAsIni(m_config, ConfigFile);
    if (m_logic)
        m_logic->FocusOut();
    m_logic = std::make_unique<StrokeEngineLogic>(dataFolder(*m_config.DataDir), *m_config.PageSize,
                                                  *m_config.Association);
}

void DiroruStrokeEngine::setConfig(const fcitx::RawConfig& config)
{
    m_config.load(config, true);
    fcitx::safeSaveAsIni(m_config, ConfigFile);
    reloadConfig();
}

StrokeKeyMap::Input DiroruStrokeEngine::keyInput(const fcitx::Key& key, bool release)
{
    StrokeKeyMap::Input in;
    in.release = release;
    in.keypad = key.isKeyPad();
    in.commandModifier = key.states().testAny(fcitx::KeyStates{fcitx::KeyState::Ctrl, fcitx::KeyState::Alt,
                                                               fcitx::KeyState::Super});
    switch (key.sym()) {
    case FcitxKey_space:
    case FcitxKey_KP_Space: in.named = StrokeKeyMap::Named::Space; break;
    case FcitxKey_BackSpace: in.named = StrokeKeyMap::Named::Backspace; break;
    case FcitxKey_Escape: in.named = StrokeKeyMap::Named::Escape; break;
    case FcitxKey_Page_Up:
    case FcitxKey_KP_Page_Up: in.named = StrokeKeyMap::Named::PageUp; break;
    case FcitxKey_Page_Down:
    case FcitxKey_KP_Page_Down: in.named = StrokeKeyMap::Named::PageDown; break;
    case FcitxKey_Shift_L:
    case FcitxKey_Shift_R: in.named = StrokeKeyMap::Named::Shift; break;
    default:
        in.character = fcitx::Key::keySymToUnicode(key.sym());
        // Return, Tab, Delete, arrows, function keys and the other
        // modifiers type nothing printable.
        if (in.character < 0x20 || in.character == 0x7f)
            in.named = StrokeKeyMap::Named::Other;
        break;
    }
    return in;
}

void DiroruStrokeEngine::applyField(fcitx::InputContext* ic)
{
    const fcitx::CapabilityFlags flags = ic->capabilityFlags();
    // Clients say "no prediction" as no spell check (Qt's ImhNoPredictiveText,
    // GTK's no-spellcheck hint); such fields learn nothing either, as in the panel.
    const bool noPrediction = flags.test(fcitx::CapabilityFlag::NoSpellCheck);
    m_logic->SetField(!flags.testAny(fcitx::CapabilityFlag::PasswordOrSensitive) && !noPrediction, !noPrediction);
}

void DiroruStrokeEngine::activate(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event)
{
    m_logic->FocusIn();
    applyField(event.inputContext());
}

void DiroruStrokeEngine::deactivate(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event)
{
    m_logic->FocusOut();
    commitAndUpdate(event.inputContext(), QString());
}

void DiroruStrokeEngine::reset(const fcitx::InputMethodEntry&, fcitx::InputContextEvent& event)
{
    m_logic->Reset();
    commitAndUpdate(event.inputContext(), QString());
}

void DiroruStrokeEngine::keyEvent(const fcitx::InputMethodEntry&, fcitx::KeyEvent& event)
{
    fcitx::InputContext* ic = event.inputContext();
    // A field may change what it is after focus came (GTK sets its purpose late).
    applyField(ic);
    QString commit;
    if (!m_logic->Key(keyInput(event.key(), event.isRelease()), commit))
        return;
    event.filterAndAccept();
    commitAndUpdate(ic, commit);
}

void DiroruStrokeEngine::select(fcitx::InputContext* ic, int index)
{
    QString commit;
    if (m_logic->Choose(index, commit))
        commitAndUpdate(ic, commit);
}

void DiroruStrokeEngine::commitAndUpdate(fcitx::InputContext* ic, const QString& commit)
{
    if (!commit.isEmpty())
        ic->commitString(commit.toStdString());
    const StrokeEngineLogic::View& view = m_logic->Current();
    fcitx::InputPanel& panel = ic->inputPanel();
    panel.reset();
    if (!view.preedit.isEmpty()) {
        fcitx::Text preedit(view.preedit.toStdString(), fcitx::TextFormatFlag::Underline);
        preedit.setCursor(int(preedit.textLength()));
        if (ic->capabilityFlags().test(fcitx::CapabilityFlag::Preedit))
            panel.setClientPreedit(preedit);
        else
            panel.setPreedit(preedit);
    }
    if (!view.candidates.empty()) {
        auto list = std::make_unique<fcitx::CommonCandidateList>();
        list->setPageSize(int(view.candidates.size()));
        list->setLayoutHint(fcitx::CandidateLayoutHint::Horizontal);
        list->setLabels({"1. ", "2. ", "3. ", "4. ", "5. ", "6. ", "7. ", "8. ", "9. ", "0. "});
        for (size_t i = 0; i < view.candidates.size(); ++i) {
            fcitx::Text text(QString(view.candidates[i].character).toStdString());
            // Promoted candidates are marked; the mark is never committed.
            if (view.candidates[i].promoted)
                text.append("★", fcitx::TextFormatFlag::DontCommit);
            list->append<StrokeCandidate>(this, std::move(text), int(i));
        }
        list->setGlobalCursorIndex(0);
        panel.setCandidateList(std::move(list));
    }
    ic->updatePreedit();
    ic->updateUserInterface(fcitx::UserInterfaceComponent::InputPanel);
}

fcitx::AddonInstance* DiroruStrokeFactory::create(fcitx::AddonManager* manager)
{
    return new DiroruStrokeEngine(manager->instance());
}
