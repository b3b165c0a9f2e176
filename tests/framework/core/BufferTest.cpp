#include "framework/core/Buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Bytes(const Fw::Buffer& b)
{
    const uint8_t* p = b.GetDataPtr();
    return p ? std::vector<uint8_t>(p, p + b.GetDataLen()) : std::vector<uint8_t>();
}

TEST(Buffer, BitFieldsPackLeastSignificantFirst)
{
    Fw::Buffer b;
    EXPECT_EQ(b.GetDataPtr(), nullptr);
    b.WriteNumBits(5, 4);
    b.WriteNumBits(0, 1);
    b.WriteNumBits(31, 5);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0xE5, 0x03}));
    EXPECT_EQ(b.ReadNumBits(4, false), 5);
    EXPECT_EQ(b.ReadNumBits(1, false), 0);
    EXPECT_EQ(b.ReadNumBits(5, false), 31);
    EXPECT_TRUE(b.AtEnd());

    Fw::Buffer s;
    s.WriteNumBits(0b111110, 6); // read order 0,1,1,1,1,1
    EXPECT_EQ(s.ReadNumBits(6, true), -2);
    s.SeekFront();
    EXPECT_EQ(s.ReadNumBits(6, false), 62);

    Fw::Buffer nine;
    nine.WriteNumBits(0x1FF, 9);
    EXPECT_EQ(nine.GetDataLen(), 2);
    nine.WriteNumBits(1, 0); // nothing
    nine.WriteNumBits(1, -3);
    EXPECT_EQ(nine.GetSizeBits(), 9);
}

TEST(Buffer, UnalignedBytesAndValuesRoundTrip)
{
    Fw::Buffer b;
    b.WriteNumBits(0b101, 3);
    b.WriteByte(0xAB);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{uint8_t(0x05 | (0xAB << 3)), uint8_t(0xAB >> 5)}));
    b.WriteShort(-2);
    b.WriteLong(int32_t(0x89ABCDEF));
    b.WriteBoolean(true);
    b.WriteString("hi");
    b.WriteString("");
    const uint8_t raw[] = {1, 2, 255};
    b.WriteBytes(raw, 3);

    EXPECT_EQ(b.ReadNumBits(3, false), 5);
    EXPECT_EQ(b.ReadByte(), 0xAB);
    EXPECT_EQ(b.ReadShort(), -2);
    EXPECT_EQ(b.ReadLong(), int32_t(0x89ABCDEF));
    EXPECT_TRUE(b.ReadBoolean());
    EXPECT_EQ(b.ReadString(), "hi");
    EXPECT_EQ(b.ReadString(), "");
    uint8_t back[3] = {};
    b.ReadBytes(back, 3);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 3), (std::vector<uint8_t>{1, 2, 255}));
    EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, EmptyStringIsTwoZeroBytesAndBooleanIsAByte)
{
    Fw::Buffer b;
    b.WriteString("");
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0, 0}));
    b.Clear();
    b.WriteBoolean(true);
    EXPECT_EQ(b.GetSizeBits(), 8);
}

TEST(Buffer, ReadingPastTheEnd)
{
    Fw::Buffer b;
    b.WriteByte(0x7F);
    b.WriteNumBits(1, 1);
    EXPECT_EQ(b.ReadNumBits(3, false), 7);
    EXPECT_EQ(b.ReadByte(), 0x2F); // bits 3..10: 0x7F >> 3, then the written 1
    // From bit 11 a byte would need a third stored byte: 0 and no move.
    EXPECT_EQ(b.ReadByte(), 0);
    EXPECT_EQ(b.GetReadPos(), 11);
    EXPECT_EQ(b.ReadNumBits(8, false), 0); // stops after bit 15, the last stored one
    EXPECT_EQ(b.GetReadPos(), 16);
    // Bit reads stop at the last stored byte and keep the bits read; the sign comes from the last one.
    Fw::Buffer s;
    s.WriteNumBits(0x80, 8);
    s.ReadNumBits(7, false);
    EXPECT_EQ(s.ReadNumBits(4, true), int32_t(0xFFFFFFF1));
    EXPECT_EQ(s.ReadLong(), 0);
    EXPECT_EQ(s.ReadString(), "");
}

} // namespace
