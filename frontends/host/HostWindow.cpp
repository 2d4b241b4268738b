#include "HostWindow.h"

#include "InputMethodManager.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

HostWindow::HostWindow(InputMethodManager* manager)
    : m_manager(manager)
    , m_field(new QLineEdit(this))
    , m_layout(new QVBoxLayout(this))
    , m_toggle(new QPushButton(tr("Hide panel"), this))
    , m_service(m_field, InputMethodManager::commandTag())
{
    setWindowTitle(tr("DiroruDIV host"));
    m_field->setPlaceholderText(tr("Tap strokes on the panel below"));
    m_layout->addWidget(m_field);

    auto* controls = new QHBoxLayout;
    auto* clear = new QPushButton(tr("Clear"), this);
    // The panel takes no focus, so the text field keeps its cursor while the
    // user taps keys; the buttons should not take it either.
    m_toggle->setFocusPolicy(Qt::NoFocus);
    clear->setFocusPolicy(Qt::NoFocus);
    controls->addWidget(m_toggle);
    controls->addWidget(clear);
    controls->addStretch();
    m_layout->addLayout(controls);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_toggle, &QPushButton::clicked, this, [this] { setPanelShown(!isPanelShown()); });
    connect(clear, &QPushButton::clicked, this, [this] { clearText(); });
    connect(m_field, &QLineEdit::textChanged, this, [this] { onTextChanged(); });
}

HostWindow::~HostWindow()
{
    // The panel belongs to the input method, never to this window.
    if (m_panel)
        m_panel->setParent(nullptr);
}

void HostWindow::attachPanel(QWidget* panel)
{
    m_panel = panel;
    if (!panel)
        return;
    m_layout->insertWidget(1, panel);
    panel->setFocusPolicy(Qt::NoFocus);
    setPanelShown(true);
    m_field->setFocus();
}

void HostWindow::setPanelShown(bool shown)
{
    if (shown)
        m_manager->showPanel();
    else
        m_manager->hidePanel();
    m_toggle->setText(isPanelShown() ? tr("Hide panel") : tr("Show panel"));
}

bool HostWindow::isPanelShown() const
{
    return m_panel && !m_panel->isHidden();
}

void HostWindow::clearText()
{
    if (m_field->text().isEmpty())
        m_manager->resetInput();
    else
        m_field->clear();  // the change resets the input state
}

void HostWindow::onTextChanged()
{
    // Strokes and candidates belong to the text as the input method left it;
    // any other change (typing, pasting, clearing) makes them stale.
    if (!m_service.isApplying())
        m_manager->resetInput();
}
