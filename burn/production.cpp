// The firmware update page: the update toggle with its production loop, the file choice,
// the flow number and the log.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/date_time_text.h"
#include "app/event_loop.h"
#include "app/frm_main.h"
#include "app/progress_bar.h"

namespace {
const char* const kUpdateCaption = "UpdateFirmWare";
const char* const kStopCaption = "StopUpdate";
}  // namespace

void TFrmMain::cxBtn_UpdateFirmWareClick(QObject* Sender) {
    if (cxBtn_UpdateFirmWare->text() == kUpdateCaption) {
        if (!ComPort->Connected()) {
            ShowModalMessage("Please Open Port First!");
            return;
        }
        cxBtn_UpdateFirmWare->setText(kStopCaption);
        StopRequested = false;
        while (!StopRequested) {
            cxButton_BurnAllClick(Sender);
            PumpMessages();
        }
        return;
    }
    cxBtn_UpdateFirmWare->setText(kUpdateCaption);
    StopRequested = true;
    BurnStopRequested = true;
    RzMemo3->appendPlainText("Stop.");
    SendStopFrame();
    RzProgressBar->SetPartsComplete(0);
    RestartTimer(tmr1, PaceElapsed);
    do {
        PumpMessagesOrWait(-1);
    } while (!PaceElapsed);
    SendStopFrame();
}

void TFrmMain::cxButton_BurnAllClick(QObject* Sender) {
    for (;;) {
        cxTextEdit_No->setText(QString::number(BurnCount));
        if (StopRequested) return;
        ShakeOk = false;
        cxButton_BurnShakeClick(Sender);
        while (!StopRequested && !ShakeOk) PumpMessagesOrWait(-1);
        if (StopRequested) return;
        BurnOk = false;
        cxButton_BurnFileClick(Sender);
        while (!StopRequested && !BurnOk) PumpMessagesOrWait(-1);
    }
}

void TFrmMain::cxButton_StopClick(QObject*) {
    StopRequested = true;
    BurnStopRequested = true;
}

void TFrmMain::cxBtn_OpenFirmWareClick(QObject*) {
    OpenDialog1.DefaultExt = "bin";
    OpenDialog1.FileName.clear();
    OpenDialog1.Filter = "烧录文件|*.bin";
    const std::optional<QString> chosen = Dialogs().RunOpenDialog(OpenDialog1);
    if (!chosen) return;
    OpenDialog1.FileName = *chosen;
    edSendFile->setText(*chosen);
    RzMemo3->appendPlainText("Open file " + *chosen + " " + DateTimeText(QDateTime::currentDateTime()));
}

void TFrmMain::edSendFileButtonClick(QObject*) {
    const std::optional<QString> chosen = Dialogs().RunOpenDialog(OpenDialog1);
    if (!chosen) return;
    OpenDialog1.FileName = *chosen;
    edSendFile->setText(*chosen);
}

void TFrmMain::cxBtn_ResetCounterClick(QObject*) {
    BurnCount = 0;
    cxTextEdit_FlowNo->setText("No : 0");
}

void TFrmMain::cxButton1Click(QObject*) {
    RzMemo3->clear();
}

void TFrmMain::cxButton_ClearSingleClick(QObject*) {
    RzMemo1->clear();
}

void TFrmMain::cxButton_ClearAllClick(QObject*) {
    RzMemo2->clear();
}
