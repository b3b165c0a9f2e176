// Image descriptors and their handles: counted loads, the load log, failures, and handles kept
// exact through copies, moves, self-assignment and growing vectors.
#include "engine/core/DebugSettings.h"
#include "engine/core/ImageRef.h"
#include "engine/core/TextureCatalogue.h"
#include "framework/graphics/MemoryImage.h"

#include "framework/assets/PakInterface.h"
#include "support/ArchiveFixtures.h"
#include "support/DebugOutputCapture.h"
#include "support/FakeImageServices.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

class ImageRefTest : public testing::Test {
protected:
    ImageRefTest() { images.Add("img", 2, 2, 0xFF112233); }
    ~ImageRefTest() override { gDebugSettings->logImgLoads = savedLogImgLoads_; }

    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};

private:
    bool savedLogImgLoads_ = gDebugSettings->logImgLoads;
};

TEST_F(ImageRefTest, TwoHandlesShareOneImageUntilBothAreReleased)
{
    VTImageRef a = catalogue.GetImage("img", true);
    VTImageRef b = catalogue.GetImage("img", true);
    ASSERT_EQ(a.Descriptor(), b.Descriptor());
    EXPECT_EQ(images.Created(), 0) << "looking up loads nothing";

    Fw::MemoryImage* image = a.GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(b.GetImage(), image);
    EXPECT_EQ(a.Descriptor()->LoadCount(), 2);
    EXPECT_EQ(images.Created(), 1);

    VTImage::VTImageDesc* descriptor = a.Descriptor();
    a.Release();
    EXPECT_EQ(descriptor->LoadCount(), 1);
    EXPECT_EQ(images.Deleted(), 0);
    EXPECT_EQ(a.Descriptor(), nullptr);
    b.Release();
    EXPECT_EQ(descriptor->LoadCount(), 0);
    EXPECT_EQ(descriptor->Image(), nullptr);
    EXPECT_EQ(images.Created(), 1);
    EXPECT_EQ(images.Deleted(), 1);
}

TEST_F(ImageRefTest, CopiesAssignmentsAndMovesKeepTheCountExact)
{
    VTImageRef loaded = catalogue.GetImage("img", true);
    loaded.Load();
    VTImage::VTImageDesc* descriptor = loaded.Descriptor();

    VTImageRef copied(loaded);
    EXPECT_FALSE(copied.IsLoaded()) << "a copy holds no load";
    EXPECT_EQ(descriptor->LoadCount(), 1);

    VTImageRef assigned;
    assigned = loaded;
    EXPECT_TRUE(assigned.IsLoaded());
    EXPECT_EQ(descriptor->LoadCount(), 2);

    // Self-assignment keeps the handle's load and does not make the image again.
    VTImageRef& alias = assigned;
    assigned = alias;
    EXPECT_TRUE(assigned.IsLoaded());
    EXPECT_EQ(descriptor->LoadCount(), 2);
    assigned = std::move(alias);
    EXPECT_TRUE(assigned.IsLoaded());
    EXPECT_EQ(descriptor->LoadCount(), 2);
    EXPECT_EQ(images.Created(), 1);

    // Assigning an unloaded handle drops the target's load.
    assigned = copied;
    EXPECT_FALSE(assigned.IsLoaded());
    EXPECT_EQ(descriptor->LoadCount(), 1);

    // A move hands the load over and leaves the source empty.
    VTImageRef moved(std::move(loaded));
    EXPECT_TRUE(moved.IsLoaded());
    EXPECT_FALSE(loaded.IsLoaded());
    EXPECT_EQ(loaded.Descriptor(), nullptr);
    EXPECT_EQ(descriptor->LoadCount(), 1);

    {
        VTImageRef scoped;
        scoped = std::move(moved);
        EXPECT_EQ(descriptor->LoadCount(), 1);
    }
    EXPECT_EQ(descriptor->LoadCount(), 0) << "a handle going away releases its load";
    EXPECT_EQ(images.Deleted(), 1);
}

TEST_F(ImageRefTest, AGrowingVectorOfLoadedFramesKeepsItsLoads)
{
    std::vector<VTImageRef> frames;
    for (int i = 0; i < 40; ++i) {
        frames.push_back(catalogue.GetImage("img", true));
        frames.back().Load();
    }
    VTImage::VTImageDesc* descriptor = frames.front().Descriptor();
    EXPECT_EQ(descriptor->LoadCount(), 40);
    for (const VTImageRef& frame : frames)
        EXPECT_TRUE(frame.IsLoaded());
    frames.clear();
    EXPECT_EQ(descriptor->LoadCount(), 0);
    EXPECT_EQ(images.Deleted(), 1);
}

TEST_F(ImageRefTest, HandleWithoutDescriptorGivesNoImage)
{
    VTImageRef empty;
    EXPECT_EQ(empty.GetImage(), nullptr);
    EXPECT_EQ(catalogue.GetImage("absent", false).Descriptor(), nullptr);
    EXPECT_EQ(catalogue.Size(), 0u) << "a lookup without create enters nothing";
    EXPECT_EQ(images.Created(), 0);
}

TEST_F(ImageRefTest, MissingFileIsReportedOnEveryLoadAndTriedAgainAfterTheLastUnload)
{
    TestSupport::DebugOutputCapture output;
    VTImageRef a = catalogue.GetImage("tex\\nothing.png", true);
    VTImageRef b = catalogue.GetImage("tex\\nothing.png", true);
    EXPECT_EQ(a.GetImage(), nullptr);
    EXPECT_EQ(b.GetImage(), nullptr);
    const std::string report = "tex\\nothing.png \nImage \"tex\\nothing.png\" could not be loaded: none of "
                               "tex\\nothing.tga, tex\\nothing.jpg, tex\\nothing.png, tex\\nothing.gif, "
                               "tex\\nothing.j2k, tex\\nothing.jp2 was found (no file in the archives or in " +
                               std::filesystem::current_path().string() + ")\n";
    EXPECT_EQ(output.Text(), report + report);
    EXPECT_EQ(images.tracebacks, 2);
    EXPECT_EQ(a.Descriptor()->LoadCount(), 2) << "the count stays raised";

    a.Release();
    b.Release();
    images.Add("tex\\nothing.png", 1, 1, 0xFFFFFFFF);
    VTImageRef again = catalogue.GetImage("tex\\nothing.png", false);
    EXPECT_NE(again.GetImage(), nullptr) << "a later first load tries the file again";
}

TEST_F(ImageRefTest, AnImageThatIsThereButDoesNotLoadIsReportedWithItsArchiveAndWhy)
{
    TestSupport::TempFolder folder;
    const std::string archive = folder.File("data.pak");
    const std::vector<uint8_t> bytes = TestSupport::MakeArchive(
        {{"tex\\broken.png", "not a png"}, {"tex\\empty.jpg", ""}, {"tex\\two.tga", "x"}, {"tex\\two.gif", "y"}});
    TestSupport::WriteFileBytes(archive, std::string(bytes.begin(), bytes.end()));
    PakInterface reader;
    ASSERT_TRUE(reader.OpenPakArchive(archive));

    struct Case {
        const char* path;
        std::string reason;
    };
    const Case cases[] = {
        {"tex\\broken.png", "tex\\broken.png (archive " + archive + ") does not decode as PNG"},
        {"tex\\empty.jpg", "tex\\empty.jpg (archive " + archive + ") is empty"},
        {"tex\\two", "tex\\two.tga (archive " + archive + ") does not decode as TGA; tex\\two.gif (archive " +
                          archive + ") does not decode as GIF"},
    };
    for (const Case& c : cases) {
        TestSupport::DebugOutputCapture output;
        VTImageRef ref = catalogue.GetImage(c.path, true);
        EXPECT_EQ(ref.GetImage(), nullptr) << c.path;
        EXPECT_EQ(output.Text(),
                  std::string(c.path) + " \nImage \"" + c.path + "\" could not be loaded: " + c.reason + "\n");
    }
}

TEST_F(ImageRefTest, LoadLogSkipsTheLoadingScreenCursorsAndScriptLoads)
{
    struct Case {
        const char* path;
        bool busy;
        bool logged;
    } cases[] = {
        {"tex\\UI\\button.png", false, true},
        {"tex\\UI\\button.png", true, false},
        {"tex\\UI\\cursor\\arrow.png", false, false},
        {"tex\\UI\\cursorX.png", false, true},
        {"tex\\UI\\loading_screen\\bg.png", false, false},
        {"tex\\UI\\loading_screens.png", false, true},
    };
    gDebugSettings->logImgLoads = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        images.Add(c.path, 1, 1, 0xFFFFFFFF);
        images.log.clear();
        images.scriptLoadBusy = c.busy;
        VTImageRef handle = catalogue.GetImage(c.path, true);
        handle.Load();
        handle.Load(); // a handle holds one load at most
        handle.Release();
        const std::vector<std::string> expected =
            c.logged ? std::vector<std::string>{std::string("Load image: '") + c.path + "'",
                                                std::string("Unload image: '") + c.path + "'"}
                     : std::vector<std::string>{};
        EXPECT_EQ(images.log, expected);
    }
    gDebugSettings->logImgLoads = false;
    images.log.clear();
    VTImageRef quiet = catalogue.GetImage("img", true);
    quiet.Load();
    quiet.Release();
    EXPECT_TRUE(images.log.empty()) << "no log without the debug flag";
}

TEST_F(ImageRefTest, ThreadsLoadingAndEnteringImagesKeepCountsAndCatalogueWhole)
{
    constexpr int kThreads = 4, kRounds = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kRounds; ++i) {
                VTImageRef shared = catalogue.GetImage("img", true);
                shared.Load();
                VTImageRef own =
                    catalogue.GetImage("path" + std::to_string(t) + "_" + std::to_string(i % 50), true);
                shared.Release();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(catalogue.Size(), size_t(1 + kThreads * 50));
    EXPECT_EQ(catalogue.GetImage("img", false).Descriptor()->LoadCount(), 0);
    EXPECT_EQ(images.Created(), images.Deleted());
}

} // namespace
