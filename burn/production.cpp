// The firmware update page: the update toggle, the file choice, the flow number and the
// log. The run itself is the station's; these handlers are where the page's clicks go.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/date_time_text.h"
#include "app/frm_main.h"

void TFrmMain::cxBtn_UpdateFirmWareClick(QObject*) {
    Station->Toggle();
}

void TFrmMain::cxButton_BurnAllClick(QObject*) {
    Station->ProductionLoop();
}

void TFrmMain::cxButton_StopClick(QObject*) {
    Station->RaiseStopFlags();
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
    Station->ResetCounter();
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
