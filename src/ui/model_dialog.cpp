#include "ui/model_dialog.h"

#include "app/main_commands.h"
#include "ui/ui_text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace corvane::ui {

ModelDialog::ModelDialog(QtHost& host, QWidget* parent, const char* objectName,
                         std::string_view title, int helpTopic)
    : QDialog(parent), m_host(host), m_helpTopic(helpTopic) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(qs(title));
    setAccessibleName(qs(title));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QPushButton* ModelDialog::makeButton(const char* objectName, std::string_view caption) {
    auto* button = new QPushButton(qs(caption), this);
    nameControl(button, objectName, caption);
    return button;
}

QLabel* ModelDialog::makeLabel(const char* objectName, std::string_view text, bool wrap) {
    auto* label = new QLabel(qs(text), this);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleName(qs(text));
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void ModelDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        showHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace corvane::ui
