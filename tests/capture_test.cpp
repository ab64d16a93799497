#include <gtest/gtest.h>

#include "link/capture.h"

namespace {

class Capture : public ::testing::Test {
protected:
    TRxCaptureBuffer mBuffer{};
    qint32 mLen = 0;
};

}  // namespace

TEST_F(Capture, ChunkThatWouldReachTheSizeIsDroppedWholeAndAShorterOneStillFits) {
    CaptureStart(mBuffer, mLen);
    mLen = 40950;
    EXPECT_FALSE(CaptureChunk(mBuffer, mLen, QByteArray(10, '\x85')));
    EXPECT_EQ(mLen, 40950);
    EXPECT_EQ(mBuffer[40950], 0);
    EXPECT_TRUE(CaptureChunk(mBuffer, mLen, QByteArray(9, '\x85')));
    EXPECT_EQ(mLen, 40959);
    EXPECT_EQ(mBuffer[40958], 0x85);
}

TEST_F(Capture, SwitchedOffValuesCaptureNothing) {
    for (qint32 off : {kCaptureOffAfterRun, kCaptureOffAtShow}) {
        mLen = off;
        EXPECT_FALSE(CaptureChunk(mBuffer, mLen, "\x85"));
        EXPECT_EQ(mLen, off);
    }
}

TEST_F(Capture, HugeChunkOnSwitchedOffCaptureDoesNotWrapIntoRange) {
    mLen = kCaptureOffAtShow;
    QByteArray big(64 * 1024, 'x');
    EXPECT_FALSE(CaptureChunk(mBuffer, mLen, big));
    EXPECT_EQ(mLen, kCaptureOffAtShow);
}

TEST_F(Capture, StartClearsTheBuffer) {
    mBuffer.fill(0x85);
    mLen = 100;
    CaptureStart(mBuffer, mLen);
    EXPECT_EQ(mLen, 0);
    EXPECT_EQ(mBuffer[0], 0);
    EXPECT_EQ(mBuffer[RxCaptureSize - 1], 0);
}

TEST_F(Capture, ScanLooksAtEachCapturedByteOnce) {
    CaptureStart(mBuffer, mLen);
    qint32 scan = 0;
    CaptureChunk(mBuffer, mLen, "\x01\xA5\x02\xA5");
    EXPECT_TRUE(CaptureScan(mBuffer, mLen, scan, 0xA5));  // two replies count as one
    EXPECT_EQ(scan, 4);
    EXPECT_FALSE(CaptureScan(mBuffer, mLen, scan, 0xA5));  // already seen
    CaptureChunk(mBuffer, mLen, QByteArray("\x00\x85", 2));
    EXPECT_FALSE(CaptureScan(mBuffer, mLen, scan, 0xA5));
    EXPECT_EQ(scan, 6);
}

TEST_F(Capture, ScanOfSwitchedOffCaptureStaysInsideTheBuffer) {
    mBuffer.fill(0);
    mBuffer[RxCaptureSize - 1] = 0x85;
    qint32 scan = RxCaptureSize - 1;
    EXPECT_TRUE(CaptureScan(mBuffer, kCaptureOffAfterRun, scan, 0x85));
    EXPECT_EQ(scan, kCaptureOffAfterRun);
    EXPECT_FALSE(CaptureScan(mBuffer, kCaptureOffAfterRun, scan, 0x85));
}
