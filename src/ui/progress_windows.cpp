#include "ui/progress_windows.h"

#include "host/dialog_texts.h"
#include "ui/icons.h"
#include "ui/ui_text.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

constexpr int kFrames = 12;
constexpr int kFrameMilliseconds = 120;

// A dialog without a close button in its title bar.
constexpr Qt::WindowFlags kNoCloseBox = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

}  // namespace

ActivityAnimation::ActivityAnimation(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("aniActivity"));
    m_timer.setInterval(kFrameMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % kFrames;
        update();
    });
    setMinimumSize(sizeHint());
}

void ActivityAnimation::play(bool testing) {
    m_testing = testing;
    if (!m_timer.isActive()) m_timer.start();
    update();
}

void ActivityAnimation::stop() {
    m_timer.stop();
    update();
}

void ActivityAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int icon = 32;
    const int top = (height() - icon) / 2;
    const QIcon from = m_testing ? pictureIcon(Picture::Backup) : pictureIcon(Picture::Folder);
    const QIcon to = m_testing ? QIcon::fromTheme(QStringLiteral("emblem-ok-symbolic"),
                                                  bundledIcon("help-browser"))
                               : pictureIcon(Picture::Backup);
    from.paint(&p, QRect(4, top, icon, icon));
    to.paint(&p, QRect(width() - icon - 4, top, icon, icon));
    // One page on its way from left to right; it rests while the operation is stopped.
    const int span = width() - 2 * icon - 24;
    const int step = playing() ? m_frame : 0;
    const int x = icon + 8 + span * step / (kFrames - 1);
    pictureIcon(Picture::File).paint(&p, QRect(x, top + 6, 20, 20));
}

ProgressWindow::ProgressWindow(ProgressDisplay& display, QWidget* parent)
    : QDialog(parent, kNoCloseBox), m_display(display) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(qs(dialog_texts::kProgressTitle));
    setModal(false);

    auto* frame = new QGroupBox(QStringLiteral("Status"), this);
    frame->setObjectName(QStringLiteral("fraStatus"));
    m_operation = new QLabel(frame);
    m_operation->setObjectName(QStringLiteral("lblOperation"));
    m_operation->setTextFormat(Qt::PlainText);
    m_operation->setMinimumWidth(420);
    // A long path is cut on the left, where its least telling part is.
    m_operation->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_operation);

    auto bar = [this](const char* name, const char* caption) {
        auto* made = new QProgressBar(this);
        nameControl(made, name, caption);
        made->setRange(0, 100);
        return made;
    };
    m_file = bar("prgFile", "Current File Progress:");
    m_overall = bar("prgOverall", "Overall Progress:");
    auto value = [this](const char* name, const char* caption) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAccessibleName(QString::fromLatin1(caption));
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    m_files = value("txtFiles", "Files Processed:");
    m_bytes = value("txtBytes", "Bytes Processed:");
    m_ratio = value("txtRatio", "Ratio Achieved:");
    m_animation = new ActivityAnimation(this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    nameControl(m_cancel, "cmdCancel", "&Cancel");
    m_cancel->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Current File Progress:"), m_file);
    form->addRow(QStringLiteral("Overall Progress:"), m_overall);
    form->addRow(QStringLiteral("Files Processed:"), m_files);
    form->addRow(QStringLiteral("Bytes Processed:"), m_bytes);
    form->addRow(QStringLiteral("Ratio Achieved:"), m_ratio);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_animation);
    bottom->addStretch(1);
    bottom->addWidget(m_cancel, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(form);
    layout->addLayout(bottom);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_display.cancel(); });
    fitToWidth(this, 520);
}

void ProgressWindow::sync() {
    const QString line = qs(m_display.operationLine());
    m_operation->setText(m_operation->fontMetrics().elidedText(
        line, Qt::ElideLeft, std::max(100, m_operation->width())));
    m_operation->setToolTip(line);
    m_file->setValue(m_display.filePercent());
    m_overall->setValue(m_display.overallPercent());
    m_files->setText(qs(m_display.files()));
    m_bytes->setText(qs(m_display.bytes()));
    m_ratio->setText(qs(m_display.ratio()));
    m_cancel->setEnabled(m_display.cancelEnabled());
    if (m_display.animationPlaying()) {
        m_animation->play(m_display.kind() == ProgressKind::Test);
    } else {
        m_animation->stop();
    }
    if (m_display.isVisible() && !isVisible()) show();
    if (!m_display.isVisible() && isVisible()) hide();
}

void ProgressWindow::reject() {
    // Escape is the Cancel button; the window itself closes when the operation ends.
    if (m_display.cancelEnabled()) m_cancel->click();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

PreviewingWindow::PreviewingWindow(PreviewingDisplay& display, QWidget* parent)
    : QDialog(parent, kNoCloseBox), m_display(display) {
    setObjectName(QStringLiteral("frmPreviewing"));
    setWindowTitle(qs(dialog_texts::kPreviewingTitle));
    auto* text = new QLabel(qs(dialog_texts::kPreviewingText), this);
    text->setObjectName(QStringLiteral("lblText"));
    text->setTextFormat(Qt::PlainText);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("lblFile"));
    m_file->setTextFormat(Qt::PlainText);
    m_file->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_file->setMinimumWidth(380);
    m_animation = new ActivityAnimation(this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    nameControl(cancel, "cmdCancel", "&Cancel");
    cancel->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_animation, 0, Qt::AlignHCenter);
    layout->addWidget(m_file);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(cancel, &QPushButton::clicked, this, [this] { m_display.cancel(); });
    fitToWidth(this, 440);
}

void PreviewingWindow::sync() {
    const QString file = qs(m_display.file());
    m_file->setText(
        m_file->fontMetrics().elidedText(file, Qt::ElideLeft, std::max(100, m_file->width())));
    if (m_display.isOpen()) {
        m_animation->play(true);
        if (!isVisible()) show();
    } else {
        m_animation->stop();
        hide();
    }
}

void PreviewingWindow::reject() {
    m_display.cancel();
}

void PreviewingWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace corvane::ui
