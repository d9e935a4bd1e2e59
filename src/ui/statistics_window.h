#pragma once

#include "sets/set_statistics.h"
#include "ui/model_dialog.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace corvane::ui {

// "Backup Set Properties": the statistics of the open set, calculated on request.
class StatisticsWindow final : public ModelDialog {
    Q_OBJECT

public:
    StatisticsWindow(SetStatistics& model, QtHost& host, QWidget* parent);
    // OK, Escape and the close box; refused while a calculation runs.
    void reject() override;

private:
    void calculate();
    void refresh();

    SetStatistics& m_model;
    QLineEdit* m_files;
    QLineEdit* m_folders;
    QLineEdit* m_uncompressed;
    QLineEdit* m_compressed;
    QLineEdit* m_dataStatus;
    QProgressBar* m_progress;
    QPushButton* m_calculate;
    QPushButton* m_ok;
    QPushButton* m_help;
};

}  // namespace corvane::ui
