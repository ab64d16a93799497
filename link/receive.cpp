// Every received byte passes here: counted, shown in the hex view, and captured while a
// burn procedure waits for a reply.
#include <QCheckBox>

#include "app/counters.h"
#include "app/frm_main.h"
#include "app/hex_view.h"

void TFrmMain::ComPortRxChar(QObject*, int Count) {
    const QByteArray bytes = ComPort->ReadBytes(Count);
    AddWrapping(RxCount, Count);
    ShowRxCount();
    if (CB_InfoOut->isChecked()) MPHexEditorEx1->AppendBuffer(bytes);
    Station->Capture(bytes);
}

void TFrmMain::Btn_ClearClick(QObject*) {
    MPHexEditorEx1->Clear();
}
