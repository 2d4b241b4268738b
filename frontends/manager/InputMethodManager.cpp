#include "InputMethodManager.h"

#include <QFile>

#include <dlfcn.h>

namespace {
// Any address unique to this host will do: the component copies it into
// every key command and never dereferences it.
const char HostCommandClass = 0;

template <typename Command>
ZCmd<ZKB_MGRCMD_T>* asCommand(Command* cmd)
{
    return reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(cmd);
}
} // namespace

InputMethodManager::InputMethodManager() = default;

InputMethodManager::~InputMethodManager()
{
    shutdown();
}

const void* InputMethodManager::commandTag()
{
    return &HostCommandClass;
}

bool InputMethodManager::load(const QString& libraryPath, ZKbServiceInterface* service, QString* error)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        shutdown();
        return false;
    };
    if (m_library)
        return fail(QStringLiteral("an input method is already loaded"));

    m_library = dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library)
        return fail(QString::fromLocal8Bit(dlerror()));
    auto instantiate = reinterpret_cast<UcmInstantiateFn>(dlsym(m_library, UCM_INSTANTIATE_SYMBOL));
    if (!instantiate)
        return fail(QStringLiteral("%1 has no %2").arg(libraryPath, QLatin1String(UCM_INSTANTIATE_SYMBOL)));

    m_unknown = instantiate();
    if (!m_unknown)
        return fail(QStringLiteral("%1 returned no component").arg(QLatin1String(UCM_INSTANTIATE_SYMBOL)));
    m_unknown->addRef();

    QUnknownInterface* iface = nullptr;
    if (m_unknown->queryInterface(IID_ZInputMethodFactory, &iface) != QRS_SUCCESS || !iface)
        return fail(QStringLiteral("the component is not an input-method factory"));
    m_factory = static_cast<ZInputMethodFactory*>(iface);
    if (m_unknown->queryInterface(IID_QLibrary, &iface) != QRS_SUCCESS || !iface)
        return fail(QStringLiteral("the component has no library interface"));
    m_libraryInterface = static_cast<QLibraryInterface*>(iface);

    if (!m_libraryInterface->init())
        return fail(QStringLiteral("the component failed to initialise"));
    // The widget takes the service when it is created, so register first.
    m_factory->registerService(service);
    QList<ZInputMethodInterface*> methods;
    m_factory->registerInputMethods(&methods);
    if (methods.isEmpty() || !methods.first())
        return fail(QStringLiteral("the component registered no input method"));
    m_inputMethod = methods.first();

    if (!m_inputMethod->activate(ZKbOwner(), QPoint()))
        return fail(QStringLiteral("the input method could not be activated"));
    // This first settings command also gives the component our command class.
    ZKbCmdGetWidget request{commandTag(), ZKB_MGRCMD_GET_WIDGET, 0, nullptr};
    if (!m_inputMethod->settingCmd(asCommand(&request)) || !request.widget)
        return fail(QStringLiteral("the input method gave no input widget"));
    m_panel = request.widget;
    return true;
}

QString InputMethodManager::inputMethodName() const
{
    return m_inputMethod ? m_inputMethod->name() : QString();
}

QString InputMethodManager::description() const
{
    return m_factory ? m_factory->description() : QString();
}

void InputMethodManager::showPanel()
{
    if (m_panel)
        m_panel->show();
}

void InputMethodManager::hidePanel()
{
    if (m_inputMethod)
        m_inputMethod->hide();
}

bool InputMethodManager::resetInput()
{
    if (!m_inputMethod)
        return false;
    ZCmd<ZKB_MGRCMD_T> reset{commandTag(), ZKB_MGRCMD_RESET};
    return m_inputMethod->settingCmd(&reset);
}

bool InputMethodManager::setLearning(bool on)
{
    if (!m_inputMethod)
        return false;
    ZKbCmdSetLearning cmd{commandTag(), ZKB_MGRCMD_SET_LEARNING, on ? 1u : 0u};
    return m_inputMethod->settingCmd(asCommand(&cmd));
}

void InputMethodManager::shutdown()
{
    if (m_inputMethod)
        m_inputMethod->hide();
    // The panel belongs to the component; take it out of our window so that
    // only the component deletes it.
    if (m_panel)
        m_panel->setParent(nullptr);
    if (m_libraryInterface)
        m_libraryInterface->cleanup();
    if (m_unknown)
        m_unknown->release();
    m_unknown = nullptr;
    m_factory = nullptr;
    m_inputMethod = nullptr;
    m_libraryInterface = nullptr;
    m_panel = nullptr;
    if (m_library)
        dlclose(m_library);
    m_library = nullptr;
}
