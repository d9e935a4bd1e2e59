#pragma once

#include "registry/registry_window.h"
#include "ui/model_dialog.h"

class QPushButton;
class QTreeWidget;

namespace corvane::ui {

// "System Registry Backup": the system files found, copied to the backup folder on "&Backup".
class RegistryBackupWindow final : public ModelDialog {
    Q_OBJECT

public:
    RegistryBackupWindow(RegistryWindow& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    void refresh();

    RegistryWindow& m_model;
    QTreeWidget* m_list;
    QPushButton* m_backup;
    QPushButton* m_startupDisk;
};

}  // namespace corvane::ui
