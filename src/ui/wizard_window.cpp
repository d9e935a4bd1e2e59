#include "ui/wizard_window.h"

#include "app/main_commands.h"
#include "ui/entry_windows.h"
#include "ui/icons.h"
#include "ui/set_fields.h"
#include "ui/ui_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace corvane::ui {

WizardWindow::WizardWindow(NewSetWizard& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmWizard", NewSetWizard::kTitle, NewSetWizard::kHelpTopic),
      m_model(model) {
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("imgStep"));
    m_picture->setAlignment(Qt::AlignTop);
    m_title = makeLabel("lblTitle", "");
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_title->setFont(bold);
    m_text = makeLabel("lblText", "");
    m_note = makeLabel("lblNote", "");

    m_naming = new NamingFieldsWidget(m_model.naming(), this);
    auto* addPage = new QWidget(this);
    QPushButton* addFolders = makeButton("cmdAddFolders", NewSetWizard::kAddFoldersCaption);
    QPushButton* addFiles = makeButton("cmdAddFiles", NewSetWizard::kAddFilesCaption);
    addFolders->setIcon(pictureIcon(Picture::Folder));
    addFiles->setIcon(pictureIcon(Picture::File));
    auto* addLayout = new QVBoxLayout(addPage);
    addLayout->setContentsMargins(0, 0, 0, 0);
    addLayout->addWidget(addFolders, 0, Qt::AlignLeft);
    addLayout->addWidget(addFiles, 0, Qt::AlignLeft);
    auto* options = new OptionFieldsWidget(m_model.options(), "", this);
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("stkPages"));
    // Each step's fields sit at the top of the page, whatever the window's height.
    for (QWidget* fields :
         {static_cast<QWidget*>(m_naming), addPage, static_cast<QWidget*>(options)}) {
        auto* page = new QWidget(m_pages);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 8, 0, 0);
        pageLayout->addWidget(fields);
        pageLayout->addStretch(1);
        m_pages->addWidget(page);
    }

    m_back = makeButton("cmdBack", NewSetWizard::kBackCaption);
    m_next = makeButton("cmdNext", NewSetWizard::kNextCaption);
    QPushButton* cancel = makeButton("cmdCancel", NewSetWizard::kCancelCaption);
    QPushButton* help = makeButton("cmdHelp", NewSetWizard::kHelpCaption);
    m_next->setDefault(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_title);
    texts->addWidget(m_text);
    texts->addWidget(m_note);
    texts->addWidget(m_pages, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(m_picture);
    body->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {m_back, m_next, cancel, help})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(m_naming, &NamingFieldsWidget::changed, this,
            [this] { m_next->setEnabled(m_model.nextEnabled()); });
    connect(addFolders, &QPushButton::clicked, this, [this] {
        FolderPicker picker = m_model.folderPicker();
        FolderPickerWindow window(picker, m_host, this);
        m_host.runModal(window);
    });
    connect(addFiles, &QPushButton::clicked, this, [this] { m_model.addFiles(); });
    connect(m_back, &QPushButton::clicked, this, [this] {
        m_model.back();
        refresh();
    });
    connect(m_next, &QPushButton::clicked, this, &WizardWindow::next);
    connect(cancel, &QPushButton::clicked, this, &WizardWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    resize(620, 400);
    refresh();
    m_naming->focusName();
}

void WizardWindow::refresh() {
    const WizardPage& page = m_model.pageTexts();
    m_picture->setPixmap(wizardStepPicture(m_model.page()));
    m_title->setText(qs(plainCaption(page.title)));
    m_title->setAccessibleName(m_title->text());
    m_text->setText(qs(page.texts[0]));
    m_note->setText(qs(page.texts[1]));
    m_note->setVisible(!page.texts[1].empty());
    m_pages->setCurrentIndex(m_model.page() - 1);
    m_back->setEnabled(m_model.backEnabled());
    m_next->setText(qs(m_model.nextCaption()));
    m_next->setAccessibleName(qs(plainCaption(m_model.nextCaption())));
    m_next->setEnabled(m_model.nextEnabled());
}

void WizardWindow::next() {
    m_model.next();
    if (!m_model.isOpen()) {
        accept();
        return;
    }
    refresh();
    if (m_model.takeFocusRequest()) m_naming->focusName();
}

void WizardWindow::reject() {
    m_model.cancel();
    if (!m_model.isOpen()) QDialog::reject();
}

}  // namespace corvane::ui
