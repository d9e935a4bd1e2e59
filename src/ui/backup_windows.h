#pragma once

#include "config/password_prompt.h"
#include "engine/backup_type_dialog.h"
#include "ui/model_dialog.h"

#include <QTimer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace corvane::ui {

// "Select Type of Backup": accepted by "&Start Backup".
class BackupTypeWindow final : public ModelDialog {
    Q_OBJECT

public:
    BackupTypeWindow(BackupTypeDialog& model, QtHost& host, QWidget* parent);

private:
    void refresh();

    BackupTypeDialog& m_model;
    QRadioButton* m_single;
    QRadioButton* m_multiple;
    QRadioButton* m_cd;
    QComboBox* m_size;
};

// "CDR/CDRW Information".
class CdReminderWindow final : public ModelDialog {
    Q_OBJECT

public:
    CdReminderWindow(CdReminderDialog& model, QtHost& host, QWidget* parent);
    void done(int result) override;

private:
    CdReminderDialog& m_model;
    QCheckBox* m_showAgain;
};

// "Preview Backup Archive Size": accepted by "&Yes".
class PreviewQuestionWindow final : public ModelDialog {
    Q_OBJECT

public:
    PreviewQuestionWindow(QtHost& host, QWidget* parent);
};

// "Password Protected Backup Archive".
class PasswordWindow final : public ModelDialog {
    Q_OBJECT

public:
    PasswordWindow(PasswordPrompt& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    PasswordPrompt& m_model;
    QLineEdit* m_password;
};

// "Maximum Archive Size".
class MaximumSizeWindow final : public QDialog {
    Q_OBJECT

public:
    explicit MaximumSizeWindow(QWidget* parent);
};

// "Backup Error": closes itself after `milliseconds` when nobody presses OK.
class TimedErrorWindow final : public QDialog {
    Q_OBJECT

public:
    TimedErrorWindow(int milliseconds, QWidget* parent);

private:
    QTimer m_timer;
};

}  // namespace corvane::ui
