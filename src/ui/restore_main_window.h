#pragma once

#include "app/help_pages.h"
#include "restore/restore_window.h"
#include "ui/model_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeView;
class QTreeWidget;
class QVBoxLayout;

namespace corvane::ui {

class RestoreTreeModel;

// The restore program's window (cvrest with a display): one page for each step of its model
// (no archive, choose, conflicts, running, summary, test report), every rule in the model.
class RestoreMainWindow final : public ModelDialog {
    Q_OBJECT

public:
    static constexpr int kHelpTopic = 80;

    RestoreMainWindow(restore::RestoreWindow& model, QtHost& host, DesktopOpener& opener,
                      QWidget* parent = nullptr);
    ~RestoreMainWindow() override;

    RestoreTreeModel* treeModel() const { return m_treeModel; }
    QTreeView* treeView() const { return m_tree; }
    // Close, Escape and the close box: while a restore or test runs they cancel it instead.
    void reject() override;

protected:
    // Escape cancels a running restore or test, and clears the filter; it never closes the
    // program's only window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* makeEmptyPage();
    QWidget* makeChoosePage();
    QWidget* makeConflictsPage();
    QWidget* makeRunningPage();
    QWidget* makeSummaryPage();
    QWidget* makeTestPage();
    void refresh();
    void refreshChoose();
    void refreshConflicts();
    void refreshChoices();
    void refreshRunning();
    void refreshSummary();
    void refreshTest();
    void openFolder();

    restore::RestoreWindow& m_model;
    DesktopOpener& m_opener;
    RestoreTreeModel* m_treeModel = nullptr;
    std::size_t m_shownTree = static_cast<std::size_t>(-1);
    restore::WindowStep m_shownStep = restore::WindowStep::Empty;
    bool m_refreshing = false;

    QStackedWidget* m_pages = nullptr;
    QWidget* m_header = nullptr;
    QLineEdit* m_archive = nullptr;
    QLineEdit* m_filter = nullptr;
    QTreeView* m_tree = nullptr;
    QLabel* m_chosen = nullptr;
    QRadioButton* m_original = nullptr;
    QRadioButton* m_toFolder = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_keepFolders = nullptr;
    QSpinBox* m_strip = nullptr;
    QComboBox* m_policy = nullptr;
    QCheckBox* m_systemValidate = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_restore = nullptr;
    QLabel* m_conflictsIntro = nullptr;
    QTreeWidget* m_conflicts = nullptr;
    QLabel* m_operation = nullptr;
    QLabel* m_entry = nullptr;
    QLabel* m_count = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_headline = nullptr;
    QLabel* m_skippedIntro = nullptr;
    QTreeWidget* m_skipped = nullptr;
    QVBoxLayout* m_summaryLayout = nullptr;
    QPushButton* m_openFolder = nullptr;
    QLabel* m_testHeadline = nullptr;
    QTreeWidget* m_testLines = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace corvane::ui
