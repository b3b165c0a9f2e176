// Shared ground of the engine widget class tests: a 1024 x 768 application with a 100 ms frame,
// widget services over images made in memory with the block font, skin XML parsing, a canvas and
// an optional PNG dump of drawn scenes (set FW_WIDGET_SCENES to a folder to get them).
#pragma once
#include "engine/core/XmlAccess.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"
#include "support/AppEnvironment.h"
#include "support/FakeWidgetServices.h"
#include "support/FontFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace WidgetTest {

inline Platform::XmlDocument ParseXml(const std::string& text)
{
    Platform::XmlDocument document;
    EXPECT_TRUE(LoadXmlBytes(text.data(), text.size(), document)) << text;
    return document;
}

// A cleared width x height image to draw on, with pixel access.
struct Canvas {
    Canvas(int w, int h) : width(w)
    {
        image.Create(w, h);
        image.Clear();
    }
    uint32_t At(int x, int y) { return image.GetBits()[y * width + x]; }
    // Writes the picture as <FW_WIDGET_SCENES>/<name>.png when that variable is set.
    void Dump(const std::string& name)
    {
        const char* folder = std::getenv("FW_WIDGET_SCENES");
        if (!folder)
            return;
        std::vector<uint32_t> pixels(image.GetBits(), image.GetBits() + width * image.GetHeight());
        const std::vector<uint8_t> png = TestSupport::PngBytes(width, image.GetHeight(), pixels);
        std::ofstream(std::string(folder) + "/" + name + ".png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    int width;
    Fw::MemoryImage image;
};

class Fixture : public testing::Test {
protected:
    Fixture()
    {
        Fw::InitTriangleRasterizers();
        app.width = 1024;
        app.height = 768;
        app.frameTime = 100;
        services.AddImage("red", 8, 8, 0xFFFF0000);
        services.AddImage("green", 8, 8, 0xFF00FF00);
        services.AddImage("blue", 8, 8, 0xFF0000FF);
        services.AddImage("white", 8, 8, 0xFFFFFFFF);
        services.AddImage("grey", 8, 8, 0xFF808080);
    }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
    TestSupport::FakeWidgetServices services;
};

} // namespace WidgetTest
