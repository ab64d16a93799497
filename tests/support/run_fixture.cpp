#include "support/run_fixture.h"

#include <QPushButton>

void TRunTest::SetUp() {
    TWindowTest::SetUp();
    RegisterPort(mDevice.Path());
    CreateWindow();
    OpenPort(mDevice.Path());
}

void TRunTest::ClickUpdate() {
    mForm->cxBtn_UpdateFirmWare->click();
}

void TRunTest::RunUpdate(TScript& script, int timeoutMs) {
    script.Run([this] { ClickUpdate(); }, timeoutMs, [this] { mForm->cxButton_Stop->click(); });
    EXPECT_EQ(script.Failure, "") << "step not reached";
}

QList<qsizetype> TRunTest::StopFrameOffsets() const {
    QList<qsizetype> offsets;
    const QByteArray frame = StopFrameBytes();
    for (qsizetype at = mDevice.Received.indexOf(frame); at >= 0;
         at = mDevice.Received.indexOf(frame, at + frame.size()))
        offsets.append(at);
    return offsets;
}

QByteArray StopFrameBytes() {
    return QByteArray("\xF2\xF2", 2) + QByteArray(2056, '\0') + QByteArray("\x0D\x0A", 2);
}
