#pragma once

#include "ui/qt_host.h"

#include <QDialog>
#include <string_view>

class QLabel;
class QPushButton;

namespace corvane::ui {

// The base of every window bound to a presentation model: its name and title, F1 for its help
// topic, and helpers that make named controls.
class ModelDialog : public QDialog {
    Q_OBJECT

public:
    // `helpTopic` 0: F1 opens the contents page.
    ModelDialog(QtHost& host, QWidget* parent, const char* objectName, std::string_view title,
                int helpTopic);

protected:
    // A push button whose caption may carry an access key.
    QPushButton* makeButton(const char* objectName, std::string_view caption);
    // A label that wraps, for texts given as they are shown.
    QLabel* makeLabel(const char* objectName, std::string_view text, bool wrap = true);
    void showHelp() { m_host.showHelp(m_helpTopic); }
    void keyPressEvent(QKeyEvent* event) override;

    QtHost& m_host;
    int m_helpTopic;
};

}  // namespace corvane::ui
