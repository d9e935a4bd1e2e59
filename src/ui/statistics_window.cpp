#include "ui/statistics_window.h"

#include "ui/ui_text.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

QColor statusColour(StatusColour colour) {
    switch (colour) {
        case StatusColour::Green:
            return QColor(0, 160, 0);
        case StatusColour::Yellow:
            return QColor(255, 255, 0);
        case StatusColour::Red:
            return QColor(220, 0, 0);
        case StatusColour::None:
            break;
    }
    return {};
}

}  // namespace

StatisticsWindow::StatisticsWindow(SetStatistics& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmStatistics", SetStatistics::kTitle, SetStatistics::kHelpTopic),
      m_model(model) {
    auto* form = new QFormLayout;
    auto field = [&](const char* name, std::string_view caption) {
        auto* box = new QLineEdit(this);
        nameControl(box, name, caption);
        box->setReadOnly(true);
        auto* label = new QLabel(qs(caption), this);
        label->setBuddy(box);
        form->addRow(label, box);
        return box;
    };
    m_files = field("txtFiles", SetStatistics::kFilesLabel);
    m_folders = field("txtFolders", SetStatistics::kFoldersLabel);
    m_uncompressed = field("txtUncompressed", SetStatistics::kUncompressedLabel);
    m_compressed = field("txtCompressed", SetStatistics::kCompressedLabel);
    m_dataStatus = field("txtDataStatus", SetStatistics::kDataStatusLabel);

    auto* frame = new QGroupBox(qs(SetStatistics::kStatusFrame), this);
    frame->setObjectName(QStringLiteral("fraStatus"));
    m_progress = new QProgressBar(frame);
    nameControl(m_progress, "prgStatus", SetStatistics::kStatusFrame);
    m_progress->setTextVisible(false);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_progress);

    m_calculate = makeButton("cmdCalculate", SetStatistics::kCalculateCaption);
    m_ok = makeButton("cmdOK", "OK");
    m_help = makeButton("cmdHelp", "&Help");
    m_calculate->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", SetStatistics::kIntro));
    layout->addLayout(form);
    layout->addWidget(frame);
    auto* row = new QHBoxLayout;
    row->addWidget(m_calculate);
    row->addStretch(1);
    row->addWidget(m_ok);
    row->addWidget(m_help);
    layout->addLayout(row);

    connect(m_calculate, &QPushButton::clicked, this, &StatisticsWindow::calculate);
    connect(m_ok, &QPushButton::clicked, this, &StatisticsWindow::reject);
    connect(m_help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 560);
    refresh();
}

void StatisticsWindow::calculate() {
    // The bar and the buttons follow the count while it runs.
    const QMetaObject::Connection redraw =
        connect(&m_host, &QtHost::eventsPumped, this, &StatisticsWindow::refresh);
    m_ok->setEnabled(false);
    m_help->setEnabled(false);
    m_model.calculate();
    disconnect(redraw);
    refresh();
}

void StatisticsWindow::refresh() {
    m_files->setText(qs(m_model.filesText()));
    m_folders->setText(qs(m_model.foldersText()));
    m_uncompressed->setText(qs(m_model.uncompressedText()));
    m_compressed->setText(qs(m_model.compressedText()));
    m_dataStatus->setText(qs(m_model.dataStatusText()));
    QPalette palette = m_files->palette();
    const QColor colour = statusColour(m_model.dataStatusColour());
    if (colour.isValid()) {
        palette.setColor(QPalette::Base, colour);
        palette.setColor(QPalette::Text, m_model.dataStatusColour() == StatusColour::Yellow
                                             ? Qt::black
                                             : Qt::white);
    }
    m_dataStatus->setPalette(palette);
    m_progress->setMaximum(std::max(1, m_model.progressMaximum()));
    m_progress->setValue(m_model.progressValue());
    m_ok->setEnabled(m_model.okEnabled());
    m_help->setEnabled(m_model.helpEnabled());
    m_calculate->setEnabled(m_model.okEnabled());
}

void StatisticsWindow::reject() {
    if (!m_model.okEnabled()) return;
    m_model.ok();
    QDialog::reject();
}

}  // namespace corvane::ui
