// The window on a screen with twice the pixel density: the layout scales as one, and the
// scene, the rope diagram and the title picture are drawn at the screen's resolution.
#include "TestApp.h"
#include "WindowFixture.h"

#include "scene/Scene.h"

#include <QImage>
#include <QWidget>

using velquor::testing::WindowFixture;

namespace {

constexpr int Ratio = 2;
const QRgb White = 0xFFFFFFFF;

class HiDpi : public WindowFixture {
protected:
    // The window's pixels on screen, one image pixel per device pixel.
    QImage Screen() const {
        QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(image.devicePixelRatio(), Ratio);
        return image;
    }

    // Colours of the device pixels of one logical pixel.
    static QList<QRgb> DevicePixels(const QImage& image, int x, int y) {
        QList<QRgb> colours;
        for (int dy = 0; dy < Ratio; ++dy)
            for (int dx = 0; dx < Ratio; ++dx)
                colours << image.pixel(x * Ratio + dx, y * Ratio + dy);
        return colours;
    }
};

TEST_F(HiDpi, PicturesAreMadeAtDeviceResolution) {
    EXPECT_EQ(form->devicePixelRatio(), Ratio);
    const QImage& scene = form->scene().bitmap();
    EXPECT_EQ(scene.size(), QSize(velquor::scene::SceneWidth * Ratio,
                                  velquor::scene::SceneHeight * Ratio));
    EXPECT_EQ(scene.devicePixelRatio(), Ratio);
    EXPECT_EQ(form->scene().presented().size(), scene.size());
}

TEST_F(HiDpi, LayoutKeepsItsLogicalPlaces) {
    // Logical geometry is that of the layout; only the device pixels double.
    EXPECT_EQ(Control("Panel6")->geometry(), QRect(16, 8, 993, 625));
    EXPECT_EQ(Control("Button8")->geometry(), QRect(840, 524, 114, 25));
    const QImage screen = Screen();
    EXPECT_GE(screen.width(), 1009 * Ratio);
    // The window colour beside the scene panel and the panel's own colour, in device pixels.
    EXPECT_EQ(screen.pixel(8 * Ratio, 100 * Ratio), QColor(0x78, 0x78, 0x78).rgb());
    // Below the title picture, on the title screen.
    EXPECT_EQ(screen.pixel((16 + 5) * Ratio, (8 + 700) * Ratio), QColor(0x55, 0x55, 0x55).rgb());
}

TEST_F(HiDpi, SceneLinesAreSharpNotAScaledUpPicture) {
    EnterSimulation();
    const QImage screen = Screen();
    // A scaled-up 1x picture shows every logical pixel as a uniform 2x2 block. Drawn at
    // device resolution, the figures' edges split some blocks between black and white.
    const QPoint scene(16, 8);
    int splitBlocks = 0;
    for (int y = 330; y < 500; ++y)
        for (int x = 60; x < 140; ++x) {
            const QList<QRgb> block = DevicePixels(screen, scene.x() + x, scene.y() + y);
            if (block.count(block.first()) != block.size())
                ++splitBlocks;
        }
    EXPECT_GT(splitBlocks, 0);
}

TEST_F(HiDpi, FigureDrawnAndErasedLeavesPureWhite) {
    EnterSimulation();
    velquor::scene::Scene& scene = form->scene();
    for (int b : {0, 57, 320, 510}) {
        SCOPED_TRACE(b);
        scene.DrawStretchFigure(300, b, velquor::scene::Black);
        form->PresentScene();
        scene.DrawStretchFigure(300, b, White);
        form->PresentScene();
    }
    // The Moon column now holds only its erased crouching figure: put it back and compare
    // with a freshly drawn rest scene.
    scene.DrawCrouchFigure(300, 0, White);
    scene.DrawCrouchFigure(300, 0, velquor::scene::Black);
    form->PresentScene();
    velquor::scene::Scene reference(Ratio);
    reference.DrawRestScene();
    EXPECT_EQ(scene.presented(), reference.bitmap());
}

TEST_F(HiDpi, RopeDiagramIsDrawnAtDeviceResolution) {
    EnterSimulation();
    Click("Button14");
    const QImage screen = Screen();
    // The rope runs from (129, 406) to (65, 34) in the rope panel at (824, 16): one
    // logical pixel wide, so at twice the density some of its device pixels stay grey.
    const QPoint panel(824, 16);
    int blackDevicePixels = 0;
    int mixedBlocks = 0;
    for (int y = 100; y < 300; ++y)
        for (int x = 66; x < 130; ++x) {
            const QList<QRgb> block = DevicePixels(screen, panel.x() + x, panel.y() + y);
            const int black = block.count(qRgb(0, 0, 0));
            blackDevicePixels += black;
            if (black > 0 && black < block.size())
                ++mixedBlocks;
        }
    EXPECT_GT(blackDevicePixels, 0);
    EXPECT_GT(mixedBlocks, 0);
}

} // namespace

int main(int argc, char** argv) {
    return velquor::testing::RunAllTests(argc, argv, {2560, 2048, 2.0});
}
