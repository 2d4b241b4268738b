#pragma once

#include "TextFieldService.h"

#include <QPointer>
#include <QWidget>

class InputMethodManager;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The host's one window: a text field, the input method's panel under it,
// and controls to hide or show the panel and to clear the field.
class HostWindow : public QWidget
{
public:
    explicit HostWindow(InputMethodManager* manager);
    ~HostWindow() override;

    QLineEdit* field() const { return m_field; }
    TextFieldService* service() { return &m_service; }

    // Places the panel under the text field and shows it.
    void attachPanel(QWidget* panel);
    void setPanelShown(bool shown);
    bool isPanelShown() const;
    // Empties the field; the input state is reset with it.
    void clearText();

private:
    void onTextChanged();

    InputMethodManager* m_manager;
    QLineEdit* m_field;
    QVBoxLayout* m_layout;
    QPushButton* m_toggle;
    TextFieldService m_service;
    QPointer<QWidget> m_panel;
};
