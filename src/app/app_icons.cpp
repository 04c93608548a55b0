#include "app/app_icons.h"

#include <QPainter>
#include <QPixmap>

namespace {

QIcon Badge(const QColor& fill, const QString& text) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(fill);
        painter.setPen(QPen(fill.darker(150), size / 16.0));
        painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(size * 5 / 8);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon StatusIcon(int picture) {
    switch (picture) {
    case 2:
        return Badge(QColor(0x00, 0x9E, 0x73), QStringLiteral("\u2713"));
    case 3:
        return Badge(QColor(0x00, 0x72, 0xB2), QStringLiteral("\u2192"));
    default:
        return Badge(QColor(0x80, 0x80, 0x80), QStringLiteral("\u2013"));
    }
}

QIcon ObjectTypeIcon(ornexa::ObjectIcon icon) {
    switch (icon) {
    case ornexa::ObjectIcon::TableSpace:
        return Badge(QColor(0x00, 0x72, 0xB2), QStringLiteral("T"));
    case ornexa::ObjectIcon::Index:
        return Badge(QColor(0xD5, 0x5E, 0x00), QStringLiteral("I"));
    case ornexa::ObjectIcon::TypeD:
        return Badge(QColor(0xCC, 0x79, 0xA7), QStringLiteral("D"));
    case ornexa::ObjectIcon::Other:
        break;
    }
    return Badge(QColor(0x80, 0x80, 0x80), QStringLiteral("?"));
}

QIcon ProgramIcon() {
    return Badge(QColor(0x00, 0x72, 0xB2), QStringLiteral("O"));
}
