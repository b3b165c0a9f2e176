// Bounded random-mutation runs over the archive directory parser and every image reader: valid
// files made by our own writers, damaged a few bytes at a time from a fixed seed. The sanitizers
// turn any read outside a buffer into a failure; the checks below catch what they cannot see.
#include "framework/assets/ImageLib.h"
#include "framework/assets/PakArchiveFormat.h"
#include "framework/assets/PakInterface.h"

#include "support/ArchiveFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using namespace TestSupport;

constexpr int kIterations = 300;

// seed's mutation of bytes: up to four bytes replaced, and sometimes the end cut off.
std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random)
{
    const int changes = 1 + int(random() % 4);
    for (int i = 0; i < changes && !bytes.empty(); ++i)
        bytes[random() % bytes.size()] = uint8_t(random());
    if (random() % 4 == 0 && !bytes.empty())
        bytes.resize(random() % bytes.size());
    return bytes;
}

TEST(AssetFuzz, ArchiveDirectoryParserStaysInBounds)
{
    const std::vector<uint8_t> valid =
        MakeArchive({{"a.txt", "alpha"}, {"dir\\b.bin", std::string(40, 'b')}, {"", ""}, {"c", "x"}});
    std::mt19937 random(1234);
    ScratchFolder folder;
    for (int i = 0; i < kIterations; ++i) {
        const std::vector<uint8_t> bytes = Mutate(valid, random);
        const auto entries = Pak::ParseDirectory(bytes);
        if (entries) {
            for (const Pak::DirectoryEntry& e : *entries)
                ASSERT_LE(uint64_t(e.start) + e.size, bytes.size())
                    << "iteration " << i << " entry " << e.name;
        }
        if (i % 10 == 0) { // the whole reader as well: open, then read every entry
            folder.Write("fuzz.pak", bytes);
            PakInterface pak;
            ASSERT_EQ(pak.OpenPakArchive("fuzz.pak"), entries.has_value()) << "iteration " << i;
            if (!entries)
                continue;
            for (const Pak::DirectoryEntry& e : *entries) {
                PakFile* f = pak.FOpen(e.name.c_str(), "rb");
                std::vector<uint8_t> buffer(e.size + 1);
                ASSERT_NE(f, nullptr);
                pak.FRead(buffer.data(), 1, buffer.size(), f);
                pak.FClose(f);
            }
        }
    }
}

TEST(AssetFuzz, ImageReadersSurviveDamagedFiles)
{
    ScratchFolder folder;
    const int w = 12, h = 9;
    const std::vector<uint32_t> pixels = PatternPixels(w, h);
    ImageLib::Image image(w, h);
    image.Pixels() = pixels;
    ASSERT_TRUE(ImageLib::WritePng("seed.png", image));
    ASSERT_TRUE(ImageLib::WriteJpeg("seed.jpg", image));
    std::vector<uint8_t> samples;
    for (uint32_t p : pixels)
        samples.insert(samples.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    WriteJ2kFixture("seed.j2k", w, h, 3, samples, false);
    WriteJ2kFixture("seed.jp2", w, h, 3, samples, true);
    std::vector<uint8_t> tgaData(size_t(w * h) * 4);
    std::vector<uint8_t> indices;
    for (size_t i = 0; i < pixels.size(); ++i)
        indices.push_back(uint8_t(pixels[i] % 8));
    folder.Write("seed.tga", MakeTga(w, h, 32, 0x28, tgaData));
    folder.Write("seed.gif", MakeGif({w, h, {1, 2, 3, 4, 5, 6, 7, 8}, indices, true, false, 3, true}));

    ImageLib::LoadJ2kCodec();
    struct Reader {
        const char* extension;
        std::function<std::unique_ptr<ImageLib::Image>(const std::string&)> read;
    } readers[] = {{".png", ImageLib::ReadPng}, {".jpg", ImageLib::ReadJpeg}, {".gif", ImageLib::ReadGif},
                   {".tga", ImageLib::ReadTga}, {".j2k", ImageLib::ReadJ2k},  {".jp2", ImageLib::ReadJ2k}};
    std::mt19937 random(99);
    for (const Reader& r : readers) {
        const std::string seedName = std::string("seed") + r.extension;
        const std::string seedBytes = ReadFileBytes(seedName);
        const std::vector<uint8_t> seed(seedBytes.begin(), seedBytes.end());
        ASSERT_NE(r.read(seedName), nullptr) << seedName;
        const std::string name = std::string("fuzz") + r.extension;
        for (int i = 0; i < kIterations; ++i) {
            folder.Write(name, Mutate(seed, random));
            const auto decoded = r.read(name);
            if (decoded) {
                ASSERT_EQ(decoded->Pixels().size(),
                          size_t(decoded->GetWidth()) * size_t(decoded->GetHeight()))
                    << name << " iteration " << i;
            }
        }
    }
    ImageLib::FreeJ2kCodec();
}

} // namespace
