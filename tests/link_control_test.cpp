#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "link/com_combo.h"
#include "link/settings_store.h"
#include "support/pty_pair.h"
#include "support/window_fixture.h"

namespace {

const QByteArray kStoreHead = "Windows Registry Editor Version 5.00\n\n";

class LinkControl : public TWindowTest {
protected:
    void StartWithDevice() {
        RegisterPort(mDevice.Path());
        CreateWindow();
    }
    QString SavedPort() {
        TRegistryFile file;
        if (!TSettingsStore().Read(file)) return "<unreadable>";
        const TRegKey* key = file.FindKey("HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort");
        const TRegValue* port = key ? key->Find("Port") : nullptr;
        return port ? port->Text : "<none>";
    }

    TPtyPair mDevice;
};

}  // namespace

TEST_F(LinkControl, RegisteredDeviceIsListedPickedOpenedAndItsSettingsSaved) {
    StartWithDevice();
    TFrmMain& f = *mForm;
    EXPECT_EQ(f.ComComboBox1->ComProperty(), TComProperty::cpPort);
    EXPECT_EQ(f.ComComboBox1->Text(), "");  // "COM1" is not among the ports
    OpenPort(mDevice.Path());
    EXPECT_EQ(f.btnSwitch->text(), "关闭串口 Close Port");
    EXPECT_EQ(f.edStatus->text(), "STATUS:" + mDevice.Path() + " Open 57600 8 1 None");
    EXPECT_TRUE(ReadStore().contains(
        "[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n\"Port\"=\"" + mDevice.Path().toUtf8() +
        "\"\n\"BaudRate\"=\"57600\"\n\"StopBits\"=\"1\"\n\"DataBits\"=\"8\"\n\"Parity\"=\"None\"\n"
        "\"FlowControl\"=\"None\"\n"));
    EXPECT_TRUE(ReadStore().contains("[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]"));

    f.btnSwitch->click();
    EXPECT_FALSE(f.ComPort->Connected());
    EXPECT_EQ(f.btnSwitch->text(), "打开串口 Open Port");
    EXPECT_EQ(f.edStatus->text(), "STATUS:COM Port Closed");
    EXPECT_TRUE(Recorder().Messages.isEmpty());
}

TEST_F(LinkControl, ClickThatClosesAlsoSaves) {
    StartWithDevice();
    OpenPort(mDevice.Path());
    ASSERT_TRUE(TSettingsStore().Modify([](TRegistryFile& file) {
        TRegValue v;
        v.Name = "Port";
        v.Text = "overwritten";
        file.CreateKey("HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort").Set(v);
    }));
    mForm->btnSwitch->click();
    EXPECT_EQ(SavedPort(), mDevice.Path());
}

TEST_F(LinkControl, NothingPickedWritesAnEmptyPortNameAndFailsWithTheMessage) {
    StartWithDevice();
    mForm->btnSwitch->click();
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_EQ(SavedPort(), "");
    EXPECT_EQ(Recorder().Messages, QStringList{"没有找到串口！"});
    EXPECT_EQ(mForm->edStatus->text(), "STATUS:COM Port Closed");
}

TEST_F(LinkControl, PortBoxWithoutPortsKeepsTheRestoredName) {
    WriteStore(kStoreHead + "[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n\"Port\"=\"" +
               mDevice.Path().toUtf8() + "\"\n");
    CreateWindow();
    // As discovery leaves it when it finds nothing: the box applies nothing.
    mForm->ComComboBox1->SetComProperty(TComProperty::cpNone);
    mForm->btnSwitch->click();
    EXPECT_TRUE(mForm->ComPort->Connected());
    EXPECT_EQ(mForm->ComPort->Settings().Port, mDevice.Path());
}

TEST_F(LinkControl, PortBoxWithoutPortsAndNothingRestoredTriesCom1) {
    CreateWindow();
    mForm->ComComboBox1->SetComProperty(TComProperty::cpNone);
    mForm->btnSwitch->click();
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_EQ(SavedPort(), "COM1");
    EXPECT_EQ(Recorder().Messages, QStringList{"没有找到串口！"});
}

TEST_F(LinkControl, FindPortRelistsAndReselectsWithoutTouchingTheLink) {
    StartWithDevice();
    OpenPort(mDevice.Path());
    TPtyPair second;
    RegisterPort(second.Path());
    mForm->Button9->click();
    EXPECT_GE(mForm->ComComboBox1->findText(second.Path()), 0);
    EXPECT_EQ(mForm->ComComboBox1->Text(), mDevice.Path());
    EXPECT_TRUE(mForm->ComPort->Connected());
}

TEST_F(LinkControl, RemovedAdaptersLeaveTheBoxEmptyAndTheButtonFails) {
    StartWithDevice();
    PickPort(mDevice.Path());
    ASSERT_TRUE(TSettingsStore().Modify([](TRegistryFile& file) {
        TRegKey& key = file.CreateKey("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM");
        key.Values.clear();
    }));
    mForm->Button9->click();
    EXPECT_EQ(mForm->ComComboBox1->ComProperty(), TComProperty::cpPort);
    EXPECT_LT(mForm->ComComboBox1->findText(mDevice.Path()), 0);
    mForm->btnSwitch->click();
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_EQ(Recorder().Messages, QStringList{"没有找到串口！"});
}

TEST_F(LinkControl, PickingAnotherPortWhileOpenMovesTheLink) {
    TPtyPair second;
    RegisterPort(second.Path());
    StartWithDevice();
    OpenPort(mDevice.Path());
    PickPort(second.Path());
    EXPECT_TRUE(mForm->ComPort->Connected());
    EXPECT_EQ(mForm->ComPort->Settings().Port, second.Path());
    EXPECT_EQ(mForm->edStatus->text(), "STATUS:" + second.Path() + " Open 57600 8 1 None");
    mForm->ComPort->WriteBytes("x", 1);
    EXPECT_EQ(second.Read(1, 2000), "x");
}

TEST_F(LinkControl, RestoredSettingsReachThePortButNotTheNextOpen) {
    WriteStore(kStoreHead + "[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n\"Port\"=\"" +
               mDevice.Path().toUtf8() + "\"\n\"BaudRate\"=\"115200\"\n\"Parity\"=\"odd\"\n");
    RegisterPort(mDevice.Path());
    CreateWindow();
    TFrmMain& f = *mForm;
    EXPECT_EQ(BaudRateValue(f.ComPort->Settings()), 115200);
    EXPECT_EQ(f.ComPort->Settings().Parity, TParityBits::prOdd);
    EXPECT_EQ(f.ComComboBox2->Text(), "57600");
    EXPECT_EQ(f.ComComboBox3->Text(), "None");
    EXPECT_EQ(f.ComComboBox1->Text(), "");  // selected at start, before the restore
    f.Button9->click();  // now the restored name is selected
    EXPECT_EQ(f.ComComboBox1->Text(), mDevice.Path());
    f.btnSwitch->click();
    ASSERT_TRUE(f.ComPort->Connected());
    EXPECT_EQ(BaudRateValue(f.ComPort->Settings()), 57600);
    EXPECT_EQ(f.ComPort->Settings().Parity, TParityBits::prNone);
}

TEST_F(LinkControl, UnreadableSettingsAreReportedAndTheRestOfShowIsSkipped) {
    const QByteArray garbage("\x89PNG\r\n\x1a\n garbage");
    WriteStore(garbage);
    CreateWindow();
    EXPECT_EQ(Recorder().Errors, QStringList{"Failed to load settings."});
    EXPECT_EQ(mForm->windowTitle(), "Vardo");
    EXPECT_TRUE(mForm->RzPageControl3->isTabVisible(mForm->RzPageControl3->indexOf(mForm->TabSheet4)));
    EXPECT_EQ(mForm->Station->RxCaptureLen, 0);
    EXPECT_EQ(ReadStore(), garbage);
}

TEST_F(LinkControl, WrongTypedValueFailsTheRestoreAndKeepsTheFile) {
    const QByteArray file = kStoreHead + "[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n"
                                         "\"BaudRate\"=\"Custom\"\n";
    WriteStore(file);
    CreateWindow();
    EXPECT_EQ(Recorder().Errors, QStringList{"Failed to load settings."});
    EXPECT_EQ(ReadStore(), file);
}

TEST_F(LinkControl, SettingsThatCannotBeStoredStopTheClickBeforeTheLinkMoves) {
    StartWithDevice();
    PickPort(mDevice.Path());
    const QByteArray garbage("not a settings file\n", 20);
    WriteStore(garbage);
    mForm->btnSwitch->click();
    EXPECT_EQ(Recorder().Errors, QStringList{"Failed to store settings."});
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_EQ(ReadStore(), garbage);
    // Mended between two clicks, the next click opens.
    QFile::remove(TSettingsStore::DefaultPath());
    mForm->btnSwitch->click();
    EXPECT_TRUE(mForm->ComPort->Connected());
}

TEST_F(LinkControl, SettingsFileThatCannotBeReadBetweenTwoClicksFailsTheSecondAndIsKept) {
    StartWithDevice();
    OpenPort(mDevice.Path());
    // Something that is not a file stands where the settings file was.
    const QString path = TSettingsStore::DefaultPath();
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    mForm->btnSwitch->click();
    EXPECT_EQ(Recorder().Errors, QStringList{"Failed to store settings."});
    EXPECT_TRUE(mForm->ComPort->Connected());  // the close did not run
    EXPECT_TRUE(QFileInfo(path).isDir());
    QDir(path).removeRecursively();
}

TEST_F(LinkControl, HiddenButtonDiscardsWaitingInput) {
    StartWithDevice();
    OpenPort(mDevice.Path());
    mForm->ComPort->OnRxChar = nullptr;  // let the bytes wait
    mDevice.Write("junk");
    RunEventsFor(100);
    mForm->Button2->click();
    EXPECT_TRUE(mForm->ComPort->ReadBytes(10).isEmpty());
}
