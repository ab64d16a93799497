#include <gtest/gtest.h>

#include <thread>


#include "link/com_port.h"
#include "support/pty_pair.h"

namespace {

class ComPortOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        TComSettings s = mPort.Settings();
        s.Port = mDevice.Path();
        mPort.SetSettings(s);
        mPort.OnRxChar = [this](TComPort*, int count) {
            EXPECT_FALSE(mInWrite) << "receive event delivered inside a write";
            mCounts.append(count);
            mReceived += mPort.ReadBytes(count);
        };
    }
    // The handlers may capture a test's locals; none may run from the port's destructor.
    void TearDown() override {
        mPort.OnAfterOpen = nullptr;
        mPort.OnAfterClose = nullptr;
    }

    TPtyPair mDevice;
    TComPort mPort;
    QList<int> mCounts;
    QByteArray mReceived;
    bool mInWrite = false;
};

}  // namespace

TEST(ComPort, StartsWithTheDesignSettings) {
    TComPort port;
    const TComSettings& s = port.Settings();
    EXPECT_EQ(s.Port, "COM1");
    EXPECT_EQ(BaudRateValue(s), 57600);
    EXPECT_EQ(s.DataBits, TDataBits::dbEight);
    EXPECT_EQ(s.Parity, TParityBits::prNone);
    EXPECT_EQ(s.StopBits, TStopBits::sbOneStopBit);
    EXPECT_EQ(FlowControlText(s.FlowControl), "None");
    EXPECT_FALSE(port.Connected());
}

TEST(ComPort, OpeningAMissingPortRaisesUnableToOpen) {
    TComPort port;
    TComSettings s = port.Settings();
    s.Port = "/dev/vardo-no-such-port";
    port.SetSettings(s);
    try {
        port.SetConnected(true);
        FAIL() << "opened a missing port";
    } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Unable to open com port (Error: 2)");
    }
    EXPECT_FALSE(port.Connected());
}

TEST(ComPort, IoOnAClosedPortRaisesPortNotOpen) {
    TComPort port;
    TWriteRequest request;
    EXPECT_THROW(port.WriteBytes("x", 1), EComPort);
    EXPECT_THROW(port.BeginWrite("x", request), EComPort);
    EXPECT_THROW(port.ReadBytes(1), EComPort);
    try {
        port.WriteBytes("x", 1);
    } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Port Not Open");
    }
}

TEST_F(ComPortOnPty, OpenAndCloseRaiseTheirEvents) {
    QStringList events;
    mPort.OnAfterOpen = [&] { events << "open"; };
    mPort.OnAfterClose = [&] { events << "close"; };
    mPort.SetConnected(true);
    EXPECT_TRUE(mPort.Connected());
    mPort.SetConnected(true);  // no change, no event
    mPort.SetConnected(false);
    EXPECT_FALSE(mPort.Connected());
    EXPECT_EQ(events, (QStringList{"open", "close"}));
}

TEST_F(ComPortOnPty, BytesGoBothWaysAndEachEventCountsWhatIsWaiting) {
    mPort.SetConnected(true);
    EXPECT_EQ(mPort.WriteBytes("\xF0\x00\x0D", 3), 3);
    EXPECT_EQ(mDevice.Read(3, 2000), QByteArray("\xF0\x00\x0D", 3));

    mDevice.Write("abcd");
    ASSERT_TRUE(WaitFor([&] { return mReceived.size() == 4; }));
    mDevice.Write("efghij");
    ASSERT_TRUE(WaitFor([&] { return mReceived.size() == 10; }));
    EXPECT_EQ(mReceived, "abcdefghij");
    int total = 0;
    for (int c : mCounts) {
        EXPECT_GT(c, 0);
        total += c;
    }
    EXPECT_EQ(total, 10);
}

TEST_F(ComPortOnPty, NoReceiveEventInsideAWriteEvenWhenTheDeviceSendsDuringIt) {
    mPort.SetConnected(true);
    mDevice.Write("early");
    // The device answers while the tool is still writing a large block.
    std::thread device([&] {
        QByteArray got = mDevice.Read(20000, 5000);
        mDevice.Write("reply");
        EXPECT_EQ(got.size(), 20000);
    });
    mInWrite = true;
    QByteArray block(20000, '\x55');
    mPort.WriteBytes(block.constData(), block.size());
    mInWrite = false;
    device.join();
    ASSERT_TRUE(WaitFor([&] { return mReceived.endsWith("reply"); }));
    EXPECT_EQ(mReceived, "earlyreply");
}

TEST(ComPort, EmptyWriteOnAClosedPortIsNoError) {
    TComPort port;
    TWriteRequest request;
    EXPECT_NO_THROW(port.BeginWrite(QByteArray(), request));
    EXPECT_EQ(port.WaitWrite(request), 0);
}

TEST_F(ComPortOnPty, EmptyWriteStartsNothingAndWaitReturnsAtOnce) {
    mPort.SetConnected(true);
    TWriteRequest request;
    mPort.BeginWrite(QByteArray(), request);
    EXPECT_EQ(mPort.WaitWrite(request), 0);
    EXPECT_TRUE(mDevice.Read(1, 100).isEmpty());
}

TEST_F(ComPortOnPty, WriteToAVanishedDeviceRaises) {
    mPort.SetConnected(true);
    mDevice.CloseDevice();
    EXPECT_THROW(mPort.WriteBytes("\x5A", 1), EComPort);
    mPort.ForceClosed = true;
    mPort.SetConnected(false);
    EXPECT_FALSE(mPort.Connected());
}

TEST_F(ComPortOnPty, VanishedDeviceClosesThePortInsteadOfSpinningOnIt) {
    int closes = 0;
    mPort.OnAfterClose = [&] { ++closes; };
    mPort.SetConnected(true);
    mDevice.CloseDevice();
    ASSERT_TRUE(WaitFor([&] { return !mPort.Connected(); }));
    EXPECT_EQ(closes, 1);
    EXPECT_LE(IdleTurns(300, 50), 30);  // idle now, not spinning on the dead device
    EXPECT_THROW(mPort.WriteBytes("x", 1), EComPort);
}

TEST_F(ComPortOnPty, ErrorEscapingTheReceiveHandlerEndsDeliveryUntilReopened) {
    int events = 0;
    mPort.OnRxChar = [&](TComPort*, int) {
        ++events;
        throw EComPort(ComError::ReadFailed);
    };
    mPort.SetConnected(true);
    mDevice.Write("a");
    ASSERT_TRUE(WaitFor([&] { return events == 1; }));
    mDevice.Write("b");
    EXPECT_FALSE(WaitFor([&] { return events > 1; }, 300));
    mPort.SetConnected(false);
    mPort.SetConnected(true);
    mDevice.Write("c");
    EXPECT_TRUE(WaitFor([&] { return events == 2; }));
}

TEST_F(ComPortOnPty, DiscardInputDropsWaitingBytes) {
    mPort.OnRxChar = nullptr;
    mPort.SetConnected(true);
    mDevice.Write("junk");
    RunEventsFor(100);
    mPort.DiscardInput();
    EXPECT_TRUE(mPort.ReadBytes(10).isEmpty());
}

TEST_F(ComPortOnPty, NewPortNameWhileOpenClosesAndReopens) {
    TPtyPair other;
    QStringList events;
    mPort.OnAfterOpen = [&] { events << "open"; };
    mPort.OnAfterClose = [&] { events << "close"; };
    mPort.SetConnected(true);
    TComSettings s = mPort.Settings();
    s.Port = other.Path();
    mPort.SetSettings(s);
    EXPECT_TRUE(mPort.Connected());
    EXPECT_EQ(events, (QStringList{"open", "close", "open"}));
    mPort.WriteBytes("z", 1);
    EXPECT_EQ(other.Read(1, 2000), "z");
}
