#include "ui/ui_text.h"

#include "app/main_commands.h"

#include <QLayout>
#include <QLineEdit>
#include <QWidget>

namespace corvane::ui {

QString displayText(std::string_view text) {
    QString shown = qs(text);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

void nameControl(QWidget* widget, const char* objectName, std::string_view caption) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(qs(plainCaption(caption)));
}

void selectBytes(QLineEdit* box, std::size_t start, std::size_t length) {
    const std::string text = str(box->text());
    start = std::min(start, text.size());
    length = std::min(length, text.size() - start);
    const auto from = qs(std::string_view(text).substr(0, start)).size();
    const auto count = qs(std::string_view(text).substr(start, length)).size();
    box->setSelection(static_cast<int>(from), static_cast<int>(count));
}

QString fileDialogFilter(std::string_view filter) {
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype at = 0; at + 1 < parts.size(); at += 2) {
        QString description = parts[at].trimmed();
        QString patterns = parts[at + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
        const auto open = description.indexOf(QLatin1Char('('));
        if (open > 0) description = description.left(open).trimmed();
        filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

void fitToWidth(QWidget* window, int width) {
    QLayout* layout = window->layout();
    if (layout == nullptr) {
        window->resize(width, window->sizeHint().height());
        return;
    }
    layout->activate();
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalSizeHint().height();
    window->resize(width, std::max(height, layout->totalMinimumSize().height()));
}

void showText(QLineEdit* box, std::string_view text) {
    const QString shown = qs(text);
    if (box->text() != shown) box->setText(shown);
}

}  // namespace corvane::ui
