// A growable byte store written and read at bit granularity (demo streams, recorded registry and
// input records). Byte k holds bits 8k..8k+7, bit 0 least significant; multi-byte values are low
// byte first. Reading and writing keep separate positions; reads past the end give 0.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Fw {

class Buffer {
public:
    Buffer() = default;
    virtual ~Buffer() = default;

    void Clear();
    void SeekFront() { readPos_ = 0; }
    int32_t GetDataLen() const { return (sizeBits_ + 7) / 8; }
    // The first byte, or null while empty.
    const uint8_t* GetDataPtr() const { return data_.empty() ? nullptr : data_.data(); }
    bool AtEnd() const { return readPos_ >= sizeBits_; }
    int32_t GetReadPos() const { return readPos_; }
    int32_t GetSizeBits() const { return sizeBits_; }

    void WriteByte(uint8_t b);
    // The low count bits of value, least significant first; count < 1 writes nothing.
    void WriteNumBits(int32_t value, int32_t count);
    void WriteBoolean(bool b) { WriteByte(b ? 1 : 0); } // a whole byte
    void WriteShort(int16_t v);
    void WriteLong(int32_t v);
    // A 16-bit length, then the bytes. Strings longer than 32767 bytes are cut to that length,
    // the most the length field can carry for ReadString.
    void WriteString(const std::string& s);
    void WriteBytes(const uint8_t* bytes, int32_t count);

    // 0 (and the read position unchanged) when the byte is not all stored.
    uint8_t ReadByte();
    // count bits, least significant first; stops at the end of the data. With isSigned, a last bit
    // read of 1 sets every bit from count up (count < 32).
    int32_t ReadNumBits(int32_t count, bool isSigned);
    bool ReadBoolean() { return ReadByte() != 0; }
    int16_t ReadShort();
    int32_t ReadLong();
    // A ReadShort length, then that many bytes; a length below 1 gives the empty string.
    std::string ReadString();
    void ReadBytes(uint8_t* bytes, int32_t count);

private:
    std::vector<uint8_t> data_;
    int32_t sizeBits_ = 0;
    int32_t readPos_ = 0;
    int32_t writePos_ = 0;
};

} // namespace Fw
