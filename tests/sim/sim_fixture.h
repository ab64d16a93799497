// A running simulator and the tool's end of its line, for the tests that drive the real
// program.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "sim/sim_process.h"
#include "tool_line.h"

class SimProcessTest : public ::testing::Test {
  protected:
    void StartSim(const QStringList& args = {}) {
        ASSERT_TRUE(Sim.Start(args));
        Line = std::make_unique<TToolLine>(Sim.DevicePath());
        ASSERT_TRUE(Line->IsOpen());
    }

    void Handshake() {
        ASSERT_TRUE(Line->Write("\x5A"));
        ASSERT_EQ(Line->Read(1), "\xA5");
    }

    // Writes a frame and waits until the simulator has judged it.
    void SendFrame(const QByteArray& frame) {
        const int judged = Judged();
        ASSERT_TRUE(Line->Write(frame));
        ASSERT_TRUE(Sim.WaitForTrace([&](const QList<TSimEvent>&) { return Judged() > judged; }));
    }

    int Judged() { return int(Sim.Events("frame").size() + Sim.Events("bad_frame").size()); }

    int RepliesOf(const QString& byte) {
        int count = 0;
        for (const TSimEvent& e : Sim.Events("reply")) count += e.Byte == byte;
        return count;
    }

    TSimProcess Sim;
    std::unique_ptr<TToolLine> Line;
};
