#include "support/images.h"

#include <QRandomGenerator>

QByteArray RandomImage(int size) {
    QByteArray bytes(size, '\0');
    for (char& b : bytes) b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray Padded(QByteArray image) {
    constexpr int kBlock = 2048;
    image.append(QByteArray((kBlock - image.size() % kBlock) % kBlock, '\0'));
    return image;
}
