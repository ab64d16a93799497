// One firmware image into one device: a frame per block, 200 ms pace, then a look for the
// acknowledgement; the same block again without one; 10 s without any ends the run.
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <stdexcept>

#include "app/counters.h"
#include "app/date_time_text.h"
#include "app/event_loop.h"
#include "app/frm_main.h"
#include "app/ht_class.h"
#include "app/progress_bar.h"
#include "burn/firmware_file.h"
#include "burn/protocol.h"

void TFrmMain::cxButton_BurnFileClick(QObject*) {
    const QString name = edSendFile->text();
    if (!name.isEmpty() && QFileInfo(name).isFile()) BurnImage(name, RzProgressBar);
}

void TFrmMain::BurnImage(const QString& fileName, TRzProgressBar* bar) {
    BurnStopRequested = false;
    const qint32 size = Frm_HtClass->FileSizeByName(fileName);
    if (size <= 0) return;
    const qint32 blockCount = BlockCountOf(size);
    TFirmwareFile file;  // closed on every way out, an error's included
    if (!file.Open(fileName)) return;
    BlockAddress = FlashBase;
    bar->SetTotalParts(blockCount);
    qint32 scan = 0;
    CaptureStart(RxCapture, RxCaptureLen);
    qint32 blockIndex = 0;
    RestartTimer(tmr2, BurnTimedOut);
    QByteArray block(BlockSize, '\0');

    while (blockIndex <= blockCount - 1) {
        const qint64 offset = qint64(BlockSize) * blockIndex;
        const bool last = blockIndex == blockCount - 1;
        if (last) block.fill('\0');
        // The block is read again for every sending; one that cannot be read is never sent.
        const qint64 count = last ? size - offset : BlockSize;
        if (!file.ReadAt(offset, block.data(), count))
            throw std::runtime_error(
                QString("Unable to read the firmware file %1").arg(fileName).toStdString());
        SendFrame(last ? LastBlockHeader : BlockHeader, BlockAddress, block);

        RestartTimer(tmr1, PaceElapsed);
        do {
            PumpMessagesOrWait(-1);
        } while (!PaceElapsed);

        if (CaptureScan(RxCapture, RxCaptureLen, scan, quint8(BlockAck[0]))) {
            BlockAddress += BlockSize;
            ++blockIndex;
            RestartTimer(tmr2, BurnTimedOut);
        }
        if (BurnTimedOut) {
            file.Close();
            RxCaptureLen = kCaptureOffAfterRun;
            Memo1->clear();
            // A time-out noticed after a stop has already run leaves the run stopped.
            if (!BurnStopRequested) cxBtn_UpdateFirmWareClick(nullptr);
            return;
        }
        bar->SetPartsComplete(blockIndex);
        PumpMessages();
        if (BurnStopRequested) break;
    }

    file.Close();
    RxCaptureLen = kCaptureOffAfterRun;
    Memo1->clear();
    if (blockIndex <= blockCount - 1) return;
    AddWrapping(BurnCount, 1);
    RzMemo3->appendPlainText("No : " + QString::number(BurnCount));
    RzMemo3->appendPlainText("Update complete. " + DateTimeText(QDateTime::currentDateTime()));
    cxTextEdit_FlowNo->setText("No : " + QString::number(BurnCount));
    BurnOk = true;
}

void TFrmMain::tmr1Timer(QObject*) {
    PaceElapsed = true;
}

void TFrmMain::tmr2Timer(QObject*) {
    BurnTimedOut = true;
}
