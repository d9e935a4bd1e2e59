#pragma once

#include "app/offsite_dialog.h"
#include "ui/model_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane::ui {

// "Off-site Copy": the open set's section of Offsite.ini, with a connection test.
class OffsiteWindow final : public ModelDialog {
    Q_OBJECT

public:
    OffsiteWindow(OffsiteDialog& model, QtHost& host, QWidget* parent);
    ~OffsiteWindow() override;
    // Cancel, Escape and the close box: while a test runs they stop it instead.
    void reject() override;

private:
    void refresh();

    OffsiteDialog& m_model;
    QLineEdit* m_url;
    QLineEdit* m_endpoint;
    QLineEdit* m_region;
    QLineEdit* m_credentials;
    QLineEdit* m_keep;
    QLabel* m_result;
    QPushButton* m_test;
    QPushButton* m_ok;
    QPushButton* m_browse;
};

}  // namespace corvane::ui
