#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/event_loop.h"
#include "app/hex_view.h"
#include "app/pin_images.h"
#include "app/progress_bar.h"
#include "app/size_rule.h"
#include "burn/protocol.h"
#include "link/com_combo.h"
#include "support/named_case.h"
#include "support/pty_pair.h"
#include "support/window_fixture.h"

namespace {

QStringList VisibleTabs(QTabWidget* pages) {
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i)) tabs << pages->tabText(i);
    return tabs;
}

}  // namespace

TEST_F(TWindowTest, StartsIdleWithTheDesignTextsAndState) {
    CreateWindow();
    TFrmMain& f = *mForm;
    EXPECT_EQ(f.windowTitle(), "Ridel Burn Tools V1.3");
    EXPECT_EQ(VisibleTabs(f.RzPageControl3), (QStringList{"FirmWare Update", "About US"}));
    EXPECT_EQ(f.RzPageControl3->currentWidget(), f.TabSheet7);
    EXPECT_EQ(VisibleTabs(f.RzPageControl4), QStringList{"串口接收"});
    EXPECT_FALSE(f.RzPageControl1->tabBar()->isVisible());
    EXPECT_EQ(f.edStatus->text(), "STATUS:COM Port Closed");
    EXPECT_EQ(f.edRx->text(), "Rx:0");
    EXPECT_EQ(f.edTx->text(), "Tx:0");
    EXPECT_EQ(LogLines(), QStringList{"Please open firmware."});
    EXPECT_EQ(f.cxTextEdit_FlowNo->text(), "No : 0");
    EXPECT_EQ(f.cxBtn_UpdateFirmWare->text(), "UpdateFirmWare");
    EXPECT_EQ(f.btnSwitch->text(), "打开串口 Open Port");
    EXPECT_EQ(f.Memo1->toPlainText(), "aa0d");
    EXPECT_TRUE(f.cbsendHex->isChecked());
    EXPECT_TRUE(f.CB_InfoOut->isChecked());
    EXPECT_EQ(f.cxTextEdit_No->text(), "1");
    EXPECT_TRUE(f.Station->StopRequested);
    EXPECT_FALSE(f.Station->BurnStopRequested || f.Station->ShakeOk || f.Station->BurnOk || f.SendOk);
    EXPECT_EQ(f.Station->RxCaptureLen, 0xFFFFFF);
    EXPECT_EQ(mForm->Station->BurnCount, 0);
    EXPECT_EQ(mForm->Station->BlockAddress, 0x08004000u);
    EXPECT_FALSE(f.ComPort->Connected());
    EXPECT_FALSE(f.Station->tmr1->Enabled() || f.Station->tmr2->Enabled());
    EXPECT_EQ(f.Station->tmr1->Interval(), 200);
    EXPECT_EQ(f.Station->tmr2->Interval(), 10000);
    EXPECT_EQ(f.RzProgressBar->TotalParts(), 0);
    EXPECT_EQ(f.frameGeometry().height(), 700);  // the outer size
    EXPECT_GE(f.frameGeometry().width(), 1000);
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(192, 220, 192));
    EXPECT_EQ(f.font().family(), "宋体");
    EXPECT_EQ(f.font().pixelSize(), 12);
}

TEST_F(TWindowTest, OperatorControlsSitAtTheirDesignPlaces) {
    CreateWindow();
    TFrmMain& f = *mForm;
    EXPECT_EQ(f.cxBtn_OpenFirmWare->geometry(), QRect(104, 56, 129, 49));
    EXPECT_EQ(f.cxBtn_UpdateFirmWare->geometry(), QRect(264, 56, 129, 49));
    EXPECT_EQ(f.cxBtn_ResetCounter->geometry(), QRect(416, 56, 129, 49));
    EXPECT_EQ(f.RzProgressBar->geometry(), QRect(104, 128, 441, 33));
    EXPECT_EQ(f.cxTextEdit_FlowNo->geometry(), QRect(552, 128, 81, 33));
    EXPECT_EQ(f.RzMemo3->geometry(), QRect(104, 176, 449, 241));
    EXPECT_EQ(f.cxButton1->geometry(), QRect(560, 176, 75, 25));
    EXPECT_EQ(f.btnSwitch->geometry(), QRect(13, 39, 124, 34));
    EXPECT_EQ(f.Button9->geometry(), QRect(14, 81, 123, 34));
    EXPECT_EQ(f.RzPageControl4->width(), 168);
    EXPECT_EQ(f.RzPageControl3->width(), 810);
    EXPECT_EQ(f.Panel2->height(), 25);
    EXPECT_EQ(f.edStatus->x(), 35);
    EXPECT_EQ(f.edRx->geometry().x(), 291);
    EXPECT_EQ(f.edTx->geometry().x(), 392);
    for (QWidget* hidden : std::initializer_list<QWidget*>{f.SpeedButton1, f.Button5, f.Btn_Clear, f.Button2,
                                                           f.CB_InfoOut, f.ComComboBox2, f.ComComboBox6})
        EXPECT_FALSE(hidden->isVisible());
    EXPECT_TRUE(f.ComComboBox1->isVisible());
}

struct TSizeCase {
    const char* Name;
    QSize Asked;
    QSize Got;
};

class MinimumSize : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(MinimumSize, RaisesOnlyWhatIsBelowItsMinimum) {
    EXPECT_EQ(ApplyMinimumSize(GetParam().Asked), GetParam().Got);
}

INSTANTIATE_TEST_SUITE_P(Cases, MinimumSize,
                         ::testing::Values(TSizeCase{"TooLow", {1200, 500}, {1200, 700}},
                                           TSizeCase{"TooNarrow", {800, 900}, {1000, 900}},
                                           TSizeCase{"Both", {10, 10}, {1000, 700}},
                                           TSizeCase{"AtMinimum", {1000, 700}, {1000, 700}},
                                           TSizeCase{"Negative", {-5, -5}, {1000, 700}},
                                           TSizeCase{"Large", {1600, 1200}, {1600, 1200}}),
                         RowName());

TEST_F(TWindowTest, ResizingBelowTheMinimumIsRaised) {
    CreateWindow();
    // The rule works on the outer size, frame included.
    const QSize frame = mForm->frameGeometry().size() - mForm->size();
    mForm->resize(QSize(1200, 500) - frame);
    PumpMessages();
    EXPECT_EQ(mForm->frameGeometry().size(), QSize(1200, 700));
    mForm->resize(QSize(800, 900) - frame);
    PumpMessages();
    EXPECT_EQ(mForm->frameGeometry().size(), QSize(1000, 900));
    mForm->resize(QSize(1000, 700) - frame);
    PumpMessages();
    EXPECT_EQ(mForm->frameGeometry().size(), QSize(1000, 700));
}

TEST_F(TWindowTest, StayOnTopToggles) {
    CreateWindow();
    TFrmMain& f = *mForm;
    f.SpeedButton1->click();
    EXPECT_TRUE(f.StaysOnTop());
    EXPECT_TRUE(f.SpeedButton1->isChecked());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.SpeedButton1->icon().pixmap(16, 16).toImage(), f.ImageList1[kPinTopImage].toImage());
    f.SpeedButton1->click();
    EXPECT_FALSE(f.StaysOnTop());
    EXPECT_FALSE(f.SpeedButton1->isChecked());
    EXPECT_EQ(f.SpeedButton1->icon().pixmap(16, 16).toImage(), f.ImageList1[kPinSideImage].toImage());
    EXPECT_EQ(f.windowTitle(), "Ridel Burn Tools V1.3");
}

TEST_F(TWindowTest, CounterResetZeroesBothCountersAndEmptiesTheHexView) {
    CreateWindow();
    TFrmMain& f = *mForm;
    f.RxCount = 40960;
    f.TxCount = 7;
    mForm->Station->BurnCount = 3;
    f.Station->RxCaptureLen = 12;
    f.Station->RxCapture[0] = 0x85;
    f.MPHexEditorEx1->AppendBuffer("abc");
    f.Button5->click();
    EXPECT_EQ(f.edRx->text(), "Rx:0");
    EXPECT_EQ(f.edTx->text(), "Tx:0");
    EXPECT_EQ(f.MPHexEditorEx1->Data().Size(), 0);
    EXPECT_EQ(mForm->Station->BurnCount, 3);
    EXPECT_EQ(f.Station->RxCaptureLen, 12);
    EXPECT_EQ(f.Station->RxCapture[0], 0x85);
}

TEST_F(TWindowTest, ClosingWithThePortOpenClosesItThenDetachesTheAfterCloseEvent) {
    TPtyPair device;
    RegisterPort(device.Path());
    CreateWindow();
    OpenPort(device.Path());
    EXPECT_EQ(mForm->btnSwitch->text(), "关闭串口 Close Port");
    mForm->close();
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_EQ(mForm->btnSwitch->text(), "打开串口 Open Port");
    EXPECT_EQ(mForm->edStatus->text(), "STATUS:COM Port Closed");
    EXPECT_FALSE(mForm->ComPort->OnAfterClose);
}

TEST(HexView, AppendSelectsTheNewBytesAndClearEmptiesIt) {
    THexView view(nullptr);
    view.AppendBuffer("");
    EXPECT_EQ(view.Data().Size(), 0);
    view.AppendBuffer("abcd");
    view.AppendBuffer("ef");
    EXPECT_EQ(view.Data().Size(), 6);
    EXPECT_EQ(view.Data().Mid(0, 6), "abcdef");
    EXPECT_EQ(view.CursorPosition(), 4);
    EXPECT_EQ(view.SelectionStart(), 4);
    EXPECT_EQ(view.SelectionLength(), 2);
    view.Clear();
    EXPECT_EQ(view.Data().Size(), 0);
    EXPECT_EQ(view.CursorPosition(), 0);
    EXPECT_EQ(view.SelectionLength(), 0);
}

TEST(HexView, KeepsBytesAcrossChunksInOrder) {
    THexBytes bytes;
    QByteArray all;
    for (int i = 0; i < 300; ++i) {
        QByteArray piece(1000 + i, char(i));
        bytes.Append(piece.constData(), piece.size());
        all += piece;
    }
    ASSERT_EQ(bytes.Size(), all.size());
    for (qint64 i : {qint64(0), THexBytes::kChunkSize - 1, THexBytes::kChunkSize, qint64(all.size() - 1)})
        EXPECT_EQ(bytes.At(i), quint8(all[i])) << i;
}

TEST(HexView, OffsetsAreUpperCaseHexWithPrefix) {
    EXPECT_EQ(THexView::OffsetText(0), "0x00000000");
    EXPECT_EQ(THexView::OffsetText(0xABCDE0), "0x00ABCDE0");
}

TEST(ProgressBar, ShowsCompletedOverTotalAsARoundedPercentage) {
    TRzProgressBar bar(nullptr);
    bar.SetTotalParts(3);
    bar.SetPartsComplete(1);
    EXPECT_EQ(bar.value(), 33);
    bar.SetPartsComplete(2);
    EXPECT_EQ(bar.value(), 67);
    bar.SetPartsComplete(5);  // above the total shows as the total
    EXPECT_EQ(bar.value(), 100);
    bar.SetTotalParts(3);  // same total: completed kept
    EXPECT_EQ(bar.PartsComplete(), 5);
    bar.SetTotalParts(4);  // new total: completed reset
    EXPECT_EQ(bar.PartsComplete(), 0);
    EXPECT_EQ(bar.value(), 0);
}
