// Before each device's burn the station sends the request until the device answers; the
// window sends it as hex text through the send memo.
#include <QPlainTextEdit>

#include "app/frm_main.h"

void TFrmMain::cxButton_BurnShakeClick(QObject*) {
    Station->Handshake();
}

bool TFrmMain::SendShakeRequest(const QString& hexText) {
    // The text stays the same from pass to pass; setting it anew would lay it out again
    // 50 times a second, the larger part of a waiting handshake's cost.
    if (Memo1->toPlainText() != hexText) Memo1->setPlainText(hexText);
    return SendMemo();
}
