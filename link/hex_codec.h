// Text of hexadecimal digit pairs to bytes, as the terminal's hex send takes it.
#pragma once

#include <QByteArray>

// Reads the text byte by byte: bytes that are not hex digits are skipped, each pair of digits
// gives one byte, and a lone digit (last in the text or followed by a non-digit) gives 00h..0Fh
// and also consumes the byte after it.
QByteArray HexTextToBytes(const QByteArray& text);
