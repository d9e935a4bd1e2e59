#pragma once

#include "config/set_option_choices.h"
#include "sets/set_naming.h"

#include <QGroupBox>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane::ui {

// The name, location and date fields of the new-set dialog and the wizard's first step, bound
// to their model.
class NamingFieldsWidget : public QWidget {
    Q_OBJECT

public:
    NamingFieldsWidget(SetNamingFields& model, QWidget* parent);

    QLineEdit* nameBox() const { return m_name; }
    // Shows the model's values and enabled states.
    void refresh();
    // The focus in the name box, its trimmed text selected.
    void focusName();

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SetNamingFields& m_model;
    QLineEdit* m_name;
    QLineEdit* m_location;
    QPushButton* m_browse;
    QCheckBox* m_useDate;
};

// "Compression Style" and the three set options, bound to their choices.
class OptionFieldsWidget : public QGroupBox {
    Q_OBJECT

public:
    OptionFieldsWidget(SetOptionChoices& choices, std::string_view frameTitle, QWidget* parent);

private:
    SetOptionChoices& m_choices;
    QComboBox* m_compression;
    QCheckBox* m_addNew;
    QCheckBox* m_freshen;
    QCheckBox* m_addAllFolders;
};

}  // namespace corvane::ui
