// The side view of the rope simulator on the Rope column's panel: what the rope-length
// slider does to the field, the shapes and the rope line, checked on the window's
// controls and on the pixels the window shows.

#include "WindowFixture.h"

#include "ui/Widgets.h"

#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using velquor::physics::SimulatorKind;
using velquor::testing::WindowFixture;
using velquor::ui::RopePaintBox;

namespace {

constexpr double RopeRestAngle = 0.16744807921968932; // arcsin(1/6)

struct Row {
    int position; // of ScrollBar2
    const char* edit3;
    int bodyWidth;
    int headLeft;
    QPoint ropeFrom; // the head's centre
    QPoint ropeTo;   // the anchor on the wall
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << "slider at " << row.position;
}

// Slider 13 puts the head's centre at 123.494, the closest any position comes to a tie.
const Row kRows[] = {
    {8, "60", 57, 121, {129, 406}, {65, 34}},  {13, "55", 51, 115, {123, 406}, {65, 66}},
    {28, "40", 35, 99, {107, 406}, {65, 161}}, {38, "30", 24, 88, {96, 406}, {65, 225}},
    {48, "20", 14, 78, {86, 406}, {65, 289}},  {60, "8", 1, 65, {73, 406}, {65, 365}},
};

const Row& RowAt(int position) {
    return *std::find_if(std::begin(kRows), std::end(kRows),
                         [position](const Row& r) { return r.position == position; });
}

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return "Slider" + std::to_string(info.param.position) + "_Rope" + info.param.edit3 + "m";
}

// ---- Pixels ---------------------------------------------------------------------------

// What the screen shows of a widget: the window's backing store, once the paints that
// are waiting have been done. Unlike QWidget::grab, this does not paint afresh, so a
// stale line or a missed update shows.
QImage OnScreen(QWidget* window, QWidget* widget) {
    QTest::qWait(50);
    const QPoint topLeft = widget->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), topLeft.x(), topLeft.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool IsBlack(QRgb pixel) {
    return qRed(pixel) < 64 && qGreen(pixel) < 64 && qBlue(pixel) < 64;
}

bool IsYellow(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) < 80;
}

// The pixels of a line, one per step along its longer extent.
std::vector<QPoint> PointsOn(QLine line) {
    const int steps = std::max(std::abs(line.dx()), std::abs(line.dy()));
    std::vector<QPoint> points;
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        points.emplace_back(static_cast<int>(std::lround(line.x1() + t * line.dx())),
                            static_cast<int>(std::lround(line.y1() + t * line.dy())));
    }
    return points;
}

// A black pixel within one pixel of p. Columns left of the wall's right face (x < 65)
// are left out: the wall's own black outline runs down x = 64, beside the anchor.
bool BlackAround(const QImage& image, QPoint p) {
    for (int y = p.y() - 1; y <= p.y() + 1; ++y)
        for (int x = std::max(p.x() - 1, 65); x <= p.x() + 1; ++x)
            if (image.rect().contains(x, y) && IsBlack(image.pixel(x, y)))
                return true;
    return false;
}

double DistanceToLine(QPoint p, QLine line) {
    const double dx = line.dx(), dy = line.dy();
    const double length2 = dx * dx + dy * dy;
    double t = ((p.x() - line.x1()) * dx + (p.y() - line.y1()) * dy) / length2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x() - (line.x1() + t * dx), p.y() - (line.y1() + t * dy));
}

// Fixture: the user has left the title screen and opened the Rope column.
class RopePanel : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        EnterSimulation();
        Click("Button14");
        ASSERT_TRUE(Control("Panel5")->isVisible());
    }

    QScrollBar* Slider() const { return Control<QScrollBar>("ScrollBar2"); }
    QLine Rope() const { return Control<RopePaintBox>("PaintBox1")->rope(); }
    QImage PanelOnScreen() const { return OnScreen(form.get(), Control("Panel5")); }

    // The diagram and the stored values for one row of the table.
    void ExpectDiagram(const Row& row) const {
        SCOPED_TRACE("slider at " + std::to_string(row.position));
        EXPECT_EQ(Text("Edit3"), QString::fromLatin1(row.edit3));
        EXPECT_EQ(Control("Shape10")->geometry(), QRect(64, 391, row.bodyWidth, 25));
        EXPECT_TRUE(Control("Shape11")->isVisible());
        EXPECT_EQ(Control("Shape11")->geometry(), QRect(row.headLeft, 398, 16, 16));
        const QLine rope = Rope();
        // Which end the line is drawn from does not show.
        EXPECT_TRUE((rope.p1() == row.ropeFrom && rope.p2() == row.ropeTo) ||
                    (rope.p1() == row.ropeTo && rope.p2() == row.ropeFrom))
            << "rope from (" << rope.x1() << ", " << rope.y1() << ") to (" << rope.x2() << ", "
            << rope.y2() << ")";
        const auto& sim = form->simulation();
        const int length = 68 - row.position;
        EXPECT_EQ(sim.RopeLength, length);
        EXPECT_NEAR(sim.jumper(SimulatorKind::Rope).Position, length * RopeRestAngle, 1e-12);
    }

    // Every pixel of the rope that the head does not cover is black on screen, from just
    // outside the head up to the anchor.
    void ExpectRopeOnScreen(const QImage& screen, const Row& row) const {
        const QRect head = QRect(row.headLeft, 398, 16, 16).adjusted(-2, -2, 2, 2);
        int checked = 0;
        for (const QPoint& p : PointsOn(QLine(row.ropeFrom, row.ropeTo))) {
            if (head.contains(p))
                continue;
            ++checked;
            EXPECT_TRUE(BlackAround(screen, p)) << "no rope at (" << p.x() << ", " << p.y() << ")";
        }
        EXPECT_GE(checked, 25) << "too little of the rope lies outside the head";
        EXPECT_TRUE(IsBlack(screen.pixel(row.ropeTo)) ||
                    IsBlack(screen.pixel(row.ropeTo + QPoint(0, 1))))
            << "no rope at the anchor";
    }
};

// ---- The table, on the controls -------------------------------------------------------

class RopeRow : public RopePanel, public ::testing::WithParamInterface<Row> {};

TEST_P(RopeRow, SliderMoveSetsFieldShapesRopeAndValues) {
    const Row& row = GetParam();
    // Arrive from the far end, so that every row is a change of the slider.
    Slider()->setValue(row.position == 60 ? 8 : 60);
    Slider()->setValue(row.position);
    ExpectDiagram(row);
    EXPECT_TRUE(Control("Panel5")->isVisible());
}

TEST_P(RopeRow, ReopeningShowsTheDiagramForTheSlider) {
    const Row& row = GetParam();
    Slider()->setValue(row.position == 60 ? 8 : 60);
    Slider()->setValue(row.position);
    Click("Button19");
    ASSERT_FALSE(Control("Panel5")->isVisible());
    Click("Button14");
    ASSERT_TRUE(Control("Panel5")->isVisible());
    ExpectDiagram(row);
}

INSTANTIATE_TEST_SUITE_P(Table, RopeRow, ::testing::ValuesIn(kRows), RowName);

// The first opening shows the diagram for the slider's start position, 60 m of rope.
TEST_F(RopePanel, FirstOpeningShowsTheLongestRope) {
    ExpectDiagram(RowAt(8));
}

// The arrow keys move the slider a position at a time; down shortens the rope.
TEST_F(RopePanel, ArrowKeysStepTheRopeLength) {
    QTest::keyClick(Slider(), Qt::Key_Down);
    EXPECT_EQ(Slider()->value(), 9);
    EXPECT_EQ(Text("Edit3"), QStringLiteral("59"));
    EXPECT_EQ(form->simulation().RopeLength, 59);
    QTest::keyClick(Slider(), Qt::Key_Up);
    ExpectDiagram(RowAt(8));
}

// The slider redraws the diagram but never opens or closes the panel.
TEST_F(RopePanel, SliderNeverChangesThePanelsVisibility) {
    Slider()->setValue(28);
    EXPECT_TRUE(Control("Panel5")->isVisible());

    Click("Button26");
    ASSERT_FALSE(Control("Panel5")->isVisible());
    Slider()->setValue(38);
    EXPECT_FALSE(Control("Panel5")->isVisible());
    // The change was handled all the same.
    EXPECT_EQ(Text("Edit3"), QStringLiteral("30"));
    EXPECT_EQ(form->simulation().RopeLength, 30);
}

// ---- The table, on screen -------------------------------------------------------------

class RopeRowOnScreen : public RopePanel, public ::testing::WithParamInterface<Row> {};

TEST_P(RopeRowOnScreen, RopeIsDrawnBetweenHeadAndAnchor) {
    const Row& row = GetParam();
    if (row.position != 8) // the opening drew the start position
        Slider()->setValue(row.position);
    const QImage screen = PanelOnScreen();
    ExpectRopeOnScreen(screen, row);
    // The head is drawn where the table puts it, above the rope's start.
    EXPECT_TRUE(IsYellow(screen.pixel(row.ropeFrom + QPoint(3, 3))));
}

INSTANTIATE_TEST_SUITE_P(SomeRows, RopeRowOnScreen,
                         ::testing::Values(RowAt(8), RowAt(28), RowAt(60)), RowName);

// After a move nothing of the earlier rope or head is left on screen.
TEST_F(RopePanel, MovingTheSliderLeavesNoTraceOfTheEarlierRope) {
    struct {
        int from;
        int to;
    } const moves[] = {{8, 13}, {13, 60}, {60, 8}, {8, 28}};
    for (const auto& move : moves) {
        SCOPED_TRACE("from " + std::to_string(move.from) + " to " + std::to_string(move.to));
        ASSERT_EQ(Slider()->value(), move.from);
        Slider()->setValue(move.to);
        const Row& before = RowAt(move.from);
        const Row& now = RowAt(move.to);
        const QImage screen = PanelOnScreen();
        ExpectRopeOnScreen(screen, now);

        const QLine newRope(now.ropeFrom, now.ropeTo);
        // Black outlines of the shapes that stand there now are not traces.
        const QRect wall = Control("Shape9")->geometry().adjusted(-1, -1, 1, 1);
        const QRect body = Control("Shape10")->geometry().adjusted(-1, -1, 1, 1);
        const QRect head = Control("Shape11")->geometry().adjusted(-1, -1, 1, 1);
        int checked = 0;
        for (const QPoint& p : PointsOn(QLine(before.ropeFrom, before.ropeTo))) {
            const QRect around(p - QPoint(1, 1), QSize(3, 3));
            if (DistanceToLine(p, newRope) < 4 || around.intersects(wall) ||
                around.intersects(body) || around.intersects(head))
                continue;
            ++checked;
            EXPECT_FALSE(BlackAround(screen, p))
                << "earlier rope still at (" << p.x() << ", " << p.y() << ")";
        }
        EXPECT_GE(checked, 10);

        const QRect headNow = Control("Shape11")->geometry();
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (!headNow.contains(x, y) && IsYellow(screen.pixel(x, y)))
                    ADD_FAILURE() << "head colour outside the head at (" << x << ", " << y << ")";
    }
}

// Whatever makes the window paint the panel again, the rope is painted with it.
TEST_F(RopePanel, RopeSurvivesARepaint) {
    struct {
        const char* name;
        std::function<void()> disturb;
    } const repaints[] = {
        {"panel hidden and shown",
         [&] {
             Control("Panel5")->hide();
             QTest::qWait(20);
             Control("Panel5")->show();
         }},
        {"window repainted", [&] { form->repaint(); }},
        {"window minimised and restored",
         [&] {
             form->showMinimized();
             QTest::qWait(20);
             form->showNormal();
         }},
    };
    Slider()->setValue(28);
    for (const auto& r : repaints) {
        SCOPED_TRACE(r.name);
        r.disturb();
        ExpectRopeOnScreen(PanelOnScreen(), RowAt(28));
    }
}

} // namespace
