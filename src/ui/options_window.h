#pragma once

#include "config/options_dialog.h"
#include "ui/model_dialog.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace corvane::ui {

// "Configuration Settings": six pages chosen by the icons down the left side.
class OptionsWindow final : public ModelDialog {
    Q_OBJECT

public:
    OptionsWindow(OptionsDialog& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    QWidget* makePage(int page, QWidget* controls);
    QWidget* setPage();
    QWidget* basicPage();
    QWidget* restorePage();
    QWidget* passwordPage();
    QWidget* advancedPage();
    QWidget* testingPage();
    QCheckBox* makeCheck(const char* objectName, std::string_view caption, bool& field);
    void showPage(int page);
    void syncPasswordBoxes();
    void browseMenu();
    void ok();

    OptionsDialog& m_model;
    std::array<QToolButton*, 6> m_icons{};
    QStackedWidget* m_pages;
    QComboBox* m_compression = nullptr;
    QCheckBox* m_addAllFolders = nullptr;
    QCheckBox* m_password = nullptr;
    QLineEdit* m_pass1 = nullptr;
    QLineEdit* m_pass2 = nullptr;
    QLineEdit* m_tempFolder = nullptr;
    QMenu* m_browseMenu = nullptr;
    QAction* m_clearAction = nullptr;
    QButtonGroup* m_tests = nullptr;
};

}  // namespace corvane::ui
