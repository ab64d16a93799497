#include "app/hex_view.h"

#include <QPainter>
#include <QScrollBar>

void THexBytes::Append(const char* data, qint64 count) {
    while (count > 0) {
        if (mChunks.isEmpty() || mChunks.last().size() == kChunkSize) {
            mChunks.append(QByteArray());
            mChunks.last().reserve(kChunkSize);
        }
        QByteArray& last = mChunks.last();
        const qint64 n = qMin(count, kChunkSize - last.size());
        last.append(data, n);
        data += n;
        count -= n;
        mSize += n;
    }
}

QByteArray THexBytes::Mid(qint64 from, qint64 count) const {
    QByteArray out;
    for (qint64 i = from; i < qMin(from + count, mSize); ++i) out.append(char(At(i)));
    return out;
}

THexView::THexView(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(12);
    setFont(mono);
    // Scroll positions count rows; a row count beyond int is out of any real reach.
    verticalScrollBar()->setSingleStep(1);
}

QString THexView::OffsetText(qint64 offset) {
    return "0x" + QString::number(offset, 16).toUpper().rightJustified(8, '0');
}

void THexView::AppendBuffer(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    const qint64 first = mData.Size();
    mData.Append(bytes.constData(), bytes.size());
    mCursor = first;
    mSelStart = first;
    mSelLength = bytes.size();
    UpdateScrollRange();
    const qint64 row = first / kBytesPerRow;
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value() || row >= bar->value() + VisibleRows())
        bar->setValue(int(qMax<qint64>(0, row - VisibleRows() + 1)));
    viewport()->update();
}

void THexView::Clear() {
    mData.Clear();
    mCursor = mSelStart = mSelLength = 0;
    UpdateScrollRange();
    viewport()->update();
}

int THexView::RowHeight() const {
    return fontMetrics().height();
}

int THexView::VisibleRows() const {
    return qMax(1, viewport()->height() / RowHeight());
}

void THexView::UpdateScrollRange() {
    verticalScrollBar()->setRange(0, int(qMax<qint64>(0, RowCount() - VisibleRows())));
    verticalScrollBar()->setPageStep(VisibleRows());
}

void THexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void THexView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    const int h = RowHeight();
    const int cw = fontMetrics().horizontalAdvance('0');
    const qint64 top = verticalScrollBar()->value();
    const qint64 last = qMin(RowCount(), top + VisibleRows() + 1);
    for (qint64 row = top; row < last; ++row) {
        const int y = int(row - top) * h;
        const qint64 base = row * kBytesPerRow;
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, y + h - 1, viewport()->width(), y + h - 1);  // grid line
        p.setPen(palette().color(QPalette::Text));
        p.drawText(0, y + fontMetrics().ascent(), OffsetText(base));
        for (int col = 0; col < kBytesPerRow && base + col < mData.Size(); ++col) {
            const qint64 i = base + col;
            const int x = (12 + col * 3) * cw;
            const bool selected = i >= mSelStart && i < mSelStart + mSelLength;
            if (selected) p.fillRect(x, y, 2 * cw, h, palette().highlight());
            p.setPen(selected ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::Text));
            p.drawText(x, y + fontMetrics().ascent(), QString("%1").arg(mData.At(i), 2, 16, QChar('0')).toUpper());
            // Characters untranslated: each byte as its Latin-1 character, control bytes as dots.
            const quint8 b = mData.At(i);
            p.drawText((12 + kBytesPerRow * 3 + 1 + col) * cw, y + fontMetrics().ascent(),
                       QString(b >= 0x20 && b != 0x7F ? QChar(b) : QChar('.')));
        }
    }
}
