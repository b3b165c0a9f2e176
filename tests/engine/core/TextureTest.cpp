// The texture catalogue (file test with the ".jpg" fallback), textures (frames, animation, drawing,
// hit tests) and the script image cache.
#include "engine/core/ImageCache.h"
#include "engine/core/Texture.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "framework/assets/PakInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include "support/ArchiveFixtures.h"
#include "support/FakeImageServices.h"
#include "support/FontFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

Platform::XmlDocument ParseXml(const std::string& text)
{
    Platform::XmlDocument document;
    EXPECT_TRUE(LoadXmlBytes(text.data(), text.size(), document)) << text;
    return document;
}

std::vector<std::string> FramePaths(const VTTexture& texture)
{
    std::vector<std::string> paths;
    for (const VTImageRef& frame : texture.frames)
        paths.push_back(frame.Descriptor() ? frame.Descriptor()->Path() : "<none>");
    return paths;
}

// A cleared width x height canvas.
std::unique_ptr<Fw::MemoryImage> Canvas(int width, int height)
{
    auto image = std::make_unique<Fw::MemoryImage>(nullptr);
    image->Create(width, height);
    image->GetBits();
    return image;
}

uint32_t Pixel(Fw::MemoryImage& image, int x, int y)
{
    return image.GetBits()[y * image.GetWidth() + x];
}

// A destination that records the matrix blits and stretches drawn into it.
// Opaque red, give or take the blend's rounding of one step.
testing::AssertionResult IsRed(uint32_t pixel)
{
    if ((pixel >> 24) == 0xFF && ((pixel >> 16) & 0xFF) >= 0xFE && (pixel & 0xFFFF) == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hex << "0x" << pixel << " is not red";
}

class RecordingImage : public Fw::Image {
public:
    RecordingImage()
    {
        width = 16;
        height = 16;
    }
    struct Call {
        Fw::Image* image;
        Fw::Matrix3 matrix;
        Fw::Rect clip, srcRect;
        int32_t drawMode;
        Fw::SecondTexture mask;
    };
    void BltMatrix(Fw::Image* src, float, float, const Fw::Matrix3& matrix, const Fw::Rect& clip,
                   const Fw::Color&, int32_t drawMode, const Fw::Rect& srcRect, bool,
                   const Fw::SecondTexture& second) override
    {
        calls.push_back({src, matrix, clip, srcRect, drawMode, second});
    }
    void StretchBlt(Fw::Image* src, const Fw::Rect&, const Fw::Rect& srcRect, const Fw::Rect& clip,
                    const Fw::Color&, int32_t drawMode, bool) override
    {
        calls.push_back({src, Fw::Matrix3(), clip, srcRect, drawMode, {}});
    }
    std::vector<Call> calls;
};

class TextureTest : public testing::Test {
protected:
    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};
};

TEST_F(TextureTest, CatalogueFallsBackFromMissingPngToJpgInFilesAndArchives)
{
    TestSupport::ScratchFolder folder;
    folder.Write("tex/both.png", TestSupport::PngBytes(2, 2, std::vector<uint32_t>(4, 0xFF00FF00)));
    TestSupport::WriteJpegFixture(folder.Path() + "/tex/photo.jpg", 4, 4, 3,
                                  std::vector<uint8_t>(4 * 4 * 3, 0x80));
    folder.Write("tex/both.jpg", "not read");
    const auto png = TestSupport::PngBytes(3, 3, std::vector<uint32_t>(9, 0xFF0000FF));
    folder.Write("ui.pak",
                 TestSupport::MakeArchive({{"tex\\packed.jpg", "only opened"},
                                           {"tex\\first.png", std::string(png.begin(), png.end())}}));
    PakInterface pak;
    ASSERT_TRUE(pak.OpenPakArchive("ui.pak"));

    auto document = ParseXml("<root>"
                             "<texture id='photo' file='tex\\photo.png'/>"
                             "<texture id='both' file='tex\\both.png'/>"
                             "<texture id='packed' file='tex\\packed.png'/>"
                             "<texture id='dup' file='tex\\first.png'/>"
                             "<texture id='dup' file='tex\\both.png'/>"
                             "<texture id='gone' file='tex\\gone.png'/>"
                             "<texture id='short' file='.png'/>"
                             "<other id='other' file='tex\\both.png'/>"
                             "</root>");
    catalogue.LoadFromXml(document.DocumentElement());

    struct Case {
        const char* id;
        const char* path; // null: not entered
    } cases[] = {
        {"photo", "tex\\photo.jpg"}, {"both", "tex\\both.png"}, {"packed", "tex\\packed.jpg"},
        {"dup", "tex\\first.png"},   {"gone", nullptr},         {"short", nullptr},
        {"other", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        VTImageRef handle = catalogue.GetImage(c.id, false);
        if (!c.path) {
            EXPECT_EQ(handle.Descriptor(), nullptr);
            continue;
        }
        ASSERT_NE(handle.Descriptor(), nullptr);
        EXPECT_EQ(handle.Descriptor()->Path(), c.path);
    }
    EXPECT_EQ(catalogue.Size(), 4u);
    EXPECT_EQ(images.Created(), 0) << "entering a texture loads no image";

    VTImageRef photo = catalogue.GetImage("photo", false);
    Fw::MemoryImage* image = photo.GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 4);
}

TEST_F(TextureTest, AnimationStepsOneFramePerUpdate)
{
    struct Case {
        const char* what;
        bool oneshot;
        std::vector<int> frames; // before the first update, then after each
    } cases[] = {
        {"oneshot stops on the last frame", true, {0, 1, 2, 2, 2}},
        {"looping starts over", false, {0, 1, 2, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VTTexture texture;
        texture.Init(catalogue, "anim", 0, 0, 8, 8, 10, 3, c.oneshot, false);
        std::vector<int> seen;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            seen.push_back(texture.currentFrame);
            texture.Update(0.1f);
        }
        EXPECT_EQ(seen, c.frames);
    }

    VTTexture slow;
    slow.Init(catalogue, "anim", 0, 0, 8, 8, 10, 3, true, false);
    slow.Update(0.35f);
    EXPECT_EQ(slow.currentFrame, 1) << "one frame per update however long it was";
    EXPECT_NEAR(slow.time, 0.25f, 1e-5f);
    slow.Update(0.0f);
    EXPECT_EQ(slow.currentFrame, 2) << "the carried time is spent on the next update";

    VTTexture still;
    still.Init(catalogue, "anim", 0, 0, 8, 8, 0, 3, true, false);
    still.Update(5.0f);
    EXPECT_EQ(still.currentFrame, 0);

    VTTexture noFrames;
    noFrames.Init(catalogue, "anim", 0, 0, 8, 8, 10, 0, true, false);
    noFrames.Update(0.1f);
    EXPECT_EQ(noFrames.currentFrame, 0) << "an animation without frames stays on frame 0";
}

TEST_F(TextureTest, FrameNamesAndXmlAttributes)
{
    VTTexture animated;
    animated.Init(catalogue, "fx\\spark", 1, 2, 3, 4, 12, 3, false, true);
    EXPECT_EQ(FramePaths(animated), (std::vector<std::string>{"fx\\spark00", "fx\\spark01", "fx\\spark02"}));
    EXPECT_TRUE(animated.additive);
    EXPECT_FALSE(animated.oneshot);

    VTTexture still;
    still.InitFromDesc(catalogue, VTFrameDesc{"ui\\panel", 5, 6, 7, 8});
    EXPECT_EQ(FramePaths(still), std::vector<std::string>{"ui\\panel"});
    EXPECT_EQ(still.u, 5);
    EXPECT_EQ(still.height, 8);
    EXPECT_EQ(still.fps, 0);

    // From XML, names missing from the catalogue give frames that draw nothing.
    catalogue.GetImage("glow00", true);
    auto document = ParseXml("<root>"
                             "<a texture='glow' fps='5' count='2' u='3' mode='additive'/>"
                             "<b texture='glow00' mode='Additive'/>"
                             "</root>");
    VTTexture fromXml;
    fromXml.LoadFromXml(catalogue, document.SelectSingleNode("root/a"), 40, 30);
    EXPECT_EQ(FramePaths(fromXml), (std::vector<std::string>{"glow00", "<none>"}));
    EXPECT_EQ(fromXml.u, 3);
    EXPECT_EQ(fromXml.width, 40);
    EXPECT_EQ(fromXml.height, 30);
    EXPECT_EQ(fromXml.frameCount, 2);
    EXPECT_TRUE(fromXml.oneshot);
    EXPECT_TRUE(fromXml.additive);

    VTTexture defaults;
    defaults.LoadFromXml(catalogue, document.SelectSingleNode("root/b"), 10, 10);
    EXPECT_EQ(FramePaths(defaults), std::vector<std::string>{"glow00"});
    EXPECT_FALSE(defaults.additive) << "\"mode\" compares exactly";
}

TEST_F(TextureTest, DrawingAndHitTests)
{
    // 2 x 2 frame: alpha 21 and 20 in the top row, opaque red and transparent in the bottom row.
    images.Add("frame", 2, 2, std::vector<uint32_t>{0x15FFFFFF, 0x14FFFFFF, 0xFFFF0000, 0x00000000});
    VTTexture texture;
    texture.Init(catalogue, "frame", 0, 0, 2, 2, 0, 1, true, false);
    EXPECT_TRUE(texture.HitTest(0, 0));
    EXPECT_FALSE(texture.HitTest(1, 0));
    EXPECT_TRUE(texture.HitTest(0, 1));
    EXPECT_FALSE(texture.HitTest(1, 1));
    EXPECT_FALSE(texture.HitTest(5, -1)) << "outside the image";

    // The bottom row only, stretched into a 4 x 2 rectangle at (1, 1).
    texture.SetRect(Fw::Rect(0, 1, 2, 1));
    auto canvas = Canvas(8, 8);
    Fw::Graphics g(canvas.get());
    g.SetFastStretch(true);
    texture.Draw(g, Fw::Rect(1, 1, 4, 2));
    EXPECT_TRUE(IsRed(Pixel(*canvas, 1, 1)));
    EXPECT_TRUE(IsRed(Pixel(*canvas, 2, 2)));
    EXPECT_EQ(Pixel(*canvas, 3, 1), 0u) << "the transparent half";
    EXPECT_EQ(Pixel(*canvas, 0, 0), 0u);

    // Through the matrix: the texture's clip, mode, rectangle and mask reach the destination, and
    // the context's mode and mask are put back afterwards.
    RecordingImage target;
    Fw::Graphics t(&target);
    VTTexture mask;
    mask.InitFromDesc(catalogue, VTFrameDesc{"frame", 1, 0, 1, 2});
    mask.SetClipRect(Fw::Rect(0, 0, 3, 3));
    texture.mask = &mask;
    texture.maskMatrix = Fw::Matrix3().Translate(7.0f, 0.0f);
    texture.additive = true;
    texture.SetRect(Fw::Rect(0, 0, 2, 2));
    texture.SetMatrix(Fw::Matrix3().Translate(4.0f, 4.0f));
    texture.SetClipRect(Fw::Rect(0, 0, 8, 5));
    texture.DrawTransformed(t);
    ASSERT_EQ(target.calls.size(), 1u);
    const RecordingImage::Call& call = target.calls[0];
    EXPECT_EQ(call.image, texture.GetFirstFrameImage());
    EXPECT_EQ(call.matrix, Fw::Matrix3().Translate(4.0f, 4.0f));
    EXPECT_EQ(call.clip, Fw::Rect(0, 0, 8, 5));
    EXPECT_EQ(call.srcRect, Fw::Rect(0, 0, 2, 2));
    EXPECT_EQ(call.drawMode, Fw::DRAWMODE_ADDITIVE);
    EXPECT_EQ(call.mask.image, mask.GetFirstFrameImage());
    EXPECT_EQ(call.mask.srcRect, Fw::Rect(1, 0, 1, 2));
    EXPECT_EQ(call.mask.clipRect, Fw::Rect(0, 0, 3, 3));
    EXPECT_EQ(call.mask.matrix, Fw::Matrix3().Translate(7.0f, 0.0f));
    EXPECT_EQ(t.GetDrawMode(), Fw::DRAWMODE_NORMAL);
    EXPECT_EQ(t.secondTexture.image, nullptr);
    EXPECT_EQ(t.clipRect, Fw::Rect(0, 0, 8, 5)) << "the clip stays as the texture set it";

    texture.enabled = false;
    texture.DrawTransformed(t);
    EXPECT_EQ(target.calls.size(), 1u) << "a disabled texture draws nothing";

    // A frame that is not in the catalogue draws nothing and is never hit.
    auto document = ParseXml("<t texture='not_there'/>");
    VTTexture missing;
    missing.LoadFromXml(catalogue, document.DocumentElement(), 2, 2);
    missing.Draw(t, Fw::Rect(0, 0, 4, 4));
    missing.DrawTransformed(t);
    EXPECT_EQ(target.calls.size(), 1u);
    EXPECT_FALSE(missing.HitTest(0, 0));
}

TEST_F(TextureTest, FramesLoadUnloadAndSingleFrameReplacesThem)
{
    images.Add("a00", 1, 1, 0xFF000001);
    images.Add("a01", 1, 1, 0xFF000002);
    images.Add("still", 1, 1, 0xFF000003);
    auto texture = std::make_unique<VTTexture>();
    texture->Init(catalogue, "a", 0, 0, 1, 1, 10, 2, false, false);
    texture->LoadFrames();
    texture->LoadFrames();
    EXPECT_EQ(texture->frames[0].Descriptor()->LoadCount(), 1);
    EXPECT_EQ(images.Created(), 2);

    VTTexture copy(*texture);
    EXPECT_EQ(FramePaths(copy), FramePaths(*texture));
    EXPECT_FALSE(copy.frames[0].IsLoaded()) << "a copied texture loads its own frames";

    texture->UnloadFrames();
    EXPECT_EQ(images.Deleted(), 2);
    EXPECT_NE(texture->frames[1].Descriptor(), nullptr) << "frames keep their descriptors";

    texture->LoadFrames();
    texture->Update(0.1f);
    VTImage::VTImageDesc* old = texture->frames[0].Descriptor();
    texture->SetSingleFrame(texture->frames[1]);
    EXPECT_EQ(old->LoadCount(), 0);
    EXPECT_EQ(FramePaths(*texture), std::vector<std::string>{"a01"});
    EXPECT_EQ(texture->fps, 0);
    EXPECT_EQ(texture->currentFrame, 0);
    texture->Update(1.0f);
    EXPECT_EQ(texture->currentFrame, 0);

    texture->SetSingleFrame(catalogue.GetImage("still", true));
    ASSERT_NE(texture->GetFirstFrameImage(), nullptr);
    EXPECT_EQ(texture->GetFirstFrameImage()->GetBits()[0], 0xFF000003u);
    VTImage::VTImageDesc* still = texture->frames[0].Descriptor();
    texture.reset();
    EXPECT_EQ(still->LoadCount(), 0) << "a texture releases its frames when it goes";
    EXPECT_EQ(images.Created(), images.Deleted());
}

TEST_F(TextureTest, ImageCacheKeepsOneLoadPerEntry)
{
    images.Add("tex\\big.png", 1, 1, 0xFFFFFFFF);
    images.Add("tex\\other.png", 1, 1, 0xFFFFFFFF);
    VTImageCache cache(catalogue);
    cache.Push("menu", "tex\\big.png");
    cache.Push("menu", "tex\\big.png");
    cache.Push("menu", "tex\\other.png");
    cache.Push("game", "tex\\big.png");
    VTImage::VTImageDesc* big = catalogue.GetImage("tex\\big.png", false).Descriptor();
    VTImage::VTImageDesc* other = catalogue.GetImage("tex\\other.png", false).Descriptor();
    EXPECT_EQ(big->LoadCount(), 2) << "one load per group";
    EXPECT_EQ(cache.EntryCount("menu"), 2u);

    cache.Pop("menu", "tex\\big.png");
    cache.Pop("menu", "tex\\big.png");
    cache.Pop("nogroup", "tex\\big.png");
    EXPECT_EQ(big->LoadCount(), 1);

    cache.Reset("menu");
    EXPECT_EQ(other->LoadCount(), 0);
    EXPECT_EQ(cache.EntryCount("menu"), 0u);
    cache.ResetAll();
    EXPECT_EQ(big->LoadCount(), 0);
    EXPECT_EQ(images.Created(), images.Deleted());
}

} // namespace
