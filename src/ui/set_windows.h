#pragma once

#include "sets/default_location_dialog.h"
#include "sets/new_set_dialog.h"
#include "sets/open_set_dialog.h"
#include "ui/model_dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace corvane::ui {

class NamingFieldsWidget;

// "New Backup Set".
class NewSetWindow final : public ModelDialog {
    Q_OBJECT

public:
    NewSetWindow(NewSetDialog& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    void ok();

    NewSetDialog& m_model;
    NamingFieldsWidget* m_naming;
    QPushButton* m_ok;
};

// "Open an Existing Backup Set".
class OpenSetWindow final : public ModelDialog {
    Q_OBJECT

public:
    OpenSetWindow(OpenSetDialog& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    void refresh();

    OpenSetDialog& m_model;
    QTreeWidget* m_list;
    QPushButton* m_open;
    QPushButton* m_delete;
};

// "Backup Default Location".
class DefaultLocationWindow final : public ModelDialog {
    Q_OBJECT

public:
    DefaultLocationWindow(DefaultLocationDialog& model, QtHost& host, QWidget* parent);
    // "&Close", Escape and the close box alike store the location.
    void reject() override;

private:
    void refresh();

    DefaultLocationDialog& m_model;
    QLineEdit* m_location;
    QCheckBox* m_useDate;
};

}  // namespace corvane::ui
