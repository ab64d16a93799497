#include "test_frames.h"

namespace {

constexpr int kPayload = 2048;

void AppendBigEndian(QByteArray& out, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.append(char(value >> shift));
}

}  // namespace

QByteArray TestFrame(quint8 header, quint32 address, const QByteArray& payload) {
    QByteArray padded = payload.leftJustified(kPayload, '\0', true);
    quint32 sum = 0;
    for (char c : padded) sum += quint8(c);
    QByteArray frame(2, char(header));
    AppendBigEndian(frame, address);
    frame += padded;
    AppendBigEndian(frame, sum);
    return frame + "\x0D\x0A";
}

QByteArray TestBlockFrame(quint32 address, const QByteArray& payload) {
    return TestFrame(0xF0, address, payload);
}

QByteArray TestLastFrame(quint32 address, const QByteArray& payload) {
    return TestFrame(0xF1, address, payload);
}

QByteArray TestStopFrame() {
    return TestFrame(0xF2, 0, QByteArray());
}

QList<QByteArray> TestImageFrames(const QByteArray& image) {
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < image.size(); at += kPayload) {
        const quint32 address = kTestFlashBase + quint32(at);
        const QByteArray block = image.mid(at, kPayload);
        frames << (at + kPayload >= image.size() ? TestLastFrame(address, block)
                                                 : TestBlockFrame(address, block));
    }
    return frames;
}

QByteArray TestImage(int size) {
    QByteArray image;
    for (int i = 0; i < size; ++i) image.append(char(0x20 + (i * 7 + i / 2048) % 0x60));
    return image;
}
