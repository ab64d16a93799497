// HexTextToBytes on any bytes: no crash or over-read, and the result is the one that the
// text's runs of hex digits explain.
#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "check.h"
#include "link/hex_codec.h"

namespace {

bool IsHexDigit(char c) {
    return QByteArrayView("0123456789abcdefABCDEF").contains(c);
}

// A lone digit swallows only the byte after it, which is never a digit, so each run of
// digits decodes on its own: its pairs as QByteArray::fromHex reads them, then a lone last
// digit as one byte 00h..0Fh.
QByteArray DecodeByRuns(const QByteArray& text) {
    QByteArray result;
    qsizetype start = 0;
    while (start < text.size()) {
        if (!IsHexDigit(text[start])) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < text.size() && IsHexDigit(text[end])) ++end;
        const QByteArray run = text.mid(start, end - start);
        const qsizetype paired = run.size() - run.size() % 2;
        result += QByteArray::fromHex(run.left(paired));
        if (paired < run.size()) result += QByteArray::fromHex("0" + run.right(1));
        start = end;
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray bytes = HexTextToBytes(text);

    const qsizetype digits = std::count_if(text.begin(), text.end(), IsHexDigit);
    Check(bytes.size() <= digits, "at most one byte per hex digit");
    Check(bytes.size() >= (digits + 1) / 2, "at least one byte per pair of hex digits");
    Check(bytes == DecodeByRuns(text), "each run of hex digits decodes on its own");
    Check(HexTextToBytes(bytes.toHex()) == bytes, "the bytes written as hex read back");
    return 0;
}
