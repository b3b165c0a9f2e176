// The demo stream as the application's input, settings and timing code use it: while a demo is
// recorded these calls append records; while one plays, they read them back. The demo recorder
// and player implement it (bit-level encoding, timing blocks); the application encodes the payloads.
#pragma once
#include <cstdint>

namespace Fw {

class DemoStream {
public:
    virtual ~DemoStream() = default;

    // Recording: the record head (the timing block of the current update), then payload bits.
    virtual void WriteHead() = 0;
    virtual void WriteBits(uint32_t value, int count) = 0;
    virtual void WriteLong(uint32_t value) = 0; // four bytes, low byte first
    virtual void WriteByte(uint8_t value) = 0;

    // Playback: positions on the next command (required: it must exist) and marks that a new
    // command header is needed after it; then payload reads. Reads past the end give 0.
    virtual void PrepareCommand(bool required) = 0;
    virtual uint32_t ReadBits(int count) = 0;
    virtual uint32_t ReadLong() = 0;
    virtual uint8_t ReadByte() = 0;
};

} // namespace Fw
