// Images of the application object: names ending in ".png", shared images loaded once per name
// and freed after the update that follows their last release, named empty images, copies.
#include "framework/assets/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(StripPngExtension, OnlyALowerCasePngAfterSomething)
{
    struct Case {
        const char* name;
        const char* loaded;
    };
    const Case cases[] = {
        {"Image.png", "Image"}, {"a.png", "a"},         {".png", ".png"},      {"x.PNG", "x.PNG"},
        {"dir/b.jpg", "dir/b.jpg"}, {"png", "png"},     {"a.png.png", "a.png"}, {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fw::StripPngExtension(c.name), c.loaded) << '"' << c.name << '"';
}

class AppImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageLib::Image png(3, 2);
        for (int i = 0; i < 6; ++i)
            png.GetBits()[i] = 0xFF000000u | uint32_t(i * 0x102030);
        ASSERT_TRUE(ImageLib::WritePng(env.temp.Path() + "/a.png", png));
    }
    std::string Name(const char* n) const { return env.temp.Path() + "/" + n; }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
};

TEST_F(AppImages, NamesDifferingInCaseShareOneLoad)
{
    bool isNew = false;
    Fw::SharedImageRef first = app.AcquireSharedImage(Name("a.png"), "", &isNew);
    EXPECT_TRUE(isNew);
    ASSERT_NE(first.GetSharedImage(), nullptr);
    EXPECT_EQ(first.GetSharedImage()->width, 3);
    EXPECT_EQ(first.GetSharedImage()->GetBits()[5], 0xFF000000u | 5 * 0x102030u);
    EXPECT_EQ(first.GetSharedImage()->filePath, Name("a.png"));

    std::string upper = Name("A.PNG");
    upper.replace(0, env.temp.Path().size(), env.temp.Path()); // the folder as it is, the file upper-cased
    Fw::SharedImageRef second = app.AcquireSharedImage(upper, "", &isNew);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(second.GetSharedImage(), first.GetSharedImage());
    EXPECT_EQ(first.sharedImage->refCount, 2);

    Fw::SharedImageRef variant = app.AcquireSharedImage(Name("a.png"), "grey", &isNew);
    EXPECT_TRUE(isNew);
    EXPECT_NE(variant.GetSharedImage(), first.GetSharedImage());
    EXPECT_EQ(app.sharedImages.size(), 2u);
}

TEST_F(AppImages, UnusedRecordIsFreedAfterTheNextUpdate)
{
    Fw::SharedImageRef ref = app.AcquireSharedImage(Name("a.png"), "", nullptr);
    ref.Release();
    ASSERT_EQ(app.sharedImages.size(), 1u);
    EXPECT_TRUE(app.cleanUpSharedImages);
    app.UpdateFrames();
    EXPECT_TRUE(app.sharedImages.empty());
    EXPECT_FALSE(app.cleanUpSharedImages);
}

TEST_F(AppImages, MissingFilesAndNamedEmptyImages)
{
    bool isNew = false;
    Fw::SharedImageRef missing = app.AcquireSharedImage(Name("none.png"), "", &isNew);
    EXPECT_TRUE(isNew);
    EXPECT_EQ(missing.GetSharedImage(), nullptr);
    EXPECT_EQ(app.CreateImageFromFile(Name("none.png"), true), nullptr);

    Fw::SharedImageRef named = app.AcquireSharedImage("!scratch", "", &isNew);
    ASSERT_NE(named.GetSharedImage(), nullptr);
    EXPECT_EQ(named.GetSharedImage()->width, 0);
}

TEST_F(AppImages, CopyOfARectangle)
{
    std::unique_ptr<Fw::MemoryImage> source(app.CreateImageFromFile(Name("a.png"), true));
    ASSERT_NE(source, nullptr);
    source->numCols = 3;
    std::unique_ptr<Fw::MemoryImage> copy(app.CopyImage(source.get(), Fw::Rect(1, 0, 2, 2)));
    ASSERT_EQ(copy->width, 2);
    ASSERT_EQ(copy->height, 2);
    const uint32_t* px = copy->GetBits();
    // The copy is drawn through a drawing context; its opaque blend may round a channel down by 1.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const uint32_t want = 0xFF000000u | uint32_t((y * 3 + x + 1) * 0x102030), got = px[y * 2 + x];
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 1) << x << "," << y;
        }
    EXPECT_EQ(copy->numCols, 3);
}

} // namespace
