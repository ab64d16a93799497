// A read-only hex view, 16 bytes a row, over one growing byte store. Only the visible rows
// are painted, so a page costs the same however much it holds.
#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QList>

// Bytes kept in fixed-size chunks: appending never copies what is held, and the memory
// held stays close to the bytes' own size.
class THexBytes {
public:
    static constexpr qint64 kChunkSize = 64 * 1024;

    void Append(const char* data, qint64 count);
    void Clear() {
        mChunks.clear();
        mSize = 0;
    }
    qint64 Size() const { return mSize; }
    quint8 At(qint64 index) const { return quint8(mChunks[index / kChunkSize][index % kChunkSize]); }
    QByteArray Mid(qint64 from, qint64 count) const;

private:
    QList<QByteArray> mChunks;
    qint64 mSize = 0;
};

class THexView : public QAbstractScrollArea {
public:
    static constexpr int kBytesPerRow = 16;

    explicit THexView(QWidget* parent);

    // Adds the bytes at the end, moves the cursor to the first of them, selects them and
    // scrolls it into view. An empty block is ignored.
    void AppendBuffer(const QByteArray& bytes);
    void Clear();

    const THexBytes& Data() const { return mData; }
    qint64 CursorPosition() const { return mCursor; }
    qint64 SelectionStart() const { return mSelStart; }
    qint64 SelectionLength() const { return mSelLength; }
    // "0x" and the upper-case hex offset of a row.
    static QString OffsetText(qint64 offset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    qint64 RowCount() const { return (mData.Size() + kBytesPerRow - 1) / kBytesPerRow; }
    int RowHeight() const;
    int VisibleRows() const;
    void UpdateScrollRange();

    THexBytes mData;
    qint64 mCursor = 0;
    qint64 mSelStart = 0;
    qint64 mSelLength = 0;
};
