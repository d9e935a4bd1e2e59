#include "ui/icons.h"

#include "app/main_commands.h"
#include "app/product_info.h"
#include "ui/ui_text.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <numbers>

namespace corvane::ui {

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kFolderYellow(236, 190, 70);
const QColor kBlue(40, 90, 170);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);

// Every drawing works on a 32 x 32 canvas.
QIcon iconFrom(const Drawing& draw) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void page(QPainter& p, QRectF r) {
    QPainterPath path;
    const double fold = r.width() * 0.3;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y = r.top() + fold + 3; y < r.bottom() - 2; y += 3) {
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void folder(QPainter& p, QRectF r, bool open) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kFolderYellow.darker(115));
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top());
    back.lineTo(r.left() + r.width() * 0.4, r.top());
    back.lineTo(r.left() + r.width() * 0.5, r.top() + 3);
    back.lineTo(r.right(), r.top() + 3);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolderYellow);
    if (open) {
        QPolygonF front({QPointF(r.left() + 4, r.top() + 8), QPointF(r.right() + 1, r.top() + 8),
                         QPointF(r.right() - 3, r.bottom()), QPointF(r.left(), r.bottom())});
        p.drawPolygon(front);
    } else {
        p.drawRect(QRectF(r.left(), r.top() + 7, r.width(), r.height() - 7));
    }
}

void plus(QPainter& p, QPointF centre, double half, const QColor& colour) {
    p.setPen(QPen(colour, half * 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
    p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
}

void archiveBox(QPainter& p, QRectF r) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(QColor(190, 140, 90));
    p.drawRect(r);
    p.setBrush(QColor(160, 110, 70));
    p.drawRect(QRectF(r.left() - 1, r.top(), r.width() + 2, r.height() * 0.28));
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.center().x() - 4, r.top() + r.height() * 0.45, 8, 4));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF normal(-direction.y(), direction.x());
    p.drawLine(to, to - direction * 5 + normal * 4);
    p.drawLine(to, to - direction * 5 - normal * 4);
}

void questionMark(QPainter& p, QRectF r, const QColor& colour) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(r.height() * 0.8));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
}

void drawNamed(QPainter& p, std::string_view name) {
    if (name == "document-new") {
        page(p, QRectF(5, 2, 20, 27));
        p.setBrush(kGreen);
        plus(p, QPointF(23, 23), 5, kGreen);
    } else if (name == "document-open") {
        folder(p, QRectF(2, 6, 27, 21), true);
    } else if (name == "document-save") {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3, 3, 26, 26), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(8, 3, 16, 10));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(9, 19, 14, 10));
    } else if (name == "list-add") {
        plus(p, QPointF(16, 16), 10, kGreen);
    } else if (name == "list-remove") {
        p.setPen(QPen(kRed, 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 16), QPointF(26, 16));
    } else if (name == "media-floppy") {
        archiveBox(p, QRectF(4, 14, 24, 15));
        arrow(p, QPointF(16, 1), QPointF(16, 12), kGreen);
    } else if (name == "document-revert") {
        archiveBox(p, QRectF(4, 14, 24, 15));
        arrow(p, QPointF(16, 12), QPointF(16, 1), kBlue);
    } else if (name == "preferences-system") {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 110, 120));
        for (int tooth = 0; tooth < 8; ++tooth) {
            p.save();
            p.translate(16, 16);
            p.rotate(tooth * 45.0);
            p.drawRect(QRectF(-2.5, -14, 5, 6));
            p.restore();
        }
        p.drawEllipse(QPointF(16, 16), 10, 10);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 4, 4);
    } else if (name == "x-office-calendar") {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 5, 24, 23));
        p.setBrush(kRed);
        p.drawRect(QRectF(4, 5, 24, 6));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                p.drawRect(QRectF(7 + column * 5.5, 14 + row * 4.5, 3, 2.5));
            }
        }
    } else if (name == "emblem-favorite") {
        QPolygonF star;
        for (int point = 0; point < 10; ++point) {
            const double radius = point % 2 == 0 ? 14.0 : 6.0;
            const double angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
            star << QPointF(16 + radius * std::cos(angle), 17 + radius * std::sin(angle));
        }
        p.setPen(QPen(QColor(150, 110, 0), 1.2));
        p.setBrush(QColor(250, 200, 40));
        p.drawPolygon(star);
    } else if (name == "system-run") {
        p.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 27), QPointF(21, 12));
        p.setPen(QPen(kPaper, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 14), QPointF(21, 12));
        plus(p, QPointF(25, 6), 4, QColor(230, 160, 0));
        plus(p, QPointF(12, 7), 2.5, QColor(230, 160, 0));
        plus(p, QPointF(27, 19), 2.5, QColor(230, 160, 0));
    } else if (name == "drive-harddisk") {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(3, 10, 26, 13), 3, 3);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(24, 16.5), 2, 2);
        p.setPen(QPen(QColor(90, 90, 100), 1));
        p.drawLine(QPointF(6, 16.5), QPointF(18, 16.5));
    } else if (name == "appointment-new") {
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(16, 8));
        p.drawLine(QPointF(16, 16), QPointF(22, 19));
    } else if (name == "help-contents") {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(5, 3, 22, 26), 2, 2);
        questionMark(p, QRectF(5, 3, 22, 26), kPaper);
    } else if (name == "help-browser") {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(90, 160, 220));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        questionMark(p, QRectF(3, 3, 26, 26), kPaper);
    } else if (name == "dialog-password") {
        p.setPen(QPen(kOutline, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(230, 180, 40));
        p.drawRoundedRect(QRectF(5, 14, 22, 15), 2, 2);
        p.setBrush(kOutline);
        p.drawEllipse(QPointF(16, 20), 2, 2);
        p.drawRect(QRectF(15.2, 20, 1.6, 5));
    } else if (name == "corvane-test") {
        archiveBox(p, QRectF(3, 11, 20, 16));
        p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(15, 14), QPointF(21, 21));
        p.drawLine(QPointF(21, 21), QPointF(29, 5));
    } else if (name == "corvane-category") {
        archiveBox(p, QRectF(4, 9, 24, 18));
    } else if (name == "corvane-folder") {
        folder(p, QRectF(3, 6, 26, 21), false);
    } else if (name == "corvane-file") {
        page(p, QRectF(6, 3, 20, 26));
    } else if (name == "corvane-exclusion") {
        p.setPen(QPen(kRed, 3.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 11, 11);
        p.drawLine(QPointF(8.5, 23.5), QPointF(23.5, 8.5));
    } else if (name == "corvane") {
        archiveBox(p, QRectF(4, 12, 24, 17));
        folder(p, QRectF(9, 2, 14, 11), false);
    }
}

}  // namespace

QIcon bundledIcon(std::string_view name) {
    const std::string key(name);
    return iconFrom([key](QPainter& p) { drawNamed(p, key); });
}

QIcon commandIcon(CommandId id) {
    const std::string_view name = commandIconName(id);
    if (name.empty()) return {};
    return QIcon::fromTheme(qs(name), bundledIcon(name));
}

QIcon pictureIcon(Picture picture) {
    switch (picture) {
        case Picture::Backup:
            return bundledIcon("corvane-category");
        case Picture::Folder:
            return QIcon::fromTheme(QStringLiteral("folder"), bundledIcon("corvane-folder"));
        case Picture::File:
            return QIcon::fromTheme(QStringLiteral("text-x-generic"), bundledIcon("corvane-file"));
        case Picture::Exclusion:
            return bundledIcon("corvane-exclusion");
    }
    return {};
}

QIcon programIcon() {
    return bundledIcon("corvane");
}

QPixmap splashPicture() {
    QPixmap pixmap(440, 220);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, 220);
    gradient.setColorAt(0, QColor(20, 40, 90));
    gradient.setColorAt(1, QColor(10, 20, 50));
    p.fillRect(pixmap.rect(), gradient);
    p.save();
    p.translate(30, 50);
    p.scale(3.5, 3.5);
    drawNamed(p, "corvane");
    p.restore();
    QFont title = p.font();
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(160, 50, 270, 60), Qt::AlignLeft | Qt::AlignVCenter, qs(product::kName));
    QFont small = p.font();
    small.setPixelSize(16);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(162, 110, 270, 24), Qt::AlignLeft,
               QStringLiteral("Version ") + qs(product::kVersion));
    p.setPen(QColor(190, 200, 230));
    p.drawText(QRect(162, 138, 270, 24), Qt::AlignLeft,
               QStringLiteral("Backups of your files, in plain ZIP"));
    p.drawText(QRect(20, 190, 400, 20), Qt::AlignLeft, QStringLiteral("Starting..."));
    return pixmap;
}

QPixmap wizardStepPicture(int step) {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 90));
    p.drawRoundedRect(QRectF(2, 2, 92, 92), 12, 12);
    p.save();
    p.translate(24, 10);
    p.scale(1.5, 1.5);
    drawNamed(p, step == 1 ? "document-new" : step == 2 ? "document-open" : "preferences-system");
    p.restore();
    QFont font = p.font();
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 62, 96, 30), Qt::AlignCenter, QStringLiteral("Step %1").arg(step));
    return pixmap;
}

}  // namespace corvane::ui
