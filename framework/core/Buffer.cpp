#include "framework/core/Buffer.h"

namespace Fw {

void Buffer::Clear()
{
    data_.clear();
    sizeBits_ = readPos_ = writePos_ = 0;
}

void Buffer::WriteByte(uint8_t b)
{
    const int32_t o = writePos_ % 8;
    if (o == 0) {
        data_.push_back(b);
    } else {
        data_[size_t(writePos_ / 8)] |= uint8_t(b << o);
        data_.push_back(uint8_t(b >> (8 - o)));
    }
    writePos_ += 8;
    if (writePos_ > sizeBits_)
        sizeBits_ = writePos_;
}

void Buffer::WriteNumBits(int32_t value, int32_t count)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int32_t i = 0; i < count; ++i) {
        if (writePos_ % 8 == 0)
            data_.push_back(0);
        if (i < 32 && (bits >> i) & 1u)
            data_[size_t(writePos_ / 8)] |= uint8_t(1u << (writePos_ % 8));
        ++writePos_;
    }
    if (writePos_ > sizeBits_)
        sizeBits_ = writePos_;
}

void Buffer::WriteShort(int16_t v)
{
    const auto u = static_cast<uint16_t>(v);
    WriteByte(uint8_t(u));
    WriteByte(uint8_t(u >> 8));
}

void Buffer::WriteLong(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(uint8_t(u >> shift));
}

void Buffer::WriteString(const std::string& s)
{
    const size_t length = s.size() > 0x7FFF ? 0x7FFF : s.size();
    WriteShort(int16_t(length));
    for (size_t i = 0; i < length; ++i)
        WriteByte(uint8_t(s[i]));
}

void Buffer::WriteBytes(const uint8_t* bytes, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        WriteByte(bytes[i]);
}

uint8_t Buffer::ReadByte()
{
    const int32_t p = readPos_, o = p % 8;
    if (size_t((p + 7) / 8) >= data_.size())
        return 0;
    const size_t k = size_t(p / 8);
    const uint8_t b = o == 0 ? data_[k] : uint8_t((data_[k] >> o) | (data_[k + 1] << (8 - o)));
    readPos_ += 8;
    return b;
}

int32_t Buffer::ReadNumBits(int32_t count, bool isSigned)
{
    uint32_t result = 0;
    bool lastBit = false;
    for (int32_t i = 0; i < count; ++i) {
        if (size_t(readPos_ / 8) >= data_.size())
            break;
        lastBit = (data_[size_t(readPos_ / 8)] >> (readPos_ % 8)) & 1u;
        if (lastBit && i < 32)
            result |= 1u << i;
        ++readPos_;
    }
    if (isSigned && lastBit && count < 32)
        result |= ~0u << count;
    return static_cast<int32_t>(result);
}

int16_t Buffer::ReadShort()
{
    const uint8_t lo = ReadByte();
    const uint8_t hi = ReadByte();
    return static_cast<int16_t>(uint16_t(lo | (hi << 8)));
}

int32_t Buffer::ReadLong()
{
    uint32_t v = 0;
    for (int shift = 0; shift < 32; shift += 8)
        v |= uint32_t(ReadByte()) << shift;
    return static_cast<int32_t>(v);
}

std::string Buffer::ReadString()
{
    const int16_t length = ReadShort();
    std::string s;
    if (length < 1)
        return s;
    s.reserve(size_t(length));
    for (int16_t i = 0; i < length; ++i)
        s.push_back(char(ReadByte()));
    return s;
}

void Buffer::ReadBytes(uint8_t* bytes, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        bytes[i] = ReadByte();
}

} // namespace Fw
