#include "app/pin_images.h"

#include <QPainter>

namespace {

QPixmap Blank() {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    return image;
}

QPixmap PinFromSide() {
    QPixmap image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.drawLine(QPointF(2, 8), QPointF(7, 8));  // the needle
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(7, 5, 3, 6));  // the collar
    p.drawRoundedRect(QRectF(10, 3, 4, 10), 1.5, 1.5);  // the head
    return image;
}

QPixmap PinFromAbove() {
    QPixmap image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 20, 20), 1));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QRectF(3, 3, 10, 10));
    p.setBrush(QColor(250, 200, 200));
    p.drawEllipse(QRectF(6, 6, 3, 3));  // the highlight on the head
    return image;
}

}  // namespace

QList<QPixmap> MakeImageList() {
    QList<QPixmap> images = {PinFromSide(), PinFromAbove()};
    while (images.size() < 6) images.append(Blank());
    return images;
}
