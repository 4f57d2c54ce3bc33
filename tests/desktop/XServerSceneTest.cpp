// The scene as the X server holds it. A present paints only the changed part of the
// picture into the window's backing store but must send the whole picture to the server,
// at once and without the event loop, and must leave widgets lying over the scene alone.
//
// Runs on an X server of its own with the xcb platform: QScreen::grabWindow reads the
// window back from the server, so these checks see what a user sees. CTest runs it at
// QT_SCALE_FACTOR 1, 2 and 1.5, where the pictures have that many pixels per layout pixel.

#include "PixelChecks.h"
#include "WindowFixture.h"

#include "scene/Scene.h"

#include <QApplication>
#include <QScreen>

#include <X11/Xlib.h>

#include <string>

using velquor::testing::SamePixels;
using velquor::testing::WindowFixture;
namespace scene = velquor::scene;

namespace {

// PaintBox2 in window coordinates: Panel6 at (16, 8), the paint box at (0, 0) in it.
const QRect SceneArea(16, 8, scene::SceneWidth, scene::SceneHeight);

// A rectangle of the window in the device pixels of the pictures compared here.
QRect InDevicePixels(const QRect& logical) {
    const qreal ratio = qApp->devicePixelRatio();
    return QRectF(QPointF(logical.topLeft()) * ratio, QSizeF(logical.size()) * ratio)
        .toAlignedRect();
}

class XServerScene : public WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "run on an X server with QT_QPA_PLATFORM=xcb";
        const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        ASSERT_EQ(qApp->devicePixelRatio(), scale);
        WindowFixture::SetUp();
        EnterSimulation();
        Settle();
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    // The window's content as the server has it now, in device pixels; handles no events.
    QImage ServerWindow() const {
        return form->screen()
            ->grabWindow(form->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32)
            .copy(InDevicePixels(form->rect()));
    }

    // The window as its widgets paint it, in device pixels.
    QImage Rendered() const {
        return Grab().copy(InDevicePixels(form->rect()));
    }

    QImage Presented() const {
        return form->scene().presented().convertToFormat(QImage::Format_RGB32);
    }

    // The Moon figure leaves the floor for 100 px up: only column 300 changes.
    void PresentMoonInFlight() {
        form->scene().DrawCrouchFigure(300, 0, scene::White);
        form->scene().DrawStretchFigure(300, 100, scene::Black);
        form->PresentScene();
    }

    // Paints over the window on the server behind Qt's back, as another program could.
    void ScribbleOnServer(const QRect& area) {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        ASSERT_NE(x11, nullptr);
        Display* display = x11->display();
        const Window window = Window(form->winId());
        GC gc = XCreateGC(display, window, 0, nullptr);
        XSetForeground(display, gc, 0x00FF00);
        const QRect device = InDevicePixels(area);
        XFillRectangle(display, window, gc, device.x(), device.y(), unsigned(device.width()),
                       unsigned(device.height()));
        XFreeGC(display, gc);
        XSync(display, False);
    }
};

TEST_F(XServerScene, PresentReachesTheServerWithoutTheEventLoop) {
    PresentMoonInFlight();
    EXPECT_TRUE(SamePixels(ServerWindow().copy(InDevicePixels(SceneArea)), Presented()));
}

TEST_F(XServerScene, PresentSendsTheWholePictureNotOnlyWhatChanged) {
    // Columns 100 and 900 do not change; the server must get them again all the same.
    // The scribbles spare the last row, where the column lines lie over the scene.
    const int rows = SceneArea.height() - 1;
    const QRect left(SceneArea.left(), SceneArea.top(), 200, rows);
    const QRect right(SceneArea.left() + 800, SceneArea.top(), 193, rows);
    ScribbleOnServer(left);
    ScribbleOnServer(right);
    ASSERT_FALSE(SamePixels(ServerWindow().copy(InDevicePixels(SceneArea)), Presented()))
        << "the scribble did not reach the server";

    PresentMoonInFlight();
    EXPECT_TRUE(SamePixels(ServerWindow().copy(InDevicePixels(SceneArea)), Presented()));
}

TEST_F(XServerScene, PresentLeavesPanelsOverTheSceneOnScreen) {
    Click("Button20"); // the hint, over the middle of the scene
    Click("Button10"); // the Earth's information panel
    Settle();
    const QImage before = ServerWindow();
    ASSERT_TRUE(SamePixels(before, Rendered()));

    PresentMoonInFlight();
    const QImage after = ServerWindow();
    EXPECT_TRUE(SamePixels(after, Rendered())) << "the server shows what the widgets do not";
    EXPECT_FALSE(SamePixels(after, before)) << "the figure in flight did not show";
}

} // namespace
