#pragma once

#include "config/folders_reminder.h"
#include "sets/entry_dialogs.h"
#include "sets/folder_picker.h"
#include "ui/model_dialog.h"

class QCheckBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace corvane::ui {

// What the wildcard and exclusion windows share: the one box bound to its model, OK enabled
// while it holds text, the focus back in the box after a refused entry.
class EntryWindow : public ModelDialog {
    Q_OBJECT

public:
    void reject() override;

protected:
    EntryWindow(EntryDialog& model, QtHost& host, QWidget* parent, const char* objectName,
                std::string_view title, int helpTopic, const char* boxName, std::string_view label);
    // Lays out the intro, the labelled box, the hint below it and the buttons.
    void build(std::string_view intro, std::string_view hint,
               std::initializer_list<QPushButton*> chooseButtons);
    void refresh();
    void ok();
    // The box with its text selected as the model says (after a choose button: at its end).
    void focusBox(bool selectText);
    bool eventFilter(QObject* watched, QEvent* event) override;

    EntryDialog& m_model;
    QLineEdit* m_box;
    QString m_label;
    QPushButton* m_ok;
};

// "Add WildCard".
class WildcardWindow final : public EntryWindow {
    Q_OBJECT

public:
    WildcardWindow(WildcardDialog& model, QtHost& host, QWidget* parent);
};

// "Add Exclusion".
class ExclusionWindow final : public EntryWindow {
    Q_OBJECT

public:
    ExclusionWindow(ExclusionDialog& model, QtHost& host, QWidget* parent);
};

// "Add Folder(s)": a folder tree of the file system.
class FolderPickerWindow final : public ModelDialog {
    Q_OBJECT

public:
    FolderPickerWindow(FolderPicker& model, QtHost& host, QWidget* parent);
    // "&Close", Escape and the close box; refused while a folder is being added.
    void reject() override;
    // Moves the tree's selection to `path` (a test, or a user typing, picks a folder so).
    void selectPath(const QString& path);

private:
    void refresh();

    FolderPicker& m_model;
    QFileSystemModel* m_folders;
    QTreeView* m_tree;
    QPushButton* m_add;
    QPushButton* m_close;
};

// "Reminder" about "Always include all found folders".
class ReminderWindow final : public ModelDialog {
    Q_OBJECT

public:
    ReminderWindow(FoldersReminder& model, QtHost& host, QWidget* parent);
    void done(int result) override;

private:
    FoldersReminder& m_model;
    QCheckBox* m_showAgain;
};

}  // namespace corvane::ui
