#include "tools/sim/frame_parser.h"

#include <gtest/gtest.h>

#include "support/named_case.h"
#include "test_frames.h"

using sim::TFrameKind;
using sim::TFrameParser;
using sim::TParsedFrame;
using sim::TParseEvent;

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

struct TExpectedFrame {
    TFrameKind Kind;
    quint32 Address;
    quint32 Checksum;
    QByteArray Payload;
};

struct TGoodStream {
    std::string Name;
    QByteArray Bytes;
    std::vector<TExpectedFrame> Frames;
};

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

QByteArray Bytes(int count, char value) {
    return QByteArray(count, value);
}

quint32 Sum(const QByteArray& payload) {
    quint32 sum = 0;
    for (char c : payload) sum += quint8(c);
    return sum;
}

const QByteArray kFiveThousand = TestImage(5000);
const QByteArray kBlock0 = kFiveThousand.mid(0, 2048);
const QByteArray kBlock1 = kFiveThousand.mid(2048, 2048);
const QByteArray kBlock2 = kFiveThousand.mid(4096, 904) + Bytes(1144, 0);

const TGoodStream kGoodStreams[] = {
    {"AllFfBlockAtBasePlus800",
     Hex("F0F008004800") + Bytes(2048, '\xFF') + Hex("0007F8000D0A"),
     {{TFrameKind::Block, 0x08004800, 0x0007F800, Bytes(2048, '\xFF')}}},
    {"StopFrame",
     Hex("F2F2") + Bytes(2056, 0) + Hex("0D0A"),
     {{TFrameKind::Stop, 0, 0, Bytes(2048, 0)}}},
    // The image byte is the handshake request: inside a frame it is payload, nothing else.
    {"OneByteImage",
     Hex("F1F1080040005A") + Bytes(2047, 0) + Hex("0000005A0D0A"),
     {{TFrameKind::Last, 0x08004000, 0x5A, Hex("5A") + Bytes(2047, 0)}}},
    {"FiveThousandByteImage",
     TestImageFrames(kFiveThousand).join(),
     {{TFrameKind::Block, 0x08004000, Sum(kBlock0), kBlock0},
      {TFrameKind::Block, 0x08004800, Sum(kBlock1), kBlock1},
      {TFrameKind::Last, 0x08005000, Sum(kBlock2), kBlock2}}},
};

class SimFrameParser : public ::testing::TestWithParam<TGoodStream> {};

// However the reads cut the stream, the same frames come out, and no byte is left over.
TEST_P(SimFrameParser, FindsEveryFrameInAnyCutOfTheStream) {
    const TGoodStream& row = GetParam();
    for (int chunk : {1, 2, 7, 2059, 2060, 4096, int(row.Bytes.size())}) {
        SCOPED_TRACE(chunk);
        TFrameParser parser;
        std::vector<TParseEvent> events;
        for (qsizetype at = 0; at < row.Bytes.size(); at += chunk)
            parser.Feed(row.Bytes.mid(at, chunk), at, events);
        ASSERT_EQ(events.size(), row.Frames.size());
        for (size_t i = 0; i < events.size(); ++i) {
            const auto* frame = std::get_if<TParsedFrame>(&events[i]);
            ASSERT_NE(frame, nullptr);
            const TExpectedFrame& want = row.Frames[i];
            EXPECT_EQ(frame->Kind, want.Kind);
            EXPECT_EQ(frame->Address, want.Address);
            EXPECT_EQ(frame->Checksum, want.Checksum);
            EXPECT_TRUE(frame->ChecksumOk);
            EXPECT_TRUE(frame->TailOk);
            EXPECT_EQ(frame->Payload, want.Payload);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, SimFrameParser, ::testing::ValuesIn(kGoodStreams), RowName());

TEST(SimFrameParserTimes, AFrameSpansFromItsFirstByteToItsLast) {
    const QByteArray frame = TestStopFrame();
    TFrameParser parser;
    std::vector<TParseEvent> events;
    parser.Feed(frame.left(1), 100, events);
    parser.Feed(frame.mid(1, 2000), 200, events);
    EXPECT_TRUE(events.empty());
    parser.Feed(frame.mid(2001), 300, events);
    ASSERT_EQ(events.size(), 1u);
    const auto& parsed = std::get<TParsedFrame>(events[0]);
    EXPECT_EQ(parsed.StartUs, 100);
    EXPECT_EQ(parsed.EndUs, 300);
}

}  // namespace
