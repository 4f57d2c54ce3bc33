// The parameter sliders as the user works them: the spring constant (ScrollBar1), the
// take-off speed (ScrollBar3 with its editable field Edit15) and the simulation speed
// (ScrollBar4), under a comma and a point decimal separator.

#include "WindowFixture.h"

#include "scene/Scene.h"

#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QSignalSpy>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using velquor::physics::SimulatorKind;
using velquor::testing::WindowFixture;

namespace {

enum class Lang { German, English };

const char* NameOf(Lang lang) {
    return lang == Lang::German ? "German" : "English";
}

QLocale LocaleOf(Lang lang) {
    return lang == Lang::German ? QLocale(QLocale::German, QLocale::Germany)
                                : QLocale(QLocale::English, QLocale::UnitedStates);
}

void PrintTo(Lang lang, std::ostream* os) {
    *os << NameOf(lang);
}

// Expected texts are written with a comma; under English the field must show a point.
QString InLocale(const char* commaText, Lang lang) {
    QString text = QString::fromUtf8(commaText);
    if (lang == Lang::English)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

// Makes the slider's handler run at the given position, as a drag of the thumb does: if
// the slider already stands there it is first moved next door, since a drag that ends
// where it began reports nothing.
void DragTo(QScrollBar* bar, int position) {
    if (bar->value() == position)
        bar->setValue(position == bar->maximum() ? position - 1 : position + 1);
    bar->setValue(position);
}

// A window created and used under one locale. The test runner's default is German and
// every other test relies on it, so it is put back afterwards.
class LocalisedWindow : public WindowFixture {
  protected:
    void StartUnder(Lang lang) {
        QLocale::setDefault(LocaleOf(lang));
        WindowFixture::SetUp();
    }
    void TearDown() override {
        WindowFixture::TearDown();
        QLocale::setDefault(LocaleOf(Lang::German));
    }
};

// A window under the locale that the first element of the test's parameters names, with
// the title screen left behind.
template <typename Param>
class LocalisedSimulation : public LocalisedWindow, public ::testing::WithParamInterface<Param> {
  protected:
    void SetUp() override {
        StartUnder(std::get<0>(this->GetParam()));
        if (HasFatalFailure())
            return;
        EnterSimulation();
    }
};

// ---- Spring constant ------------------------------------------------------------------

struct SpringCase {
    int position;
    const char* edit1;
    const char* edit2; // with a comma
};

void PrintTo(const SpringCase& c, std::ostream* os) {
    *os << "position " << c.position;
}

// 72: 981/72 = 13.625 exactly, a half that goes to the even neighbour. 200 and 360: the
// product 100 x pre-stretch rounded to a double lies on a half, but the exact product
// does not, so a rounding of the double product would show "4,9" and "2,72".
const SpringCase kSpringCases[] = {
    {327, "327", "3"},   {300, "300", "3,27"}, {30, "30", "32,7"},
    {31, "31", "31,65"}, {400, "400", "2,45"}, {500, "500", "1,96"},
    {72, "72", "13,62"}, {200, "200", "4,91"}, {360, "360", "2,73"},
};

class SpringSlider : public LocalisedSimulation<std::tuple<Lang, SpringCase>> {
  protected:
    void SetUp() override {
        LocalisedSimulation::SetUp();
        if (HasFatalFailure())
            return;
        Click("Button12"); // the slider lives on the Spring column's panel
    }
};

TEST_P(SpringSlider, ShowsConstantAndRoundedPreStretch) {
    const auto& [lang, c] = GetParam();
    auto& sim = form->simulation();
    const double activeBefore = sim.ActivePreStretch;
    const double constantBefore = sim.SpringConstant;

    DragTo(Control<QScrollBar>("ScrollBar1"), c.position);

    EXPECT_EQ(Text("Edit1"), QString::fromUtf8(c.edit1));
    EXPECT_EQ(Text("Edit2"), InLocale(c.edit2, lang));
    EXPECT_EQ(sim.PreStretch, 981.0 / c.position);
    EXPECT_EQ(sim.jumper(SimulatorKind::Spring).Position, -sim.PreStretch);
    // Only closing the Spring column or a spring jump makes the new stretch active, and
    // the runs take the constant from the slider themselves.
    EXPECT_EQ(sim.ActivePreStretch, activeBefore);
    EXPECT_EQ(sim.SpringConstant, constantBefore);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpringSlider,
                         ::testing::Combine(::testing::Values(Lang::German, Lang::English),
                                            ::testing::ValuesIn(kSpringCases)),
                         [](const auto& info) {
                             return std::string(NameOf(std::get<0>(info.param))) + "_At" +
                                    std::to_string(std::get<1>(info.param).position);
                         });

// ---- Take-off speed -------------------------------------------------------------------

struct SpeedCase {
    int position;
    double launchSpeed;
    const char* text; // with a comma
};

void PrintTo(const SpeedCase& c, std::ostream* os) {
    *os << "position " << c.position;
}

const SpeedCase kSpeedCases[] = {{0, 0.0, "0"}, {1, 0.1, "0,1"}, {24, 2.4, "2,4"}, {30, 3.0, "3"}};

class TakeOffSpeedSlider : public LocalisedSimulation<std::tuple<Lang, SpeedCase>> {};

TEST_P(TakeOffSpeedSlider, StoresAndShowsTheSpeed) {
    const auto& [lang, c] = GetParam();
    DragTo(Control<QScrollBar>("ScrollBar3"), c.position);
    EXPECT_EQ(form->simulation().LaunchSpeed, c.launchSpeed);
    EXPECT_EQ(Text("Edit15"), InLocale(c.text, lang));
}

INSTANTIATE_TEST_SUITE_P(Positions, TakeOffSpeedSlider,
                         ::testing::Combine(::testing::Values(Lang::German, Lang::English),
                                            ::testing::ValuesIn(kSpeedCases)),
                         [](const auto& info) {
                             return std::string(NameOf(std::get<0>(info.param))) + "_At" +
                                    std::to_string(std::get<1>(info.param).position);
                         });

// ---- Simulation speed -----------------------------------------------------------------

class SimulationSpeedSlider : public WindowFixture {};

TEST_F(SimulationSpeedSlider, SetsTheTimeStep) {
    // The step is there before the slider is touched: a run may start right away.
    EXPECT_EQ(form->simulation().TimeStep, 0.00125);
    EnterSimulation();
    struct {
        int position;
        double timeStep;
    } const cases[] = {{10, 0.0001}, {250, 0.0025}, {11, 0.00011}, {125, 0.00125}};
    for (const auto& c : cases) {
        SCOPED_TRACE("position " + std::to_string(c.position));
        DragTo(Control<QScrollBar>("ScrollBar4"), c.position);
        EXPECT_EQ(form->simulation().TimeStep, c.timeStep);
    }
    auto* bar = Control<QScrollBar>("ScrollBar4");
    bar->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(bar->hasFocus());
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(bar->value(), 126);
    EXPECT_EQ(form->simulation().TimeStep, 0.00126);
}

// ---- Stepping and dragging ------------------------------------------------------------

class SliderMotion : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        EnterSimulation();
        Click("Button12");
        Click("Button14");
    }
};

// Every position the thumb passes shows in the slider's field on the way, in order.
TEST_F(SliderMotion, DragRunsTheHandlerAtEveryPositionPassed) {
    struct {
        const char* slider;
        const char* field;
        int from;
        int to;
        std::vector<const char*> shown;
    } const cases[] = {
        {"ScrollBar1", "Edit1", 327, 322, {"326", "325", "324", "323", "322"}},
        {"ScrollBar1", "Edit1", 322, 326, {"323", "324", "325", "326"}},
        {"ScrollBar3", "Edit15", 24, 30, {"2,5", "2,6", "2,7", "2,8", "2,9", "3"}},
        {"ScrollBar3", "Edit15", 30, 27, {"2,9", "2,8", "2,7"}},
        {"ScrollBar2", "Edit3", 8, 13, {"59", "58", "57", "56", "55"}},
        {"ScrollBar2", "Edit3", 13, 10, {"56", "57", "58"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.slider) + " from " + std::to_string(c.from) + " to " +
                     std::to_string(c.to));
        auto* bar = Control<QScrollBar>(c.slider);
        ASSERT_EQ(bar->value(), c.from);
        QSignalSpy shown(Control<QLineEdit>(c.field), &QLineEdit::textChanged);
        bar->setValue(c.to);
        QStringList expected;
        for (const char* text : c.shown)
            expected << QString::fromUtf8(text);
        QStringList actual;
        for (const QList<QVariant>& signal : shown)
            actual << signal.at(0).toString();
        EXPECT_EQ(actual, expected);
    }
}

// Arriving at a position in one jump leaves the same state as stepping onto it with the
// arrow keys.
TEST_F(SliderMotion, JumpEndsAsASingleStepWould) {
    auto* bar = Control<QScrollBar>("ScrollBar1");
    auto& sim = form->simulation();
    for (int target : {30, 72, 200, 499}) {
        SCOPED_TRACE("position " + std::to_string(target));
        bar->setValue(target);
        const QString edit1 = Text("Edit1"), edit2 = Text("Edit2");
        const double preStretch = sim.PreStretch;
        const double springPosition = sim.jumper(SimulatorKind::Spring).Position;

        QTest::keyClick(bar, Qt::Key_Down);
        ASSERT_EQ(bar->value(), target + 1);
        EXPECT_NE(Text("Edit1"), edit1);
        QTest::keyClick(bar, Qt::Key_Up);
        ASSERT_EQ(bar->value(), target);

        EXPECT_EQ(Text("Edit1"), edit1);
        EXPECT_EQ(Text("Edit2"), edit2);
        EXPECT_EQ(sim.PreStretch, preStretch);
        EXPECT_EQ(sim.jumper(SimulatorKind::Spring).Position, springPosition);
    }
}

// The arrow keys move a focused slider one position at a time, each shown at once: down
// on the vertical ones, right on the horizontal ones, increase the position.
TEST_F(SliderMotion, ArrowKeysStepTheSliders) {
    struct {
        const char* slider;
        Qt::Key key;
        int position;
        const char* field;
        const char* text;
    } const steps[] = {
        {"ScrollBar1", Qt::Key_Down, 328, "Edit1", "328"},
        {"ScrollBar1", Qt::Key_Down, 329, "Edit2", "2,98"},
        {"ScrollBar1", Qt::Key_Up, 328, "Edit2", "2,99"},
        {"ScrollBar2", Qt::Key_Down, 9, "Edit3", "59"},
        {"ScrollBar2", Qt::Key_Up, 8, "Edit3", "60"},
        {"ScrollBar3", Qt::Key_Right, 25, "Edit15", "2,5"},
        {"ScrollBar3", Qt::Key_Left, 24, "Edit15", "2,4"},
        {"ScrollBar3", Qt::Key_Left, 23, "Edit15", "2,3"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.slider) + " to " + std::to_string(s.position));
        auto* bar = Control<QScrollBar>(s.slider);
        bar->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(bar->hasFocus());
        QTest::keyClick(bar, s.key);
        ASSERT_EQ(bar->value(), s.position);
        EXPECT_EQ(Text(s.field), QString::fromUtf8(s.text));
    }
}

// The sliders store values only: none of them repaints the scene.
TEST_F(SliderMotion, SlidersLeaveTheSceneAlone) {
    form->scene().DrawStretchFigure(300, 120, velquor::scene::Black);
    form->PresentScene();
    const QImage before = form->scene().presented().copy();
    for (const char* slider : {"ScrollBar1", "ScrollBar2", "ScrollBar3", "ScrollBar4"}) {
        SCOPED_TRACE(slider);
        auto* bar = Control<QScrollBar>(slider);
        DragTo(bar, bar->minimum());
        DragTo(bar, bar->maximum());
        EXPECT_TRUE(form->scene().presented() == before);
    }
}

// ---- The take-off speed field ---------------------------------------------------------

class TakeOffSpeedField : public LocalisedWindow, public ::testing::WithParamInterface<Lang> {
  protected:
    void SetUp() override { StartUnder(GetParam()); }
};

// The layout's text stands until the slider first moves, whatever the separator.
TEST_P(TakeOffSpeedField, ShowsTheLayoutTextAtStart) {
    EXPECT_EQ(Text("Edit15"), QStringLiteral("2,4"));
    EnterSimulation();
    EXPECT_EQ(Text("Edit15"), QStringLiteral("2,4"));
}

// Entering and leaving the field without typing neither applies nor rewrites its text:
// the layout's comma stays under a point locale, and so does the slider's own text.
TEST_P(TakeOffSpeedField, FocusWithoutTypingChangesNothing) {
    EnterSimulation();
    auto* field = Control<QLineEdit>("Edit15");
    auto* bar = Control<QScrollBar>("ScrollBar3");
    auto focusInAndOut = [&] {
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_TRUE(field->hasFocus());
        QTest::keyClick(field, Qt::Key_Tab);
        ASSERT_FALSE(field->hasFocus());
    };

    focusInAndOut();
    EXPECT_EQ(field->text(), QStringLiteral("2,4"));
    EXPECT_EQ(bar->value(), 24);

    DragTo(bar, 15);
    focusInAndOut();
    EXPECT_EQ(field->text(), InLocale("1,5", GetParam()));
    EXPECT_EQ(bar->value(), 15);
}

INSTANTIATE_TEST_SUITE_P(Locales, TakeOffSpeedField, ::testing::Values(Lang::German, Lang::English),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

enum class Commit { Enter, Leave };

const char* NameOf(Commit commit) {
    return commit == Commit::Enter ? "Enter" : "Leave";
}
void PrintTo(Commit commit, std::ostream* os) {
    *os << NameOf(commit);
}

struct TypedCase {
    const char* name;
    const char* typed;
    int position;      // of ScrollBar3 afterwards; 24 is where it starts
    const char* shown; // with a comma
};

void PrintTo(const TypedCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

const TypedCase kTypedCases[] = {
    {"Point", "1.5", 15, "1,5"},
    {"Comma", "1,5", 15, "1,5"},
    {"Three", "3", 30, "3"},
    {"Zero", "0", 0, "0"},
    {"ZeroPointFive", "0.5", 5, "0,5"},
    {"TheCurrentSpeed", "2,4", 24, "2,4"},
    {"TheCurrentSpeedWithPoint", "2.4", 24, "2,4"},
    {"Empty", "", 24, "2,4"},
    {"Letters", "abc", 24, "2,4"},
    {"AboveThree", "3,1", 24, "2,4"},
    {"Negative", "-1", 24, "2,4"},
    {"TwoDecimals", "1,25", 24, "2,4"},
    {"Four", "4", 24, "2,4"},
};

class TypedTakeOffSpeed : public LocalisedSimulation<std::tuple<Lang, Commit, TypedCase>> {};

TEST_P(TypedTakeOffSpeed, MovesTheSliderOrFallsBackToItsValue) {
    const auto& [lang, commit, c] = GetParam();
    auto* field = Control<QLineEdit>("Edit15");
    auto* bar = Control<QScrollBar>("ScrollBar3");

    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QString::fromUtf8(c.typed));
    ASSERT_EQ(field->text(), QString::fromUtf8(c.typed));
    if (commit == Commit::Enter) {
        QTest::keyClick(field, Qt::Key_Return);
    } else {
        QTest::keyClick(field, Qt::Key_Tab);
        ASSERT_FALSE(field->hasFocus());
    }

    EXPECT_EQ(bar->value(), c.position);
    EXPECT_EQ(field->text(), InLocale(c.shown, lang));
    if (c.position != 24) { // the slider moved, so its handler stored the new speed
        EXPECT_EQ(form->simulation().LaunchSpeed, c.position / 10.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedTakeOffSpeed,
                         ::testing::Combine(::testing::Values(Lang::German, Lang::English),
                                            ::testing::Values(Commit::Enter, Commit::Leave),
                                            ::testing::ValuesIn(kTypedCases)),
                         [](const auto& info) {
                             return std::string(NameOf(std::get<0>(info.param))) + "_" +
                                    NameOf(std::get<1>(info.param)) + "_" +
                                    std::get<2>(info.param).name;
                         });

} // namespace
