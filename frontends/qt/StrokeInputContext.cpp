#include "StrokeInputContext.h"

#include <QApplication>
#include <QFile>
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

QPoint StrokeInputContext::panelPosition(const QRect& available, const QSize& panel, const QRect& field)
{
    const int centre = field.isValid() ? field.center().x() : available.center().x();
    const int rightmost = available.x() + available.width() - panel.width();
    const int x = std::max(available.x(), std::min(centre - panel.width() / 2, rightmost));
    int y = available.y() + available.height() - panel.height();
    if (field.isValid() && QRect(QPoint(x, y), panel).intersects(field)) {
        const int above = field.y() - panel.height();
        if (above >= available.y())
            y = above;
    }
    return {x, y};
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
    if (!object || !inputMethodAccepted() || !ensureLoaded()) {
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
    const QWidget* panel = m_manager.panel();
    return panel && panel->isVisible();
}

QRectF StrokeInputContext::keyboardRect() const
{
    return isInputPanelVisible() ? QRectF(m_manager.panel()->frameGeometry()) : QRectF();
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
    if (queries & Qt::ImHints)
        applyHints();
    if (queries & Qt::ImCursorPosition) {
        const int cursor = focusCursorPosition();
        if (cursor != m_cursor) {
            m_cursor = cursor;
            if (!m_service.isApplying())
                resetInput();
        }
    }
}

bool StrokeInputContext::ensureLoaded()
{
    if (m_loadState != LoadState::NotTried)
        return m_loadState == LoadState::Loaded;
    m_loadState = LoadState::Failed;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        qWarning("%s: the stroke panel is a widget and needs a QApplication; no input method", Key);
        return false;
    }
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
    m_manager.panel()->setFocusPolicy(Qt::NoFocus);
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
    QWidget* panel = m_manager.panel();
    if (!panel)
        return false;
    QWindow* window = panel->windowHandle();
    if (window && (object == window || QGuiApplication::focusWindow() == window))
        return true;
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && (widget == panel || panel->isAncestorOf(widget));
}

void StrokeInputContext::showPanel()
{
    QWidget* panel = m_manager.panel();
    if (!panel)
        return;
    placePanel();
    if (!panel->isVisible()) {
        m_manager.showPanel();
        emitInputPanelVisibleChanged();
    }
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
    QWidget* panel = m_manager.panel();
    QScreen* screen = m_focusWindow ? m_focusWindow->screen() : QGuiApplication::primaryScreen();
    if (!panel || !screen)
        return;
    const QSize size = panel->sizeHint();
    panel->resize(size);
    panel->move(panelPosition(screen->availableGeometry(), size, focusRect()));
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
