// Demo stream encoding and the demo file format (little-endian header, marker section, stream).
#include "framework/core/Demo.h"
#include "framework/core/FileSystemPath.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Fw {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Put32(FILE* f, uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

bool Get32(FILE* f, uint32_t& v)
{
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4)
        return false;
    v = b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

} // namespace

void Demo::WriteTimingBlock()
{
    while (updateCount_ - lastUpdateCount > 15) {
        stream.WriteNumBits(15, 4);
        lastUpdateCount += 15;
        stream.WriteNumBits(0, 1);
        stream.WriteNumBits(kIdleCommand, 5);
        ++commandOrder;
    }
    stream.WriteNumBits(updateCount_ - lastUpdateCount, 4);
    lastUpdateCount = updateCount_;
    ++commandOrder;
}

bool Demo::Prepare(bool /*required*/)
{
    if (needsCommand) {
        const int32_t left = BitsLeft();
        if (left < 6) {
            SkipToEnd();
            return false;
        }
        commandBitPos = stream.GetReadPos();
        const int32_t delta = stream.ReadNumBits(4, false);
        const bool isShort = stream.ReadNumBits(1, false) == 1;
        if (!isShort && left < 10) {
            SkipToEnd();
            return false;
        }
        lastUpdateCount += delta;
        shortCommand = isShort;
        command = stream.ReadNumBits(shortCommand ? 1 : 5, false);
        needsCommand = false;
        ++commandOrder;
    }
    return updateCount_ == lastUpdateCount;
}

int32_t Demo::BitsLeft() const
{
    const int32_t bits = stream.GetSizeBits() - stream.GetReadPos();
    return bits > 0 ? bits : 0;
}

int32_t Demo::BytesLeft() const { return BitsLeft() / 8; }

int32_t Demo::PayloadBits() const
{
    if (shortCommand)
        return command == 0 ? 12 : 4;
    switch (command) {
    case 0: return 24;
    case 1: return 1;
    case 2: case 3: case 4: case 21: return 8;
    case 5: return 1;
    case 23: return 16;
    default: return 0;
    }
}

void Demo::SkipToEnd()
{
    while (!stream.AtEnd())
        stream.ReadNumBits(1, false);
}

void Demo::WriteVideoData(const VideoData& data)
{
    if (videoDataWritten) {
        WriteTimingBlock();
        stream.WriteNumBits(0, 1);
        stream.WriteNumBits(kVideoDataCommand, 5);
        stream.WriteBoolean(data.windowed);
        stream.WriteByte(data.refreshRate);
        return;
    }
    videoDataWritten = true;
    // Delta 0: the records already written count from update 0, and still do behind it.
    Buffer front;
    front.WriteNumBits(0, 4);
    front.WriteNumBits(0, 1);
    front.WriteNumBits(kVideoDataCommand, 5);
    front.WriteBoolean(data.windowed);
    front.WriteByte(data.refreshRate);
    stream.SeekFront();
    for (int32_t left = stream.GetSizeBits(); left > 0; left -= 8) {
        const int32_t n = std::min(left, 8);
        front.WriteNumBits(stream.ReadNumBits(n, false), n);
    }
    stream = front;
    ++commandOrder;
}

void Demo::ReadStartRecord()
{
    startVideoData.reset();
    if (!needsCommand || stream.GetReadPos() != 0 || BitsLeft() < 10 + 16)
        return;
    stream.ReadNumBits(4, false);
    const bool isLong = stream.ReadNumBits(1, false) == 0;
    const int32_t first = stream.ReadNumBits(5, false);
    stream.SeekFront();
    if (!isLong || first != kVideoDataCommand)
        return;
    Prepare(true);
    needsCommand = true;
    VideoData data;
    data.windowed = stream.ReadBoolean();
    data.refreshRate = stream.ReadByte();
    startVideoData = data;
}

bool Demo::WriteFile(const std::string& path, uint32_t seed, const std::string& productVersion,
                     int32_t length) const
{
    File f(std::fopen(ToFileSystemPath(path).c_str(), "w+b"));
    if (!f)
        return false;
    Put32(f.get(), kMagic);
    Put32(f.get(), kVersion);
    Put32(f.get(), seed);
    // The length field is 16 bits: a longer version text is cut to what it can describe.
    const size_t n = std::min<size_t>(productVersion.size(), 0xFFFF);
    const unsigned char len[2] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8)};
    std::fwrite(len, 1, 2, f.get());
    std::fwrite(productVersion.data(), 1, n, f.get());

    Buffer markerSection;
    markerSection.WriteLong(static_cast<int32_t>(markers.size()));
    for (const auto& [name, update] : markers) {
        markerSection.WriteString(name);
        markerSection.WriteLong(update);
    }
    Put32(f.get(), static_cast<uint32_t>(markerSection.GetDataLen()));
    if (markerSection.GetDataLen() > 0)
        std::fwrite(markerSection.GetDataPtr(), 1, static_cast<size_t>(markerSection.GetDataLen()), f.get());
    Put32(f.get(), static_cast<uint32_t>(length));
    if (stream.GetDataLen() > 0)
        std::fwrite(stream.GetDataPtr(), 1, static_cast<size_t>(stream.GetDataLen()), f.get());
    return std::fflush(f.get()) == 0;
}

bool Demo::ReadFile(const std::string& path, const std::string& productVersion, uint32_t& seed,
                    std::string& error)
{
    File f(std::fopen(ToFileSystemPath(path).c_str(), "rb"));
    if (!f) {
        error = "Demo file not found: " + path;
        return false;
    }
    const std::string invalid = "Invalid demo file.";
    uint32_t magic = 0, version = 0;
    if (!Get32(f.get(), magic) || magic != kMagic || !Get32(f.get(), version) || !Get32(f.get(), seed)) {
        error = invalid;
        return false;
    }
    unsigned char len[2];
    if (std::fread(len, 1, 2, f.get()) != 2) {
        error = invalid;
        return false;
    }
    // The whole stored text is read, whatever its length, so the fields after it stay in place.
    std::string stored(static_cast<size_t>(len[0] | (len[1] << 8)), '\0');
    if (!stored.empty() && std::fread(stored.data(), 1, stored.size(), f.get()) != stored.size()) {
        error = invalid;
        return false;
    }
    if (const size_t nul = stored.find('\0'); nul != std::string::npos)
        stored.resize(nul);
    if (stored != productVersion) {
        error = "This demo file appears to be for '" + stored + "'";
        return false;
    }

    const long here = std::ftell(f.get());
    std::fseek(f.get(), 0, SEEK_END);
    int64_t remaining = std::ftell(f.get()) - here;
    std::fseek(f.get(), here, SEEK_SET);

    markers.clear();
    if (version >= 2) {
        uint32_t m = 0;
        if (!Get32(f.get(), m) || int64_t(m) >= remaining - 4) {
            error = invalid;
            return false;
        }
        std::vector<uint8_t> bytes(m);
        if (m > 0 && std::fread(bytes.data(), 1, m, f.get()) != m) {
            error = invalid;
            return false;
        }
        Buffer section;
        section.WriteBytes(bytes.data(), static_cast<int32_t>(m));
        const int32_t count = section.ReadLong();
        int32_t read = 0;
        while (read < count && !section.AtEnd()) {
            std::string name = section.ReadString();
            const int32_t update = section.ReadLong();
            markers.emplace_back(std::move(name), update);
            ++read;
        }
        if (read < count) {
            error = invalid;
            return false;
        }
        remaining -= 4 + int64_t(m);
    }
    uint32_t length = 0;
    if (!Get32(f.get(), length) || remaining - 4 <= 0) {
        error = invalid;
        return false;
    }
    demoLength = static_cast<int32_t>(length);
    std::vector<uint8_t> bytes(static_cast<size_t>(remaining - 4));
    if (std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
        error = invalid;
        return false;
    }
    stream.Clear();
    stream.WriteBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SeekFront();
    ReadStartRecord();
    return true;
}

int32_t ParseDemoJumpTime(const std::string& text)
{
    int32_t t = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t colon = text.find(':', start);
        if (colon == std::string::npos)
            colon = text.size();
        const std::string field = text.substr(start, colon - start);
        t = t * 60 + static_cast<int32_t>(std::strtol(field.c_str(), nullptr, 10));
        start = colon + 1;
    }
    return t;
}

int32_t DemoJumpTarget(const std::string& text, int32_t demoLength, int32_t frameTime)
{
    const int64_t t = ParseDemoJumpTime(text);
    return demoLength - static_cast<int32_t>(((t + 1) * 1000) / (frameTime > 0 ? frameTime : 1));
}

namespace {

std::string Hms(int64_t seconds)
{
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(seconds / 3600), int((seconds / 60) % 60),
                  int(seconds % 60));
    return text;
}

} // namespace

std::string FormatDemoMarker(const std::string& name, int32_t markerUpdate, int32_t demoLength, int32_t frameTime)
{
    return name + " (" + Hms((int64_t(demoLength - markerUpdate) * frameTime) / 1000) + ")";
}

std::string FormatDemoTimeLeft(int32_t demoLength, int32_t updateCount, int32_t frameTime)
{
    return Hms((int64_t(demoLength - updateCount) * frameTime) / 1000);
}

} // namespace Fw
