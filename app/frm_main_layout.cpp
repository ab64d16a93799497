// The window's controls at their design positions and values.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/frm_main.h"
#include "app/hex_view.h"
#include "app/pin_images.h"
#include "app/progress_bar.h"
#include "link/com_combo.h"

namespace {

const QColor kMoneyGreen(192, 220, 192);

template <typename Widget>
Widget* Place(Widget* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
    return w;
}

QPushButton* Button(QWidget* parent, const QString& caption, int l, int t, int w, int h) {
    return Place(new QPushButton(caption, parent), l, t, w, h);
}

QLabel* Label(QWidget* parent, const QString& caption, int l, int t, int w = 60, int h = 16) {
    return Place(new QLabel(caption, parent), l, t, w, h);
}

QPlainTextEdit* Memo(QWidget* parent, int l, int t, int w, int h) {
    auto* memo = Place(new QPlainTextEdit(parent), l, t, w, h);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

QLineEdit* StatusEdit(QWidget* parent, const QString& text, int left, int width) {
    auto* edit = Place(new QLineEdit(text, parent), left, 2, width, 21);
    edit->setReadOnly(true);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, kMoneyGreen);
    edit->setPalette(pal);
    return edit;
}

QWidget* Page(QTabWidget* control, const QString& caption) {
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette pal = page->palette();
    pal.setColor(QPalette::Window, kMoneyGreen);
    page->setPalette(pal);
    control->addTab(page, caption);
    return page;
}

// Square-cornered tabs 18 pixels high; styled on the tab bar alone so the pages keep the
// window's colours.
void SquareTabs(QTabWidget* control) {
    control->tabBar()->setStyleSheet(
        "QTabBar::tab { height: 18px; padding: 0 10px; border: 1px solid #808080;"
        " border-bottom: none; background: #c0dcc0; }"
        "QTabBar::tab:selected { background: #ffffff; }");
}

}  // namespace

void TFrmMain::CreateControls() {
    setWindowTitle("Vardo");
    QFont font("宋体");
    font.setPixelSize(12);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMoneyGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    // The client area is one page of a page control that shows no tab row.
    RzPageControl1 = new QTabWidget(this);
    RzPageControl1->tabBar()->hide();
    TabSheet2 = Page(RzPageControl1, "TabSheet2");
    TabSheet3 = Page(RzPageControl1, "TabSheet3");
    TabSheet3->setEnabled(false);
    RzPageControl1->setCurrentWidget(TabSheet2);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(RzPageControl1);

    auto* rows = new QVBoxLayout(TabSheet2);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    rows->addLayout(columns, 1);

    CreateLinkColumn();
    columns->addWidget(RzPageControl4);
    RzPageControl3 = new QTabWidget(TabSheet2);
    RzPageControl3->setFixedWidth(810);
    columns->addWidget(RzPageControl3);
    columns->addStretch(1);
    CreateFirmwarePage();
    CreateHiddenPages();
    RzPageControl3->setCurrentWidget(TabSheet7);

    CreateStatusBar();
    rows->addWidget(Panel2);
}

void TFrmMain::CreateLinkColumn() {
    RzPageControl4 = new QTabWidget(TabSheet2);
    RzPageControl4->setFixedWidth(168);
    SquareTabs(RzPageControl4);
    TabSheet1 = Page(RzPageControl4, "串口接收");

    GroupBox1 = Place(new QGroupBox(TabSheet1), 0, -3, 161, 185);
    Label3 = Label(GroupBox1, "端口 port", 0, 15, 56);
    ComComboBox1 = Place(new TComComboBox(ComPort, GroupBox1), 56, 12, 97, 20);
    btnSwitch = Button(GroupBox1, "打开串口 Open Port", 13, 39, 124, 34);
    Button9 = Button(TabSheet1, "查找串口 Find Port", 14, 81, 123, 34);

    // The other settings are applied before every open but never shown.
    struct THidden {
        TComComboBox*& Box;
        TComProperty Property;
        const char* Caption;
    };
    const THidden hidden[] = {
        {ComComboBox2, TComProperty::cpBaudRate, "波特率"},
        {ComComboBox3, TComProperty::cpParity, "校验位"},
        {ComComboBox4, TComProperty::cpDataBits, "数据位"},
        {ComComboBox5, TComProperty::cpStopBits, "停止位"},
        {ComComboBox6, TComProperty::cpFlowControl, "流控制"},
    };
    int top = 120;
    for (const THidden& h : hidden) {
        Label(GroupBox1, h.Caption, 0, top)->hide();
        h.Box = Place(new TComComboBox(ComPort, GroupBox1), 56, top, 97, 20);
        h.Box->SetComProperty(h.Property);
        h.Box->hide();
        h.Box->setEnabled(h.Property == TComProperty::cpBaudRate);
        top += 22;
    }
    ComLed1 = Label(GroupBox1, "CTS", 0, top);
    ComLed2 = Label(GroupBox1, "DSR", 40, top);
    ComLed3 = Label(GroupBox1, "Conn", 80, top);
    for (QLabel* led : {ComLed1, ComLed2, ComLed3}) led->hide();

    CB_InfoOut = Place(new QCheckBox("打开信息输出", TabSheet1), 14, 125, 120, 20);
    CB_InfoOut->setChecked(true);
    CB_InfoOut->hide();
    Button2 = Button(TabSheet1, "清空接收缓冲区", 14, 150, 123, 25);
    Button2->hide();
}

void TFrmMain::CreateFirmwarePage() {
    SquareTabs(RzPageControl3);
    TabSheet7 = Page(RzPageControl3, "FirmWare Update");
    cxBtn_OpenFirmWare = Button(TabSheet7, "OpenFirmWare", 104, 56, 129, 49);
    cxBtn_UpdateFirmWare = Button(TabSheet7, "UpdateFirmWare", 264, 56, 129, 49);
    cxBtn_ResetCounter = Button(TabSheet7, "ResetCounter", 416, 56, 129, 49);
    RzProgressBar = Place(new TRzProgressBar(TabSheet7), 104, 128, 441, 33);
    cxTextEdit_FlowNo = Button(TabSheet7, "No : 0", 552, 128, 81, 33);
    RzMemo3 = Memo(TabSheet7, 104, 176, 449, 241);
    RzMemo3->setReadOnly(true);
    RzMemo3->setPlainText("Please open firmware.");
    cxButton1 = Button(TabSheet7, "Clear", 560, 176, 75, 25);

    TabSheet5 = Page(RzPageControl3, "About US");
    CnAAText1 = Place(new QLabel(TabSheet5), 48, 40, 475, 389);
    CnAAText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CnAAText1->setWordWrap(true);
    CnAAText1->setText(
        "<p style='font-size:20px'><b>Vardo</b></p>"
        "<p style='font-size:14px'>Firmware burning for the production and service bench.</p>"
        "<p>Open the port, choose the image, click UpdateFirmWare, and connect one device "
        "after another; each burned device is counted.</p>"
        "<p>Made by the Vardo team.<br>Questions and faults: through the project's issue "
        "tracker.</p>");
}

void TFrmMain::CreateHiddenPages() {
    TabSheet4 = Page(RzPageControl3, "Parameter setup");
    cxButton_BurnShake = Button(TabSheet4, "BurnShake", 16, 16, 90, 30);
    cxButton_BurnFile = Button(TabSheet4, "BurnFile", 116, 16, 90, 30);
    cxButton_BurnAll = Button(TabSheet4, "Burn_All", 216, 16, 90, 30);
    cxButton_Stop = Button(TabSheet4, "Stop", 316, 16, 90, 30);
    Label(TabSheet4, "FileName:", 16, 60);
    edSendFile = Place(new QLineEdit(TabSheet4), 80, 58, 400, 21);
    edSendFile->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition)
        ->setObjectName("edSendFileButton");
    Label(TabSheet4, "FlowNo:", 16, 90);
    cxTextEdit_No = Place(new QLineEdit("1", TabSheet4), 80, 88, 100, 21);
    Label(TabSheet4, "Progress:", 16, 120);
    RzMemo1 = Memo(TabSheet4, 80, 120, 300, 120);
    cxButton_ClearSingle = Button(TabSheet4, "Clear", 390, 120, 75, 25);
    Label(TabSheet4, "Progress:", 16, 250);
    RzMemo2 = Memo(TabSheet4, 80, 250, 300, 120);
    cxButton_ClearAll = Button(TabSheet4, "Clear", 390, 250, 75, 25);

    TabSheet6 = Page(RzPageControl3, "Data record");
    auto* records = Place(new QTabWidget(TabSheet6), 0, 0, 800, 600);
    records->tabBar()->hide();
    QWidget* recordPage = Page(records, "Data");
    auto* recordLayout = new QVBoxLayout(recordPage);
    MPHexEditorEx1 = new THexView(recordPage);
    recordLayout->addWidget(MPHexEditorEx1);

    TabSheet8 = Page(RzPageControl3, "TabSheet8");
    Panel3 = Label(TabSheet8, "发送的字符/数据", 16, 8, 200, 20);
    Memo1 = Place(new QPlainTextEdit("aa0d", TabSheet8), 16, 32, 400, 120);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setStyleSheet("QPlainTextEdit { color: white; background: black; }");
    cbsendHex = Place(new QCheckBox("十六进制发送", TabSheet8), 16, 160, 120, 20);
    cbsendHex->setChecked(true);
    btnSend = Button(TabSheet8, "手动发送", 150, 160, 90, 25);
    Button1 = Button(TabSheet8, "清空重填", 250, 160, 90, 25);

    for (QWidget* page : {TabSheet4, TabSheet6, TabSheet8})
        RzPageControl3->setTabVisible(RzPageControl3->indexOf(page), page == TabSheet4);
}

void TFrmMain::CreateStatusBar() {
    Panel2 = new QWidget(TabSheet2);
    Panel2->setFixedHeight(25);
    SpeedButton1 = Place(new QToolButton(Panel2), 13, 2, 22, 22);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setCheckable(true);
    SpeedButton1->setToolTip("固定窗体");
    SpeedButton1->setIcon(ImageList1.value(kPinSideImage));
    SpeedButton1->hide();
    edStatus = StatusEdit(Panel2, "STATUS:COM Port Closed", 35, 255);
    edRx = StatusEdit(Panel2, "Rx:0", 291, 100);
    edTx = StatusEdit(Panel2, "Tx:0", 392, 100);
    Button5 = Button(Panel2, "计数清零", 500, 1, 80, 23);
    Button5->hide();
    Btn_Clear = Button(Panel2, "清空接收到的数据", 590, 1, 120, 23);
    Btn_Clear->hide();
}
