#include "link/hex_codec.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

QByteArray HexTextToBytes(const QByteArray& text) {
    QByteArray result;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        while (pos < n && HexValue(text[pos]) < 0) ++pos;
        if (pos >= n) break;
        const int high = HexValue(text[pos]);
        const int low = pos + 1 < n ? HexValue(text[pos + 1]) : -1;
        result.append(char(low >= 0 ? high * 16 + low : high));
        pos += 2;
    }
    return result;
}
