#include "StrokeInputContext.h"

#include "PanelScale.h"
#include "SETUP_SET_Manager.h"
#include "ZConfig.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QFileInfo>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#include <dlfcn.h>

namespace {

constexpr const char* LibrarySoname = "libDiroruDIV.so.1";

// An on-screen keyboard: above everything, outside the window manager's
// stacking and focus, and never focused.
constexpr Qt::WindowFlags PanelFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
    | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint;

// The symbol tables that restricted fields open on.
constexpr int LetterTable = 1;
constexpr int DigitTable = 2;

// The one context whose component must go before the application's widgets.
StrokeInputContext* activeContext = nullptr;

QVariant queryObject(QObject* object, Qt::InputMethodQuery query)
{
    if (!object)
        return QVariant();
    QInputMethodQueryEvent event(query);
    QCoreApplication::sendEvent(object, &event);
    return event.value(query);
}

#ifdef DIRORU_BUILD_QTPLUGIN_DIR
bool runsFromBuildTree()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<const void*>(&runsFromBuildTree), &info) || !info.dli_fname)
        return false;
    const QString here = QFileInfo(QFile::decodeName(info.dli_fname)).canonicalPath();
    return !here.isEmpty() && here == QFileInfo(QStringLiteral(DIRORU_BUILD_QTPLUGIN_DIR)).canonicalFilePath();
}
#endif

} // namespace

StrokeInputContext::StrokeInputContext()
    : m_service(InputMethodManager::commandTag())
{
    // Our own commits move the cursor too; only other moves reset the strokes.
    m_service.setAppliedHandler([this] { m_cursor = focusCursorPosition(); });
}

StrokeInputContext::~StrokeInputContext()
{
    if (activeContext == this) {
        qRemovePostRoutine(shutdownAtExit);
        activeContext = nullptr;
    }
    m_manager.shutdown();
}

bool StrokeInputContext::isValid() const
{
    return true;
}

QStringList StrokeInputContext::libraryCandidates()
{
    const QByteArray chosen = qgetenv(LibraryVariable);
    if (!chosen.isEmpty())
        return {QFile::decodeName(chosen)};
    QStringList candidates;
#if defined(DIRORU_BUILD_QTPLUGIN_DIR) && defined(DIRORU_BUILD_LIBRARY)
    if (runsFromBuildTree())
        candidates << QStringLiteral(DIRORU_BUILD_LIBRARY);
#endif
#ifdef DIRORU_INSTALL_LIBDIR
    candidates << QStringLiteral(DIRORU_INSTALL_LIBDIR "/") + QLatin1String(LibrarySoname);
#endif
    candidates << QLatin1String(LibrarySoname);
    return candidates;
}

QPoint StrokeInputContext::panelPosition(const QRect& available, const QSize& panel, const QRect& cursor)
{
    const int centre = cursor.isValid() ? cursor.center().x() : available.center().x();
    const int rightmost = available.x() + available.width() - panel.width();
    const int x = std::max(available.x(), std::min(centre - panel.width() / 2, rightmost));
    const int bottom = available.y() + available.height() - panel.height();
    const auto clear = [&](int y) {
        return y >= available.y() && y <= bottom && !(cursor.isValid() && QRect(QPoint(x, y), panel).intersects(cursor));
    };
    for (int y : {bottom, available.y(), cursor.bottom() + 1, cursor.top() - panel.height()}) {
        if (clear(y))
            return {x, y};
    }
    return {x, std::max(available.y(), bottom)};
}

qreal StrokeInputContext::panelScale(const QScreen* screen)
{
    QString setting = QString::fromLocal8Bit(qgetenv(ScaleVariable));
    if (setting.isEmpty()) {
        SETUP_SET_Manager settings(ZConfig::getSettingDirectory() + QLatin1String("tarvin.cfg"), false);
        settings.getSettingInfo(QStringLiteral("Panel"), QStringLiteral("Scale"), setting, QStringLiteral("auto"), false);
    }
    const double perMillimetre = screen ? screen->physicalDotsPerInchX() / 25.4 : 0;
    const double width = screen ? screen->availableGeometry().width() : 0;
    return PanelScale::fromSetting(setting.toStdString(), perMillimetre, width);
}

bool StrokeInputContext::isReadOnly(QObject* object)
{
    const QVariant enabled = queryObject(object, Qt::ImEnabled);
    if (enabled.isValid() && !enabled.toBool())
        return true;
    return queryObject(object, Qt::ImReadOnly).toBool();
}

int StrokeInputContext::forcedTable() const
{
    const auto hints = Qt::InputMethodHints(queryObject(m_focus, Qt::ImHints).toInt());
    if (hints & (Qt::ImhDigitsOnly | Qt::ImhFormattedNumbersOnly | Qt::ImhDialableCharactersOnly))
        return DigitTable;
    if (hints & (Qt::ImhLatinOnly | Qt::ImhEmailCharactersOnly | Qt::ImhUrlCharactersOnly))
        return LetterTable;
    return -1;
}

void StrokeInputContext::applyKeyboard()
{
    const int table = forcedTable();
    // A field that forces nothing keeps whichever keyboard the user chose,
    // unless the last field forced one.
    if (table != m_table || table >= 0)
        m_manager.panelAction(ZKB_PANEL_KEYBOARD, table);
    m_table = table;
}

void StrokeInputContext::applyScale(QScreen* screen)
{
    const qreal scale = panelScale(screen);
    if (scale != m_scale && m_manager.setScale(scale))
        m_scale = scale;
    if (QWidget* panel = m_manager.panel())
        panel->resize(panel->sizeHint());
}

void StrokeInputContext::setKeyMode(uint32_t mode)
{
    if (mode != m_keyMode && m_manager.panelAction(ZKB_PANEL_KEY_MODE, int32_t(mode)))
        m_keyMode = mode;
}

bool StrokeInputContext::filterEvent(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    if (!m_focus || m_loadState != LoadState::Loaded || !isInputPanelVisible() || m_table >= 0)
        return false;
    return handleKey(static_cast<const QKeyEvent*>(event));
}

bool StrokeInputContext::handleKey(const QKeyEvent* key)
{
    StrokeKeyMap::Input input;
    const QString text = key->text();
    input.character = text.size() == 1 ? char32_t(text.at(0).unicode()) : 0;
    input.keypad = key->modifiers() & Qt::KeypadModifier;
    input.release = key->type() == QEvent::KeyRelease;
    input.commandModifier = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (key->key()) {
    case Qt::Key_Space: input.named = StrokeKeyMap::Named::Space; break;
    case Qt::Key_Backspace: input.named = StrokeKeyMap::Named::Backspace; break;
    case Qt::Key_Escape: input.named = StrokeKeyMap::Named::Escape; break;
    case Qt::Key_PageUp: input.named = StrokeKeyMap::Named::PageUp; break;
    case Qt::Key_PageDown: input.named = StrokeKeyMap::Named::PageDown; break;
    case Qt::Key_Shift: input.named = StrokeKeyMap::Named::Shift; break;
    default:
        if (input.character == 0 || input.character < 0x20)
            input.named = StrokeKeyMap::Named::Other;
        break;
    }
    InputMethodManager::PanelKeys panel;
    m_manager.panelAction(ZKB_PANEL_QUERY, 0, &panel);
    const StrokeKeyMap::Action action = m_keys.map(input, {panel.strokes, panel.candidates});
    if (!input.release && m_keys.strokeEntry())
        setKeyMode(ZKB_PANEL_KEYS_STROKES);
    switch (action.kind) {
    case StrokeKeyMap::Kind::PassThrough:
        // The edit this key makes must not take the typed strokes with it.
        if (!input.release && panel.strokes > 0 && !m_keepStrokes) {
            m_keepStrokes = true;
            QMetaObject::invokeMethod(this, [this] { m_keepStrokes = false; }, Qt::QueuedConnection);
        }
        return false;
    case StrokeKeyMap::Kind::ToggleMode:
        setKeyMode(m_keys.strokeEntry() ? ZKB_PANEL_KEYS_STROKES : ZKB_PANEL_KEYS_PASSING);
        return false;
    case StrokeKeyMap::Kind::Consume:
        return true;
    case StrokeKeyMap::Kind::Stroke:
        m_manager.panelAction(ZKB_PANEL_STROKE, action.stroke);
        return true;
    case StrokeKeyMap::Kind::Choose:
        m_manager.panelAction(ZKB_PANEL_CHOOSE, action.index);
        return true;
    case StrokeKeyMap::Kind::ChooseFirst:
        m_manager.panelAction(ZKB_PANEL_CHOOSE, 0);
        return true;
    case StrokeKeyMap::Kind::PriorPage:
        m_manager.panelAction(ZKB_PANEL_PRIOR, 0);
        return true;
    case StrokeKeyMap::Kind::NextPage:
        m_manager.panelAction(ZKB_PANEL_NEXT, 0);
        return true;
    case StrokeKeyMap::Kind::BackSpace:
        m_manager.panelAction(ZKB_PANEL_BACKSPACE, 0);
        return true;
    case StrokeKeyMap::Kind::Clear:
        m_manager.panelAction(ZKB_PANEL_CLEAR, 0);
        return true;
    }
    return false;
}

void StrokeInputContext::setFocusObject(QObject* object)
{
    if (panelHasFocus(object)) {
        // The panel never takes the focus, but a platform may activate it
        // anyway when it appears (the offscreen one activates every window
        // it shows): hand the focus back to the window being typed in. The
        // field's window first reports no focus object at all, which must
        // not hide the panel either.
        if (m_focusWindow)
            m_focusWindow->requestActivate();
        return;
    }
    if (!object || !inputMethodAccepted() || isReadOnly(object) || !ensureLoaded()) {
        m_focus = nullptr;
        m_service.setTarget(nullptr);
        // Hiding closes the data files, which writes the learned weights.
        hidePanel();
        return;
    }
    if (object != m_focus) {
        if (!m_focusMoving) {
            m_focusMoving = true;
            QMetaObject::invokeMethod(this, [this] { m_focusMoving = false; }, Qt::QueuedConnection);
        }
        m_focus = object;
        m_service.setTarget(object);
        auto* widget = qobject_cast<QWidget*>(object);
        watchWindow(widget ? widget->window()->windowHandle() : QGuiApplication::focusWindow());
        applyHints();
        // Strokes and associations belong to the field they were typed in.
        resetInput();
        applyKeyboard();
        setKeyMode(ZKB_PANEL_KEYS_OFF);
        m_cursor = focusCursorPosition();
    }
    showPanel();
}

void StrokeInputContext::showInputPanel()
{
    if (m_focus)
        showPanel();
}

void StrokeInputContext::hideInputPanel()
{
    // Widgets ask for this as they lose the focus: after the field that
    // gains it was reported, and also while a platform activates the panel
    // by mistake (see setFocusObject). Neither may hide the panel.
    if (!m_focusMoving && !panelHasFocus(nullptr))
        hidePanel();
}

bool StrokeInputContext::isInputPanelVisible() const
{
    return m_manager.isPanelVisible();
}

QRectF StrokeInputContext::keyboardRect() const
{
    if (!isInputPanelVisible())
        return QRectF();
    if (const QWidget* panel = m_manager.panel())
        return QRectF(panel->frameGeometry());
    const QWindow* window = m_manager.panelWindow();
    return window ? QRectF(window->frameGeometry()) : QRectF();
}

void StrokeInputContext::reset()
{
    // Editors reset the input method as our own commits reach them too.
    if (!m_service.isApplying())
        resetInput();
}

void StrokeInputContext::commit()
{
    // Nothing is pending in the editor: a commit only ends the current word.
    if (!m_service.isApplying())
        resetInput();
}

void StrokeInputContext::update(Qt::InputMethodQueries queries)
{
    if (!m_focus || m_loadState != LoadState::Loaded)
        return;
    if (queries & (Qt::ImEnabled | Qt::ImReadOnly)) {
        if (isReadOnly(m_focus)) {
            // Nothing more reaches a field that became read-only.
            setFocusObject(nullptr);
            return;
        }
    }
    if (queries & Qt::ImHints) {
        applyHints();
        applyKeyboard();
    }
    if (queries & Qt::ImCursorPosition) {
        const int cursor = focusCursorPosition();
        if (cursor != m_cursor) {
            m_cursor = cursor;
            if (!m_service.isApplying() && !m_keepStrokes)
                resetInput();
        }
    }
}

bool StrokeInputContext::ensureLoaded()
{
    if (m_loadState != LoadState::NotTried)
        return m_loadState == LoadState::Loaded;
    m_loadState = LoadState::Failed;
    QStringList reasons;
    for (const QString& path : libraryCandidates()) {
        QString error;
        if (m_manager.load(path, &m_service, &error)) {
            m_loadState = LoadState::Loaded;
            break;
        }
        reasons << error;
    }
    if (m_loadState != LoadState::Loaded) {
        qWarning("%s: cannot load the stroke input method: %s", Key,
                 qPrintable(reasons.join(QLatin1String("; "))));
        return false;
    }
    if (QWidget* panel = m_manager.panel()) {
        panel->setFocusPolicy(Qt::NoFocus);
        panel->setWindowFlags(panel->windowFlags() | PanelFlags);
    } else if (QWindow* window = m_manager.panelWindow()) {
        window->setFlags(window->flags() | PanelFlags);
    }
    // Editors report this when the field scrolls or moves inside its window.
    connect(QGuiApplication::inputMethod(), &QInputMethod::cursorRectangleChanged, this,
            &StrokeInputContext::followField);
    // QApplication deletes no windows when it ends, and the component must
    // hide its panel (writing learned weights) while widgets still work:
    // post routines run first thing in the application's destructor.
    activeContext = this;
    qAddPostRoutine(shutdownAtExit);
    return true;
}

void StrokeInputContext::shutdownAtExit()
{
    if (!activeContext)
        return;
    activeContext->m_manager.shutdown();
    activeContext->m_loadState = LoadState::Failed;
    activeContext->m_focus = nullptr;
    activeContext->m_service.setTarget(nullptr);
    activeContext = nullptr;
}

bool StrokeInputContext::panelHasFocus(QObject* object) const
{
    QWindow* window = m_manager.panelWindow();
    if (window && (object == window || QGuiApplication::focusWindow() == window))
        return true;
    QWidget* panel = m_manager.panel();
    auto* widget = qobject_cast<QWidget*>(object);
    return panel && widget && (widget == panel || panel->isAncestorOf(widget));
}

void StrokeInputContext::showPanel()
{
    if (!m_manager.panel() && !m_manager.panelWindow())
        return;
    placePanel();
    if (!isInputPanelVisible()) {
        m_manager.showPanel();
        emitInputPanelVisibleChanged();
    }
    raisePanel();
    emitKeyboardRectChanged();
}

void StrokeInputContext::hidePanel()
{
    if (!isInputPanelVisible())
        return;
    m_manager.hidePanel();
    emitInputPanelVisibleChanged();
    emitKeyboardRectChanged();
}

void StrokeInputContext::watchWindow(QWindow* window)
{
    if (window == m_focusWindow)
        return;
    if (m_focusWindow)
        disconnect(m_focusWindow, nullptr, this, nullptr);
    m_focusWindow = window;
    if (!window)
        return;
    connect(window, &QWindow::xChanged, this, &StrokeInputContext::followField);
    connect(window, &QWindow::yChanged, this, &StrokeInputContext::followField);
    connect(window, &QWindow::screenChanged, this, &StrokeInputContext::followField);
}

void StrokeInputContext::followField()
{
    if (m_focus && isInputPanelVisible())
        placePanel();
}

void StrokeInputContext::placePanel()
{
    QScreen* screen = m_focusWindow ? m_focusWindow->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    applyScale(screen);
    if (QWidget* panel = m_manager.panel()) {
        panel->move(panelPosition(screen->availableGeometry(), panel->size(), cursorRect()));
    } else if (QWindow* window = m_manager.panelWindow()) {
        window->setPosition(panelPosition(screen->availableGeometry(), window->size(), cursorRect()));
    }
    if (isInputPanelVisible())
        raisePanel();
}

void StrokeInputContext::raisePanel()
{
    // Windows raised since, a full-screen one among them, must not cover it.
    // (Platforms without stacking, such as offscreen, only warn.)
    static const bool stacks = !QGuiApplication::platformName().startsWith(QLatin1String("offscreen"))
        && QGuiApplication::platformName() != QLatin1String("minimal");
    if (!stacks)
        return;
    if (QWidget* panel = m_manager.panel())
        panel->raise();
    else if (QWindow* window = m_manager.panelWindow())
        window->raise();
}

void StrokeInputContext::applyHints()
{
    const auto hints = Qt::InputMethodHints(queryObject(m_focus, Qt::ImHints).toInt());
    const bool learning = !(hints & (Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));
    if (learning == m_learning)
        return;
    if (m_manager.setLearning(learning))
        m_learning = learning;
    else
        qWarning("%s: the input method library cannot stop learning; it may remember what is typed here", Key);
}

void StrokeInputContext::resetInput()
{
    if (m_loadState == LoadState::Loaded)
        m_manager.resetInput();
}

int StrokeInputContext::focusCursorPosition() const
{
    const QVariant cursor = queryObject(m_focus, Qt::ImCursorPosition);
    return cursor.isValid() ? cursor.toInt() : -1;
}

QRect StrokeInputContext::cursorRect() const
{
    // The editor's cursor, in its window: what the panel must leave visible.
    const QRect cursor = QGuiApplication::inputMethod()->cursorRectangle().toAlignedRect();
    if (m_focusWindow && cursor.isValid() && cursor.width() >= 0 && cursor.height() > 0)
        return QRect(m_focusWindow->mapToGlobal(cursor.topLeft()), cursor.size().expandedTo(QSize(1, 1)));
    return focusRect();
}

QRect StrokeInputContext::focusRect() const
{
    if (auto* widget = qobject_cast<QWidget*>(m_focus.data()))
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    // Other items (Qt Quick's) tell the input method where they are.
    const QRect item = inputItemRectangle().toAlignedRect();
    if (!m_focusWindow || !item.isValid())
        return QRect();
    return item.translated(m_focusWindow->mapToGlobal(QPoint(0, 0)));
}
