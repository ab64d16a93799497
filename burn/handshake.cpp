// Before each device's burn: the request byte about every 20 ms until the device answers or
// the operator stops.
#include <QPlainTextEdit>

#include "app/event_loop.h"
#include "app/frm_main.h"
#include "burn/protocol.h"

namespace {
constexpr qint32 kShakePaceMs = 20;
constexpr qint32 kWaitingEveryPasses = 99;
}  // namespace

void TFrmMain::cxButton_BurnShakeClick(QObject*) {
    qint32 pass = kWaitingEveryPasses;
    StopRequested = false;
    qint32 scan = 0;
    CaptureStart(RxCapture, RxCaptureLen);
    const QString request = ByteToHex(quint8(ShakeRequest[0]));
    while (!StopRequested) {
        // The text stays the same from pass to pass; setting it anew would lay it out again
        // 50 times a second, the larger part of a waiting handshake's cost.
        if (Memo1->toPlainText() != request) Memo1->setPlainText(request);
        if (!SendMemo()) {
            Memo1->clear();
            return;
        }
        if (pass % kWaitingEveryPasses == 0) RzMemo3->appendPlainText("Waiting...");
        if (++pass == 100) pass = 1;
        WaitMs(kShakePaceMs);
        if (CaptureScan(RxCapture, RxCaptureLen, scan, quint8(ShakeReply[0]))) {
            ShakeOk = true;
            RzMemo3->appendPlainText("Updating...");
            break;
        }
    }
    RxCaptureLen = kCaptureOffAfterRun;
    Memo1->clear();
}

void TFrmMain::WaitMs(qint32 ms) {
    const quint32 start = GetTickCount();
    quint32 now = start;
    do {
        PumpMessagesOrWait(qMax(0, ms - qint32(now - start)));
        now = GetTickCount();
    } while (!TickWaitOver(start, now, ms));
}
