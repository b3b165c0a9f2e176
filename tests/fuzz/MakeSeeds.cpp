// Writes the seed corpora of the fuzz targets with the project's own writers and test fixtures:
//     fuzz_make_seeds tests/fuzz/corpus
// replaces the files it makes under corpus/<reader>/ (files added by hand are left alone).
#include "engine/core/ProfileStore.h"
#include "framework/core/Demo.h"
#include "platform/fake/FakeUserFolders.h"

#include "support/ArchiveFixtures.h"
#include "support/FontFixtures.h"
#include "support/ImageFixtures.h"
#include "support/QuietProfileHost.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace TestSupport;

namespace {

fs::path gRoot;

void Put(const std::string& reader, const std::string& name, const std::string& bytes)
{
    const fs::path folder = gRoot / reader;
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary | std::ios::trunc) << bytes;
}
void Put(const std::string& reader, const std::string& name, const std::vector<uint8_t>& bytes)
{
    Put(reader, name, std::string(bytes.begin(), bytes.end()));
}
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Archives()
{
    Put("archive", "two-files.pak", MakeArchive({{"a.txt", "alpha\r\nbeta\n"}, {"dir\\b.bin", std::string(40, 'b')}}));
    Put("archive", "duplicates.pak", MakeArchive({{"x.txt", "one"}, {"X.TXT", "two"}, {"", ""}, {"c", "x"}}));
    Put("archive", "wide.pak", MakeArchive({{"w.txt", Utf16Le(L"line\r\nnext\n")}}));
    for (BrokenArchive kind : {BrokenArchive::TruncatedDirectory, BrokenArchive::EntryPastEnd})
        {
        std::string name = Describe(kind);
        for (char& c : name)
            c = c == ' ' ? '-' : c;
        Put("archive", "broken-" + name + ".pak", MakeBrokenArchive(kind));
    }
}

void Images(const TempFolder& temp)
{
    const std::vector<uint32_t> pixels = PatternPixels(5, 4);
    Put("image_png", "rgba.png", PngBytes(5, 4, pixels));
    PngFixture palette{4, 2, 2, 3, true, {0x1B, 0xE4}, {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}, {0, 128}};
    WritePngFixture(temp.File("p.png"), palette);
    Put("image_png", "palette-interlaced.png", ReadAll(temp.File("p.png")));
    PngFixture grey16{2, 2, 16, 0, false, {0x12, 0x34, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00}, {}, {}};
    WritePngFixture(temp.File("g.png"), grey16);
    Put("image_png", "grey16.png", ReadAll(temp.File("g.png")));

    std::vector<uint8_t> rgb, grey, cmyk;
    for (uint32_t p : pixels) {
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        grey.push_back(uint8_t(p));
        cmyk.insert(cmyk.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    }
    const std::pair<const char*, std::pair<int, const std::vector<uint8_t>*>> jpegs[] = {
        {"rgb.jpg", {3, &rgb}}, {"grey.jpg", {1, &grey}}, {"cmyk.jpg", {4, &cmyk}}};
    for (const auto& [name, spec] : jpegs) {
        WriteJpegFixture(temp.File(name), 5, 4, spec.first, *spec.second, 90);
        Put("image_jpeg", name, ReadAll(temp.File(name)));
    }

    WriteJ2kFixture(temp.File("a.j2k"), 5, 4, 3, rgb, false);
    Put("image_j2k", "rgb.j2k", ReadAll(temp.File("a.j2k")));
    WriteJ2kFixture(temp.File("g.j2k"), 5, 4, 1, grey, false);
    Put("image_j2k", "grey.j2k", ReadAll(temp.File("g.j2k")));
    WriteJ2kFixture(temp.File("a.jp2"), 5, 4, 3, rgb, true);
    Put("image_jp2", "rgb.jp2", ReadAll(temp.File("a.jp2")));

    std::vector<uint8_t> indices;
    for (uint32_t p : pixels)
        indices.push_back(uint8_t(p % 8));
    const std::vector<uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
    Put("image_gif", "global.gif", MakeGif({5, 4, colours, indices, false, false, -1, false}));
    Put("image_gif", "local-interlaced-transparent.gif", MakeGif({5, 4, colours, indices, true, true, 3, true}));

    std::vector<uint8_t> bgra;
    for (uint32_t p : pixels)
        bgra.insert(bgra.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)});
    Put("image_tga", "top-left.tga", MakeTga(5, 4, 32, 0x28, bgra));
    Put("image_tga", "cut-short.tga", MakeTga(5, 4, 32, 0x28, std::vector<uint8_t>(bgra.begin(), bgra.begin() + 30)));
}

void FontDescriptions()
{
    const std::wstring base = GlyphStripFont();
    Put("font_description", "one-layer.txt", Utf16Le(base));
    Put("font_description", "shadow.txt",
        Utf16Le(base + GlyphStripShadow() + L"LayerSetPointSize shadow 12;\n"));
    Put("font_description", "unknown-command.txt", Utf16Le(L"CreateLayer a;\nFrobnicate a 3;\n"));
}

void ResourceLists()
{
    Put("resources", "groups.xml",
        std::string("<ResourceManifest>\n"
                    "  <Resources id=\"Init\">\n"
                    "    <SetDefaults path=\"\" idprefix=\"IMG_\"/>\n"
                    "    <Image path=\"img\"/>\n"
                    "    <Image path=\"img.png\" id=\"sheet\" anim=\"Loop\" rows=\"2\" cols=\"1\" framedelay=\"50\"/>\n"
                    "    <Image path=\"missing\" id=\"gone\"/>\n"
                    "  </Resources>\n"
                    "  <Resources id=\"Game\">\n"
                    "    <Image path=\"img.png\" id=\"alpha\" alphaimage=\"img.png\" nopal=\"1\" a8r8g8b8=\"1\"/>\n"
                    "    <Image path=\"img.png\" id=\"grid\" alphagrid=\"img.png\" cols=\"2\" anim=\"once\"/>\n"
                    "    <Sound path=\"s.ogg\"/>\n"
                    "  </Resources>\n"
                    "</ResourceManifest>\n"));
    Put("resources", "refused.xml",
        std::string("<ResourceManifest>\n  <Resources id=\"A\">\n    <Image path=\"a\"></Font>\n"
                    "  </Resources>\n</ResourceManifest>\n"));
}

void PrefFiles(const TempFolder& temp)
{
    Platform::FakeUserFolders folders(temp.Path(), temp.Path());
    Platform::ScopedUserFolders installed(folders);
    QuietProfileHost host(true);
    VTProfileStore store(host);
    store.Load();
    store.Save();
    Put("pref_dat", "no-profiles.dat", ReadAll(store.Path()));
    store.CreateProfile(L"Ann");
    store.SetSelectedData("level=3;coins=40");
    store.CreateProfile(std::wstring(L"Wide \x263A ") + wchar_t(0x1F600));
    store.SetSelectedData("x");
    Put("pref_dat", "two-profiles.dat", ReadAll(store.Path()));
}

void Demos(const TempFolder& temp)
{
    int32_t count = 0;
    Fw::Demo demo(count);
    for (int i = 0; i < 6; ++i) {
        count += i * 5;
        demo.WriteTimingBlock();
        const bool shortCommand = i % 2 == 0;
        demo.stream.WriteNumBits(shortCommand ? 1 : 0, 1);
        demo.stream.WriteNumBits(shortCommand ? 1 : i, shortCommand ? 1 : 5);
        demo.WriteLong(uint32_t(i * 1000));
    }
    demo.markers.emplace_back("boss", 7);
    demo.WriteFile(temp.File("a.dmo"), 0x01020304, "1.0", count);
    Put("demo", "records.dmo", ReadAll(temp.File("a.dmo")));
    demo.WriteFile(temp.File("b.dmo"), 1, "2.5", count); // another product version: refused
    Put("demo", "other-version.dmo", ReadAll(temp.File("b.dmo")));
}

void XmlTexts()
{
    const std::string text = "<?xml version=\"1.0\"?>\n<root a=\"1\"><item id=\"x\">text</item>"
                              "<item id=\"y\"><deep b=\"&amp;\"/></item><!-- note --></root>\n";
    Put("xml", "utf8.xml", text);
    Put("xml", "utf8-bom.xml", "\xEF\xBB\xBF" + text);
    std::wstring wide(text.begin(), text.end());
    Put("xml", "utf16le-bom.xml", "\xFF\xFE" + Utf16Le(wide));
    std::string be = "\xFE\xFF";
    for (wchar_t c : wide)
        be += {char(0), char(c)};
    Put("xml", "utf16be-bom.xml", be);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    gRoot = fs::absolute(argv[1]);
    TempFolder temp;
    Archives();
    Images(temp);
    FontDescriptions();
    ResourceLists();
    PrefFiles(temp);
    Demos(temp);
    XmlTexts();
    return 0;
}
