// CaptureStart, CaptureChunk and CaptureScan driven by a script of chunks, scans, starts and
// switch-offs, checked at every step against a plain model of what the capture rule keeps.
//
// The input is the awaited byte value, then records, each led by an opcode byte `op`:
//   op % 4 == 0: a chunk of op / 4 + 1 bytes (1..64) that follow in the input;
//   op % 4 == 1: a long chunk: two bytes N (most significant first) and a fill byte give
//                N + 1 bytes of that value;
//   op % 4 == 2: a scan;
//   op % 4 == 3: by op / 4 % 3, a new start, or capture switched off at FFFFh or FFFFFFh.
// Bytes missing at the end of the input count as zeros. Every run begins with a start on a
// buffer full of junk.
#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "check.h"
#include "link/capture.h"

namespace {

class TScript {
public:
    TScript(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mPos >= mSize; }
    quint8 Byte() { return mPos < mSize ? mData[mPos++] : 0; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

// What the buffer should hold, and where the length and the scan position should stand.
struct TModel {
    std::vector<quint8> Captured;  // from index 0; the rest of the buffer is zero
    qint32 OffLen = 0;             // the switched-off length, or 0 while capture is on
    qint32 ScanPos = 0;

    qint32 Len() const { return OffLen != 0 ? OffLen : qint32(Captured.size()); }
};

class TCaptureRun {
public:
    explicit TCaptureRun(quint8 awaited) : mAwaited(awaited) {
        mBuffer.fill(0xEE);
        Start();
    }

    void Start() {
        CaptureStart(mBuffer, mLen);
        mScanPos = 0;
        mModel = TModel{};
        CheckState();
        CheckBuffer();
    }

    void SwitchOff(qint32 offLen) {
        mLen = offLen;
        mModel.OffLen = offLen;
    }

    void Chunk(const QByteArray& chunk) {
        const bool fits = mModel.OffLen == 0 &&
                          mModel.Captured.size() + size_t(chunk.size()) < size_t(RxCaptureSize);
        Check(CaptureChunk(mBuffer, mLen, chunk) == fits,
              "a chunk is captured exactly when capture is on and it fits whole");
        if (fits) mModel.Captured.insert(mModel.Captured.end(), chunk.begin(), chunk.end());
        CheckState();
    }

    void Scan() {
        Check(CaptureScan(mBuffer, mLen, mScanPos, mAwaited) == ModelScan(),
              "a scan finds the awaited byte exactly when an unscanned byte holds it");
        CheckState();
    }

    void CheckBuffer() const {
        const auto rest = mBuffer.begin() + qsizetype(mModel.Captured.size());
        Check(std::equal(mModel.Captured.begin(), mModel.Captured.end(), mBuffer.begin()),
              "the buffer holds the captured bytes");
        Check(std::all_of(rest, mBuffer.end(), [](quint8 b) { return b == 0; }),
              "the buffer beyond the captured bytes stays zero");
    }

private:
    // Looks at the bytes from the scan position up to the length, never past the buffer's
    // end: the captured bytes, then the zeros after them.
    bool ModelScan() {
        const qint32 end = std::min(mModel.Len(), RxCaptureSize);
        bool found = false;
        for (qint32 i = mModel.ScanPos; i < end; ++i) {
            const size_t at = size_t(i);
            found |= (at < mModel.Captured.size() ? mModel.Captured[at] : 0) == mAwaited;
        }
        mModel.ScanPos = mModel.Len();
        return found;
    }

    void CheckState() const {
        Check(mLen == mModel.Len(), "the length counts the captured bytes or stays switched off");
        Check(mModel.OffLen != 0 || mLen < RxCaptureSize, "capture never holds 40960 bytes");
        Check(mScanPos == mModel.ScanPos, "a scan moves the scan position to the length");
    }

    const quint8 mAwaited;
    // Alone on the heap, so that the address sanitizer guards the bytes right past its end.
    const std::unique_ptr<TRxCaptureBuffer> mBufferStore = std::make_unique<TRxCaptureBuffer>();
    TRxCaptureBuffer& mBuffer = *mBufferStore;
    qint32 mLen = 0;
    qint32 mScanPos = 0;
    TModel mModel;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TScript script(data, size);
    TCaptureRun run(script.Byte());
    while (!script.AtEnd()) {
        const quint8 op = script.Byte();
        switch (op % 4) {
            case 0: {
                QByteArray chunk;
                for (int i = 0; i < op / 4 + 1; ++i) chunk += char(script.Byte());
                run.Chunk(chunk);
                break;
            }
            case 1: {
                const int high = script.Byte();
                const int count = (high << 8 | script.Byte()) + 1;
                run.Chunk(QByteArray(count, char(script.Byte())));
                break;
            }
            case 2:
                run.Scan();
                break;
            case 3: {
                const int what = op / 4 % 3;
                if (what == 0) {
                    run.CheckBuffer();
                    run.Start();
                } else {
                    run.SwitchOff(what == 1 ? kCaptureOffAfterRun : kCaptureOffAtShow);
                }
                break;
            }
        }
    }
    run.CheckBuffer();
    return 0;
}
