#include "ui/offsite_window.h"

#include "ui/ui_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

OffsiteWindow::OffsiteWindow(OffsiteDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmOffsite", OffsiteDialog::kTitle, OffsiteDialog::kHelpTopic),
      m_model(model) {
    auto* form = new QFormLayout;
    auto field = [&](const char* name, std::string_view caption, const char* hint) {
        auto* box = new QLineEdit(this);
        nameControl(box, name, caption);
        box->setPlaceholderText(QString::fromUtf8(hint));
        auto* label = new QLabel(qs(caption), this);
        label->setBuddy(box);
        form->addRow(label, box);
        return box;
    };
    m_url = field("txtUrl", "&Address:",
                  "s3://bucket/folder/, sftp://user@host:22/path/ or webdav://host:port/path/");
    m_endpoint = field("txtEndpoint", "&Endpoint:", "S3 only: http://127.0.0.1:9000");
    m_region = field("txtRegion", "&Region:", "S3 only: us-east-1");
    m_credentials = new QLineEdit(this);
    nameControl(m_credentials, "txtCredentialsFile", "Cre&dentials file:");
    m_credentials->setPlaceholderText(QStringLiteral("a file only you may read (chmod 600)"));
    m_browse = makeButton("cmdBrowse", "&Browse...");
    auto* credentialsRow = new QHBoxLayout;
    credentialsRow->addWidget(m_credentials, 1);
    credentialsRow->addWidget(m_browse);
    auto* credentialsLabel = new QLabel(QStringLiteral("Cre&dentials file:"), this);
    credentialsLabel->setBuddy(m_credentials);
    form->addRow(credentialsLabel, credentialsRow);
    m_keep = field("txtKeep", "&Keep archives:", "0 keeps them all");

    m_result = makeLabel("lblResult", "");
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_test = makeButton("cmdTest", "&Test connection");
    m_ok = makeButton("cmdOK", "OK");
    auto* cancel = makeButton("cmdCancel", "Cancel");
    auto* help = makeButton("cmdHelp", "&Help");
    m_ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", m_model.intro()));
    layout->addLayout(form);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(m_test);
    testRow->addStretch(1);
    layout->addLayout(testRow);
    layout->addWidget(m_result);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_url, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setUrl(str(text)); });
    connect(m_endpoint, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setEndpoint(str(text)); });
    connect(m_region, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setRegion(str(text)); });
    connect(m_credentials, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setCredentialsFile(str(text)); });
    connect(m_keep, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setKeep(str(text)); });
    connect(m_browse, &QPushButton::clicked, this, [this] { m_model.browseCredentials(); });
    connect(m_test, &QPushButton::clicked, this, [this] { m_model.testConnection(); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_model.ok()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &OffsiteWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    m_model.onChanged = [this] { refresh(); };
    fitToWidth(this, 620);
    refresh();
}

OffsiteWindow::~OffsiteWindow() {
    m_model.onChanged = nullptr;
}

void OffsiteWindow::refresh() {
    showText(m_url, m_model.url());
    showText(m_endpoint, m_model.endpoint());
    showText(m_region, m_model.region());
    showText(m_credentials, m_model.credentialsFile());
    showText(m_keep, m_model.keep());
    m_endpoint->setEnabled(m_model.s3Fields());
    m_region->setEnabled(m_model.s3Fields());
    if (m_result->text() != qs(m_model.testResult())) {
        m_result->setText(qs(m_model.testResult()));
        // A long reason takes more lines: the window grows to show all of it.
        fitToWidth(this, width());
    }
    QPalette palette = m_result->palette();
    palette.setColor(QPalette::WindowText, m_model.testPassed() || m_model.testing()
                                               ? QColor(0, 120, 0)
                                               : QColor(190, 0, 0));
    m_result->setPalette(palette);
    m_test->setEnabled(m_model.testEnabled());
    m_ok->setEnabled(m_model.okEnabled());
    m_browse->setEnabled(!m_model.testing());
}

void OffsiteWindow::reject() {
    if (!m_model.cancel()) return;
    QDialog::reject();
}

}  // namespace corvane::ui
