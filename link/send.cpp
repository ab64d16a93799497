// The one place where a byte string is written with the tool's failure handling and Tx count,
// and the terminal's send path over it.
#include <QCheckBox>
#include <QPlainTextEdit>

#include "app/counters.h"
#include "app/frm_main.h"
#include "link/hex_codec.h"

void TFrmMain::SendString(const QByteArray& bytes) {
    TWriteRequest request;
    try {
        ComPort->BeginWrite(bytes, request);
        ComPort->WaitWrite(request);
        AddWrapping(TxCount, bytes.size());
    } catch (...) {
        SendOk = false;
        ShowModalMessage("没有打开的串口！");
    }
    ShowTxCount();
}

bool TFrmMain::SendMemo() {
    SendOk = true;
    btnSendClick(this);
    return SendOk;
}

void TFrmMain::btnSendClick(QObject*) {
    const QByteArray text = Memo1->toPlainText().toLocal8Bit();
    SendString(cbsendHex->isChecked() ? HexTextToBytes(text) : text);
}

void TFrmMain::Button1Click(QObject*) {
    Memo1->clear();
}
