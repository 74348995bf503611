#include "ui/views/command_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStyle>

namespace {

constexpr int drawnSize = 32; // px; scaled down by the toolbar

// A drawing on a transparent square in the palette's text colour.
QIcon drawn(CommandPicture picture)
{
    QPixmap pixmap(drawnSize, drawnSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = QApplication::palette().color(QPalette::WindowText);
    painter.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (picture) {
    case CommandPicture::Cut: // scissors: two rings and crossed blades
        painter.drawEllipse(QRectF(4, 20, 8, 8));
        painter.drawEllipse(QRectF(20, 20, 8, 8));
        painter.drawLine(QPointF(10, 21), QPointF(24, 3));
        painter.drawLine(QPointF(22, 21), QPointF(8, 3));
        break;
    case CommandPicture::Copy: // two sheets
        painter.drawRect(QRectF(4, 4, 16, 20));
        painter.setBrush(QApplication::palette().color(QPalette::Base));
        painter.drawRect(QRectF(12, 9, 16, 20));
        break;
    case CommandPicture::Paste: // a clipboard
        painter.drawRoundedRect(QRectF(6, 6, 20, 23), 2, 2);
        painter.setBrush(ink);
        painter.drawRect(QRectF(11, 3, 10, 6));
        break;
    case CommandPicture::Undo:
    case CommandPicture::Redo: { // a curved arrow
        QPainterPath path;
        path.moveTo(8, 14);
        path.cubicTo(14, 6, 26, 8, 26, 18);
        path.cubicTo(26, 24, 20, 27, 14, 26);
        painter.save();
        if (picture == CommandPicture::Redo)
            painter.setTransform(QTransform(-1, 0, 0, 1, drawnSize, 0));
        painter.drawPath(path);
        painter.drawLine(QPointF(8, 14), QPointF(8, 6));
        painter.drawLine(QPointF(8, 14), QPointF(16, 14));
        painter.restore();
        break;
    }
    case CommandPicture::Print: // a printer with its sheet
        painter.drawRect(QRectF(9, 3, 14, 8));
        painter.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
        painter.drawRect(QRectF(9, 19, 14, 10));
        break;
    case CommandPicture::Solve: // a play triangle
        painter.setBrush(ink);
        painter.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
        break;
    case CommandPicture::Stop: // a red square
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xc0, 0x20, 0x20));
        painter.drawRoundedRect(QRectF(6, 6, 20, 20), 3, 3);
        break;
    case CommandPicture::About: { // a question mark in a ring
        painter.drawEllipse(QRectF(3, 3, 26, 26));
        QFont font = painter.font();
        font.setPixelSize(20);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    default:
        break;
    }
    return QIcon(pixmap);
}

} // namespace

QString themeIconName(CommandPicture picture)
{
    switch (picture) {
    case CommandPicture::New:
        return QStringLiteral("document-new");
    case CommandPicture::Open:
        return QStringLiteral("document-open");
    case CommandPicture::Save:
        return QStringLiteral("document-save");
    case CommandPicture::Cut:
        return QStringLiteral("edit-cut");
    case CommandPicture::Copy:
        return QStringLiteral("edit-copy");
    case CommandPicture::Paste:
        return QStringLiteral("edit-paste");
    case CommandPicture::Undo:
        return QStringLiteral("edit-undo");
    case CommandPicture::Redo:
        return QStringLiteral("edit-redo");
    case CommandPicture::Print:
        return QStringLiteral("document-print");
    case CommandPicture::Solve:
        return QStringLiteral("media-playback-start");
    case CommandPicture::Stop:
        return QStringLiteral("process-stop");
    case CommandPicture::About:
        return QStringLiteral("help-about");
    }
    return {};
}

QIcon commandIcon(CommandPicture picture)
{
    QStyle* style = QApplication::style();
    QIcon fallback;
    switch (picture) {
    case CommandPicture::New:
        fallback = style->standardIcon(QStyle::SP_FileIcon);
        break;
    case CommandPicture::Open:
        fallback = style->standardIcon(QStyle::SP_DialogOpenButton);
        break;
    case CommandPicture::Save:
        fallback = style->standardIcon(QStyle::SP_DialogSaveButton);
        break;
    default:
        fallback = drawn(picture);
        break;
    }
    return QIcon::fromTheme(themeIconName(picture), fallback);
}
