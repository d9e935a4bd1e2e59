#pragma once

#include "sets/new_set_wizard.h"
#include "ui/model_dialog.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace corvane::ui {

class NamingFieldsWidget;

// "Corvane Wizard": three steps that build and save a new set.
class WizardWindow final : public ModelDialog {
    Q_OBJECT

public:
    WizardWindow(NewSetWizard& model, QtHost& host, QWidget* parent);
    // "&Cancel", Escape and the close box ask before leaving.
    void reject() override;

private:
    void refresh();
    void next();

    NewSetWizard& m_model;
    QLabel* m_picture;
    QLabel* m_title;
    QLabel* m_text;
    QLabel* m_note;
    QStackedWidget* m_pages;
    NamingFieldsWidget* m_naming;
    QPushButton* m_back;
    QPushButton* m_next;
};

}  // namespace corvane::ui
