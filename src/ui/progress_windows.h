#pragma once

#include "app/progress_display.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace corvane::ui {

// A small moving picture that shows that an operation is at work: files travel from a folder
// into the archive (a backup) or through a magnifier (a test or a preview).
class ActivityAnimation final : public QWidget {
    Q_OBJECT

public:
    explicit ActivityAnimation(QWidget* parent);
    void play(bool testing);
    void stop();
    bool playing() const { return m_timer.isActive(); }
    QSize sizeHint() const override { return {220, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
    bool m_testing = false;
};

// "Corvane - Operation Status": shows its display and cannot be closed from its title bar; its
// Cancel (or Escape) is the display's Cancel.
class ProgressWindow final : public QDialog {
    Q_OBJECT

public:
    ProgressWindow(ProgressDisplay& display, QWidget* parent);
    // Shows what the display holds, and the window itself while the display is visible.
    void sync();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ProgressDisplay& m_display;
    QLabel* m_operation;
    QProgressBar* m_file;
    QProgressBar* m_overall;
    QLabel* m_files;
    QLabel* m_bytes;
    QLabel* m_ratio;
    ActivityAnimation* m_animation;
    QPushButton* m_cancel;
};

// "Previewing...".
class PreviewingWindow final : public QDialog {
    Q_OBJECT

public:
    PreviewingWindow(PreviewingDisplay& display, QWidget* parent);
    void sync();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PreviewingDisplay& m_display;
    QLabel* m_file;
    ActivityAnimation* m_animation;
};

}  // namespace corvane::ui
