#include "IM_Stroke_Plugin.h"

#include "Gbk.h"
#include "IM_Stroke_Panel.h"
#include "IM_Stroke_Widget.h"
#include "IM_Stroke_Window.h"
#include "KeyboardGlobals.h"
#include "PluginGlobals.h"
#include "SETUP_SET_Manager.h"
#include "ZConfig.h"

#include <QApplication>

#include <cstring>

namespace {

// The library's text constants are kept as GBK bytes, as the symbol file is,
// and decoded once per component.
const char NameGbk[] = "\xb1\xca\xbb\xad";  // 笔画
const char StrokeLabelsGbk[] = "\xbf\xd5\xd2\xbb\xd8\xad\xd8\xaf\xd8\xbc\x81\x5e\xbf\xd5\xa3\xbf";  // 空一丨丿丶乛空？
const char DefaultWordsGbk[] =
    "\xa3\xbb\xa1\xb0\xa1\xb1\xa1\xa2\xa1\xad\xa3\xba\xa3\xac\xa1\xa3\xa3\xbf\xa3\xa1";  // ；“”、…：，。？！

// Everything after the first '|' is padding room for patching the default
// directory in the binary; only the part before it is the path.
const char DefaultInstallDir[] = "/usr/language/inputmethods/DiroruDIV/|";

constexpr QUuid ComponentId(0x2bd4803d, 0xbde8, 0x408b, 0xb8, 0x52, 0x18, 0xaf, 0x6d, 0x36, 0xd1, 0x55);

// Byte offset of the widget pointer in a widget request (code 0).
constexpr size_t WidgetPointerOffset = offsetof(ZKbCmdGetWidget, widget);
// Byte offset of the window pointer in a window request (code 2002).
constexpr size_t WindowPointerOffset = offsetof(ZKbCmdGetWindow, window);
constexpr uint32_t MinScaleHundredths = 25;
constexpr uint32_t MaxScaleHundredths = 1000;
// Byte offset of the flag of a learning command (code 2001).
constexpr size_t LearningFlagOffset = offsetof(ZKbCmdSetLearning, learning);

} // namespace

IM_Stroke_Plugin::IM_Stroke_Plugin()
    : m_id(ComponentId)
{
    m_name = gbk(NameGbk);
    __BHTable = gbk(StrokeLabelsGbk);
    __DefaultWords = gbk(DefaultWordsGbk);

    const QString literal = QString::fromLatin1(DefaultInstallDir);
    const qsizetype bar = literal.indexOf(QLatin1Char('|'));
    AppPath = bar >= 0 ? literal.left(bar) : literal;

    // A missing file or entry keeps the default directory.
    SETUP_SET_Manager settings(ZConfig::getSettingDirectory() + QLatin1String("tarvin.cfg"), false);
    const QString fallback = AppPath;
    settings.getSettingInfo(QStringLiteral("BH"), QStringLiteral("InstallDir"), AppPath, fallback, false);
    if (!AppPath.endsWith(QLatin1Char('/')))
        AppPath += QLatin1Char('/');
}

IM_Stroke_Plugin::~IM_Stroke_Plugin()
{
    delete m_widget;
    m_widget = nullptr;
    delete m_window;
    m_window = nullptr;
}

uint32_t IM_Stroke_Plugin::queryInterface(const QUuid& id, QUnknownInterface** iface)
{
    if (!iface)
        return QE_NOINTERFACE;
    *iface = nullptr;
    // The order matters for IID_QUnknown: it answers the input-method part.
    if (id == IID_QUnknown)
        *iface = static_cast<ZInputMethodInterface*>(this);
    else if (id == IID_ZInputMethodFactory)
        *iface = static_cast<ZInputMethodFactory*>(this);
    else if (id == IID_ZInputMethodInterface)
        *iface = static_cast<ZInputMethodInterface*>(this);
    else if (id == IID_QLibrary)
        *iface = static_cast<QLibraryInterface*>(this);
    return *iface ? QRS_SUCCESS : QE_NOINTERFACE;
}

unsigned long IM_Stroke_Plugin::addRef()
{
    return m_refCount++;
}

unsigned long IM_Stroke_Plugin::release()
{
    const uint32_t count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

bool IM_Stroke_Plugin::activate(const ZKbOwner&, QPoint)
{
    // Widgets need a QApplication; without one the panel is a window.
    if (m_widget || qobject_cast<QApplication*>(QCoreApplication::instance()))
        inputWidget(nullptr, ActivateWidgetFlags);
    else
        inputWindow();
    return true;
}

bool IM_Stroke_Plugin::hide()
{
    if (m_widget)
        m_widget->hide();
    if (m_window)
        m_window->hide();
    return true;
}

QUuid IM_Stroke_Plugin::id()
{
    return m_id;
}

QString IM_Stroke_Plugin::name()
{
    return m_name;
}

QPixmap IM_Stroke_Plugin::icon()
{
    return QPixmap();
}

bool IM_Stroke_Plugin::keyEventFilter(int, int, int, bool, bool)
{
    return false;
}

bool IM_Stroke_Plugin::settingCmd(ZCmd<ZKB_MGRCMD_T>* cmd)
{
    if (!cmd)
        return false;
    if (!ZKbCmdSendKeyEvent_Destroy)
        ZKbCmdSendKeyEvent_Destroy = cmd->classIdentity;
    IM_Stroke_Panel* shown = panel();
    if (!shown)
        return false;
    char* const bytes = reinterpret_cast<char*>(cmd);
    switch (cmd->code) {
    case ZKB_MGRCMD_GET_WIDGET: {
        if (!m_widget)
            return false;
        QWidget* widget = m_widget;
        std::memcpy(bytes + WidgetPointerOffset, &widget, sizeof widget);
        return true;
    }
    case ZKB_MGRCMD_GET_WINDOW: {
        if (!m_window)
            return false;
        QWindow* window = m_window;
        std::memcpy(bytes + WindowPointerOffset, &window, sizeof window);
        return true;
    }
    case ZKB_MGRCMD_RESET:
        resetState();
        return true;
    case ZKB_MGRCMD_SET_LEARNING: {
        uint32_t learning = 0;
        std::memcpy(&learning, bytes + LearningFlagOffset, sizeof learning);
        if (learning > 1)
            return false;
        m_learning = learning == 1;
        shown->setLearning(m_learning);
        return true;
    }
    case ZKB_MGRCMD_SET_SCALE: {
        uint32_t hundredths = 0;
        std::memcpy(&hundredths, bytes + offsetof(ZKbCmdSetScale, hundredths), sizeof hundredths);
        if (hundredths < MinScaleHundredths || hundredths > MaxScaleHundredths)
            return false;
        m_scale = hundredths / 100.0;
        applyScale();
        return true;
    }
    case ZKB_MGRCMD_PANEL_ACTION: {
        ZKbCmdPanelAction action;
        std::memcpy(&action, bytes, sizeof action);
        if (!shown->perform(action.action, action.argument))
            return false;
        const QVariantMap state = shown->panelState();
        action.strokes = uint32_t(state.value(QStringLiteral("strokes")).toString().size());
        action.candidates = uint32_t(state.value(QStringLiteral("candidates")).toInt());
        std::memcpy(bytes + offsetof(ZKbCmdPanelAction, strokes), &action.strokes, sizeof action.strokes);
        std::memcpy(bytes + offsetof(ZKbCmdPanelAction, candidates), &action.candidates, sizeof action.candidates);
        return true;
    }
    default:
        return false;
    }
}

void IM_Stroke_Plugin::applyScale()
{
    if (IM_Stroke_Panel* shown = panel())
        shown->setScale(m_scale);
    if (m_widget) {
        m_widget->updateGeometry();
        if (m_widget->isWindow())
            m_widget->resize(m_widget->sizeHint());
    }
    if (m_window)
        m_window->resize(m_window->panel()->scaledPanelSize());
}

void IM_Stroke_Plugin::registerService(ZKbServiceInterface* service)
{
    m_service = service;
    // An existing widget would otherwise go on sending to the service it was
    // created with, which the host may already have destroyed.
    if (IM_Stroke_Panel* shown = panel())
        shown->setService(service);
}

bool IM_Stroke_Plugin::executeMgrCmd(ZCmd<ZKB_MGRCMD_T>*)
{
    return true;
}

void IM_Stroke_Plugin::registerInputMethods(QList<ZInputMethodInterface*>* list)
{
    if (!list)
        return;
    list->clear();
    list->append(static_cast<ZInputMethodInterface*>(this));
}

QString IM_Stroke_Plugin::description()
{
    return QStringLiteral("Stroke IME");
}

bool IM_Stroke_Plugin::init()
{
    return true;
}

void IM_Stroke_Plugin::cleanup()
{
    destroyInputWidget();
}

bool IM_Stroke_Plugin::canUnload() const
{
    return m_refCount <= 2;
}

IM_Stroke_Widget* IM_Stroke_Plugin::inputWidget(QWidget* parent, unsigned int flags)
{
    if (!m_widget) {
        m_widget = new IM_Stroke_Widget(parent, "VovaduVuvar", flags, m_service);
        // A widget made again after cleanup keeps what the host last said.
        m_widget->panel()->setLearning(m_learning);
        if (m_scale != 1.0)
            applyScale();
    }
    return m_widget;
}

IM_Stroke_Window* IM_Stroke_Plugin::inputWindow()
{
    if (!m_window) {
        m_window = new IM_Stroke_Window(m_service);
        m_window->panel()->setLearning(m_learning);
        applyScale();
    }
    return m_window;
}

IM_Stroke_Panel* IM_Stroke_Plugin::panel() const
{
    if (m_widget)
        return m_widget->panel();
    return m_window ? m_window->panel() : nullptr;
}

bool IM_Stroke_Plugin::destroyInputWidget()
{
    if (m_widget && m_widget->isVisible()) {
        m_widget->hide();
        delete m_widget;
        m_widget = nullptr;
    }
    if (m_window && m_window->isVisible()) {
        m_window->hide();
        delete m_window;
        m_window = nullptr;
    }
    return true;
}

void IM_Stroke_Plugin::resetState()
{
    if (IM_Stroke_Panel* shown = panel())
        shown->resetState();
}

QUnknownInterface* ucm_instantiate()
{
    auto* component = new IM_Stroke_Plugin;
    QUnknownInterface* iface = nullptr;
    if (component->queryInterface(IID_QUnknown, &iface) != QRS_SUCCESS) {
        delete component;
        return nullptr;
    }
    return iface;
}
