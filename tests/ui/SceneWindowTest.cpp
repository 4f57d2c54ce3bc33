// The scene as the window shows it: the rest scene after leaving the title screen, a
// presented picture that survives whatever makes the window system repaint the paint box,
// and figures that reach the screen only when presented.
//
// Each check looks at two pictures of the window: a fresh rendering of the widget tree
// (grab), and the window's backing store as the platform shows it, which holds what was
// painted last and so also catches a present that never reached the screen.

#include "PixelChecks.h"
#include "WindowFixture.h"

#include "scene/Scene.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QScreen>

#include <ostream>
#include <string>
#include <vector>

using velquor::testing::Describe;
using velquor::testing::SamePixels;
using velquor::testing::WindowFixture;
namespace ui = velquor::ui;
namespace scene = velquor::scene;

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

// PaintBox2 in window coordinates: Panel6 at (16, 8), the paint box at (0, 0) in it.
const QRect SceneArea(16, 8, scene::SceneWidth, scene::SceneHeight);

::testing::AssertionResult OnlyBlackAndWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != Black && image.pixel(x, y) != White)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is neither black nor white";
    return ::testing::AssertionSuccess();
}

// The box around every non-white pixel of an area of the scene.
QRect InkBounds(const QImage& picture, const QRect& area) {
    QRect ink;
    const QRect inside = area & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (picture.pixel(x, y) != White)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

enum class Pose { Crouching, Stretched };

struct Figure {
    Pose pose;
    int b; // height in pixels
};

// Checks that the column centred on x shows the figure and nothing else: its ink covers
// the figure's path from end to end and stays within the path widened by the 3-pixel
// pen (one pixel on each side, and one more for the rasteriser's rounding).
::testing::AssertionResult ColumnShows(const QImage& picture, int x, Figure figure) {
    const QRect path = figure.pose == Pose::Crouching
                           ? QRect(QPoint(x - 30, 334 - figure.b), QPoint(x + 27, 494 - figure.b))
                           : QRect(QPoint(x - 40, 317 - figure.b), QPoint(x + 20, 504 - figure.b));
    const QRect visiblePath = path & picture.rect();
    const QRect reach = path.adjusted(-2, -2, 2, 2);
    const QRect ink = InkBounds(picture, QRect(x - 100, 0, 200, picture.height()));
    if (ink.isNull() || !ink.contains(visiblePath) || !reach.contains(ink))
        return ::testing::AssertionFailure()
               << "column " << x << " has ink at " << Describe(ink) << ", expected the "
               << (figure.pose == Pose::Crouching ? "crouching" : "stretched")
               << " figure at b = " << figure.b << " over " << Describe(visiblePath);
    return ::testing::AssertionSuccess();
}

constexpr Figure Resting{Pose::Crouching, 0};

::testing::AssertionResult ShowsRestScene(const QImage& picture) {
    if (auto colours = OnlyBlackAndWhite(picture); !colours)
        return colours;
    for (int x : scene::ColumnCentres)
        if (auto column = ColumnShows(picture, x, Resting); !column)
            return column;
    return ::testing::AssertionSuccess();
}

class SceneWindow : public WindowFixture {
  public:
    using WindowFixture::Click;

    void Settle() {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }

    // The scene as a fresh rendering of the window shows it.
    QImage RenderedScene() const { return Grab().copy(SceneArea); }

    // The scene as it was last painted into the window's backing store.
    QImage ShownScene() const {
        const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
        EXPECT_GE(shown.width(), SceneArea.right() + 1) << "no picture of the window";
        return shown.convertToFormat(QImage::Format_RGB32).copy(SceneArea);
    }

    // A picture no repaint could make up: the Moon figure in flight, 100 px up.
    void PresentMoonInFlight() {
        form->scene().DrawCrouchFigure(300, 0, scene::White);
        form->scene().DrawStretchFigure(300, 100, scene::Black);
        form->PresentScene();
    }

    static ::testing::AssertionResult ShowsMoonInFlight(const QImage& picture) {
        if (auto colours = OnlyBlackAndWhite(picture); !colours)
            return colours;
        for (int x : scene::ColumnCentres) {
            const Figure expected = x == 300 ? Figure{Pose::Stretched, 100} : Resting;
            if (auto column = ColumnShows(picture, x, expected); !column)
                return column;
        }
        return ::testing::AssertionSuccess();
    }

    ui::TForm1& window() { return *form; }
};

TEST_F(SceneWindow, LeavingTheTitleShowsFiveCrouchingFiguresOnWhite) {
    EnterSimulation();
    Settle();
    for (const QImage& picture : {RenderedScene(), ShownScene()}) {
        EXPECT_TRUE(ShowsRestScene(picture));
        EXPECT_TRUE(SamePixels(picture, RestScene()));
    }
}

TEST_F(SceneWindow, PresentReachesTheScreenAtOnce) {
    EnterSimulation();
    Settle();
    PresentMoonInFlight();
    // A run that processes no events still animates: nothing waits for the event loop.
    EXPECT_TRUE(ShowsMoonInFlight(ShownScene()));
    EXPECT_TRUE(ShowsMoonInFlight(RenderedScene()));
}

TEST_F(SceneWindow, FigureDrawnButNotPresentedStaysOffTheScreen) {
    EnterSimulation();
    Settle();
    form->scene().DrawCrouchFigure(300, 0, scene::White);
    form->scene().DrawStretchFigure(300, 100, scene::Black);
    form->PaintBox2->repaint();
    Settle();
    for (const QImage& picture : {RenderedScene(), ShownScene()})
        EXPECT_TRUE(SamePixels(picture, RestScene())) << "an unpresented step showed";

    form->PresentScene();
    for (const QImage& picture : {ShownScene(), RenderedScene()})
        EXPECT_TRUE(ShowsMoonInFlight(picture));
}

// The whole window as the platform shows it, against a fresh rendering of it: a present
// may paint only what changed, so anything it overwrote or left stale shows as a
// difference, inside the scene or outside it.
::testing::AssertionResult ShowsWhatTheWidgetsPaint(QWidget& window) {
    const QImage shown = window.screen()
                             ->grabWindow(window.winId())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32)
                             .copy(window.rect());
    const QImage rendered = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return SamePixels(shown, rendered);
}

struct Overlay {
    const char* name;
    std::vector<const char*> open; // buttons that put something over the scene
};

void PrintTo(const Overlay& overlay, std::ostream* out) { *out << overlay.name; }

class PresentUnder : public SceneWindow, public ::testing::WithParamInterface<Overlay> {};

TEST_P(PresentUnder, LeavesWhatLiesOverTheSceneAlone) {
    EnterSimulation();
    for (const char* button : GetParam().open)
        Click(button);
    Settle();
    PresentMoonInFlight();
    EXPECT_TRUE(ShowsWhatTheWidgetsPaint(window()));
}

INSTANTIATE_TEST_SUITE_P(
    Overlays, PresentUnder,
    ::testing::Values(Overlay{"ColumnLinesOnly", {}}, Overlay{"Hint", {"Button20"}},
                      Overlay{"EveryInfoPanelAndTheHint",
                              {"Button10", "Button11", "Button12", "Button13", "Button14",
                               "Button20"}},
                      Overlay{"TitleScreen", {"Button9"}}),
    [](const ::testing::TestParamInfo<Overlay>& info) { return std::string(info.param.name); });

TEST_F(SceneWindow, PresentRightAfterAPanelOverTheSceneWasHidden) {
    EnterSimulation();
    Click("Button20");
    Settle();
    // The window has only queued the repaint of the uncovered part when the run presents.
    window().Panel11->hide();
    PresentMoonInFlight();
    EXPECT_TRUE(ShowsWhatTheWidgetsPaint(window())) << "the hint stayed on screen";
    EXPECT_TRUE(ShowsMoonInFlight(ShownScene()));
}

TEST_F(SceneWindow, PresentWhileTheWindowIsHiddenShowsOnceItIsBack) {
    EnterSimulation();
    Settle();
    window().hide();
    Settle();
    PresentMoonInFlight();
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    Settle();
    EXPECT_TRUE(ShowsMoonInFlight(ShownScene()));
    EXPECT_TRUE(ShowsWhatTheWidgetsPaint(window()));
}

struct Repaint {
    const char* name;
    void (*cause)(SceneWindow&);
};

class RepaintAfterPresent : public SceneWindow, public ::testing::WithParamInterface<Repaint> {};

TEST_P(RepaintAfterPresent, KeepsThePresentedPicture) {
    EnterSimulation();
    Settle();
    PresentMoonInFlight();
    ASSERT_TRUE(ShowsMoonInFlight(ShownScene()));
    const QImage presented = ShownScene();

    GetParam().cause(*this);
    Settle();
    for (const QImage& picture : {ShownScene(), RenderedScene()}) {
        EXPECT_TRUE(ShowsMoonInFlight(picture));
        EXPECT_TRUE(SamePixels(picture, presented));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RepaintAfterPresent,
    ::testing::Values(
        Repaint{"PaintBoxRepainted", [](SceneWindow& t) { t.window().PaintBox2->repaint(); }},
        Repaint{"PaintBoxUpdated", [](SceneWindow& t) { t.window().PaintBox2->update(); }},
        Repaint{"ScenePanelRepainted", [](SceneWindow& t) { t.window().Panel6->repaint(); }},
        Repaint{"HintShownAndClosed",
                [](SceneWindow& t) {
                    t.Click("Button20");
                    t.Settle();
                    t.Click("Button21");
                }},
        Repaint{"EarthInfoOpenedAndClosed",
                [](SceneWindow& t) {
                    t.Click("Button10");
                    t.Settle();
                    t.Click("Button15");
                }},
        Repaint{"SpringInfoClosedUnderTheColumn",
                [](SceneWindow& t) {
                    t.Click("Button12");
                    t.Settle();
                    t.Click("Button24");
                }},
        Repaint{"WindowHiddenAndShown",
                [](SceneWindow& t) {
                    t.window().hide();
                    t.Settle();
                    t.window().show();
                    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window()));
                }},
        Repaint{"WindowShrunkAndRestored",
                [](SceneWindow& t) {
                    const QSize size = t.window().size();
                    t.window().resize(400, 300);
                    t.Settle();
                    t.window().resize(size);
                }}),
    [](const ::testing::TestParamInfo<Repaint>& info) { return std::string(info.param.name); });

struct RestoringAction {
    const char* name;
    const char* open;  // shows something over the scene
    const char* close; // takes it away and resets the scene
};

class RestSceneAgain : public SceneWindow, public ::testing::WithParamInterface<RestoringAction> {};

TEST_P(RestSceneAgain, AfterAFigureWasInFlight) {
    EnterSimulation();
    Settle();
    PresentMoonInFlight();
    ASSERT_TRUE(ShowsMoonInFlight(ShownScene()));

    Click(GetParam().open);
    Settle();
    Click(GetParam().close);
    Settle();
    for (const QImage& picture : {ShownScene(), RenderedScene()}) {
        EXPECT_TRUE(ShowsRestScene(picture));
        EXPECT_TRUE(SamePixels(picture, RestScene()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, RestSceneAgain,
    ::testing::Values(RestoringAction{"TitleScreenShownAndLeft", "Button9", "Button3"},
                      RestoringAction{"RopeInfoClosedOnItsPanel", "Button14", "Button19"},
                      RestoringAction{"RopeInfoClosedUnderTheColumn", "Button14", "Button26"}),
    [](const ::testing::TestParamInfo<RestoringAction>& info) {
        return std::string(info.param.name);
    });

} // namespace
