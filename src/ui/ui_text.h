#pragma once

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;
class QWidget;

namespace corvane::ui {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string str(const QString& text) {
    return text.toUtf8().toStdString();
}

// Box and log texts end their lines with CR LF; a widget wants LF alone.
QString displayText(std::string_view text);

// Gives a control its name in the program's vocabulary (its objectName) and the caption that
// assistive technology reads: the visible caption without its access-key markers.
void nameControl(QWidget* widget, const char* objectName, std::string_view caption);

// Selects `length` bytes from byte `start` of the box's UTF-8 text, as a model gives a selection.
void selectBytes(QLineEdit* box, std::size_t start, std::size_t length);

// A chooser's filter as Qt's file dialog takes it: "All Files (*.*)|*.*" becomes
// "All Files (*)", since "*.*" would hide the many files without a dot on this system; pairs
// are separated by ";;".
QString fileDialogFilter(std::string_view filter);

// Gives a window `width` and the height its wrapped texts need at that width.
void fitToWidth(QWidget* window, int width);

// Shows `text` in the box unless it already shows it, so the cursor stays where the user left it.
void showText(QLineEdit* box, std::string_view text);

}  // namespace corvane::ui
