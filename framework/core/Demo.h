// The demo stream of a recorded or replayed run: the bit-level record encoding (timing blocks,
// record headers, payloads) and the demo file with its header, markers and stream bytes. The
// application object decides what the records mean (AppDemo.cpp); this class only keeps the bits.
#pragma once
#include "framework/core/Buffer.h"
#include "framework/core/DemoStream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Fw {

class Demo : public DemoStream {
public:
    static constexpr uint32_t kMagic = 0x42BEEF78;
    static constexpr int32_t kVersion = 2;
    static constexpr int32_t kIdleCommand = 31;
    static constexpr int32_t kVideoDataCommand = 23;

    // Payload of the video-data record: the window mode and the refresh rate's low byte.
    struct VideoData {
        bool windowed = true;
        uint8_t refreshRate = 0;
    };

    // updateCount: the main loop's update counter, read whenever a record is stamped or compared.
    explicit Demo(const int32_t& updateCount) : updateCount_(updateCount) {}

    // ---- DemoStream ----
    void WriteHead() override { WriteTimingBlock(); }
    void WriteBits(uint32_t value, int count) override { stream.WriteNumBits(static_cast<int32_t>(value), count); }
    void WriteLong(uint32_t value) override { stream.WriteLong(static_cast<int32_t>(value)); }
    void WriteByte(uint8_t value) override { stream.WriteByte(value); }
    void PrepareCommand(bool required) override
    {
        Prepare(required);
        needsCommand = true;
    }
    uint32_t ReadBits(int count) override { return static_cast<uint32_t>(stream.ReadNumBits(count, false)); }
    uint32_t ReadLong() override { return static_cast<uint32_t>(stream.ReadLong()); }
    uint8_t ReadByte() override { return stream.ReadByte(); }

    // Update delta of a new record; gaps above 15 updates are bridged by idle records.
    void WriteTimingBlock();
    // Reads the next record header when none is pending; true when that record is due now.
    // required only documents that the caller expects the record now. A header that does not fit
    // in what is left (the zero pad bits of the last byte) is no record: the stream ends there.
    bool Prepare(bool required);
    // Bytes the stream still holds after the read position (whole bytes).
    int32_t BytesLeft() const;
    // Bits the stream still holds after the read position.
    int32_t BitsLeft() const;
    // Payload bits of the current record as playback reads them (for the character record, its
    // wide flag only); 0 for records without payload or whose payload others read.
    int32_t PayloadBits() const;
    // Moves the read position to the end: playback stops there.
    void SkipToEnd();

    // Records the video data. The first one goes in front of everything written so far, stamped
    // at update 0, so every stream opens with it whatever was recorded before the display first
    // started (the settings read made while creating the window); later ones are ordinary records.
    void WriteVideoData(const VideoData& data);
    // Playback: when the stream opens with a video-data record, reads it into startVideoData;
    // otherwise the stream stays at its front. ReadFile calls it.
    void ReadStartRecord();

    // Writes the demo file (header, markers, length, stream). False when it cannot be created.
    bool WriteFile(const std::string& path, uint32_t seed, const std::string& productVersion,
                   int32_t demoLength) const;
    // Reads a demo file for playback: seed, markers, length and the stream (read position at the
    // front). False with error set to the message the user sees.
    bool ReadFile(const std::string& path, const std::string& productVersion, uint32_t& seed, std::string& error);

    Buffer stream;
    int32_t lastUpdateCount = 0;
    bool needsCommand = true;
    bool shortCommand = false;
    int32_t command = 0;
    int32_t commandOrder = -1;
    int32_t commandBitPos = 0;
    bool loadingCompleteSeen = false;
    int32_t demoLength = 0;
    int32_t lastMouseX = 0, lastMouseY = 0;
    std::vector<std::pair<std::string, int32_t>> markers;
    bool videoDataWritten = false;
    std::optional<VideoData> startVideoData;

private:
    const int32_t& updateCount_;
};

// "Jump To Time" text ("h:m:s", "m:s" or "s"; fields are decimal, missing ones 0) in seconds.
int32_t ParseDemoJumpTime(const std::string& text);
// The update a jump of the given text leads to: 1 second past the time before the end.
int32_t DemoJumpTarget(const std::string& text, int32_t demoLength, int32_t frameTime);
// A "Marker List" entry: "name (hh:mm:ss)" with the time from the marker to the end.
std::string FormatDemoMarker(const std::string& name, int32_t markerUpdate, int32_t demoLength, int32_t frameTime);
// Remaining playback time as "hh:mm:ss".
std::string FormatDemoTimeLeft(int32_t demoLength, int32_t updateCount, int32_t frameTime);

} // namespace Fw
