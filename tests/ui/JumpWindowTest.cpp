// Runs started by clicks on the real window, and what the window does while one is in
// progress. Code that must act "during a run" comes in through the run's own event
// processing (zero timers), the Moon run's tick counter, or the scene's repaint.

#include "WindowFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using velquor::testing::WindowFixture;

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString blank = QStringLiteral("    ");

// The controls a run disables: the joint start, the five start buttons, the five "i"
// buttons and the five selection boxes.
const std::set<std::string> runStartingControls{"Button1",   "Button4",   "Button5",   "Button6",
                                                "Button7",   "Button8",   "Button10",  "Button11",
                                                "Button12",  "Button13",  "Button14",  "CheckBox1",
                                                "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};

// Runs `action` whenever the line edit's text changes, for as long as the hook lives.
class TextHook {
public:
    TextHook(QWidget* lineEdit, std::function<void(const QString&)> action) {
        QObject::connect(qobject_cast<QLineEdit*>(lineEdit), &QLineEdit::textChanged, &scope_,
                         std::move(action));
    }

private:
    QObject scope_; // disconnects on destruction
};

// A press and a release of the left button in the middle of `target`, queued as input
// that the window has not handled yet.
void postClick(QWidget* target) {
    const QPointF local = QRectF(target->rect()).center();
    const QPointF global = target->mapToGlobal(local);
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// A tick counter that reads `start` first and `start + elapsed` ever after, modulo 2^32.
std::function<std::uint32_t()> twoReadings(std::uint32_t start, std::uint32_t elapsed) {
    auto reads = std::make_shared<int>(0);
    return [=] { return (*reads)++ == 0 ? start : start + elapsed; };
}

class JumpWindow : public WindowFixture {
protected:
    std::map<std::string, bool> EnabledStates() const {
        std::map<std::string, bool> states;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
                states[name.toStdString()] = w->isEnabled();
        }
        return states;
    }

    // Runs `action` at the next event processing, which a run in progress performs.
    void DuringRun(std::function<void()> action) {
        QTimer::singleShot(0, form.get(), [this, action] {
            ASSERT_TRUE(form->runs().IsRunning()) << "the timer fired outside a run";
            action();
        });
    }
};

// ---- Joint run ----------------------------------------------------------------------

TEST_F(JumpWindow, JointRunWithTheDefaultBoxesFillsEarthAndMoon) {
    EnterSimulation();
    ASSERT_TRUE(Control<QCheckBox>("CheckBox1")->isChecked());
    ASSERT_TRUE(Control<QCheckBox>("CheckBox2")->isChecked());
    Click("Button1");

    EXPECT_EQ(Text("Edit4"), QStringLiteral("0,49"));
    EXPECT_EQ(Text("Edit5"), QStringLiteral("0,29"));
    EXPECT_EQ(Text("Edit6"), QStringLiteral("2,93")) << "one step of 0.0025 s less than 2.935";
    EXPECT_EQ(Text("Edit7"), QStringLiteral("1,76"));
    for (const char* field : {"Edit8", "Edit9", "Edit10", "Edit11", "Edit12", "Edit13"})
        EXPECT_EQ(Text(field), blank) << field;
    EXPECT_FALSE(Control("Edit14")->isVisible());
}

TEST_F(JumpWindow, JointRunHidesTheMoonComputerTimeOfAnEarlierRun) {
    EnterSimulation();
    Click("Button5");
    ASSERT_TRUE(Control("Edit14")->isVisible());
    Click("Button1");
    EXPECT_FALSE(Control("Edit14")->isVisible());
    EXPECT_EQ(Text("Edit6"), QStringLiteral("2,93"));
}

// ---- Enabled controls during a run --------------------------------------------------

struct StartButton {
    const char* button;
    bool joint;
};

void PrintTo(const StartButton& c, std::ostream* os) {
    *os << c.button;
}

class ControlsDuringRun : public JumpWindow, public ::testing::WithParamInterface<StartButton> {};

TEST_P(ControlsDuringRun, DisablesExactlyTheRunStartingControlsUntilTheRunEnds) {
    const StartButton& c = GetParam();
    EnterSimulation();
    const auto before = EnabledStates();
    for (const std::string& name : runStartingControls)
        ASSERT_TRUE(before.at(name)) << name;

    std::map<std::string, bool> during;
    DuringRun([&] { during = EnabledStates(); });
    Click(c.button);

    ASSERT_FALSE(during.empty()) << "nothing ran during the run";
    std::set<std::string> disabled;
    for (const auto& [name, enabled] : during)
        if (enabled != before.at(name))
            disabled.insert(name);
    std::set<std::string> expected = runStartingControls;
    if (c.joint)
        expected.erase("Button1"); // usable for a restart
    EXPECT_EQ(disabled, expected);
    EXPECT_EQ(EnabledStates(), before) << "everything is enabled again after the run";
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ControlsDuringRun,
    ::testing::Values(StartButton{"Button1", true}, StartButton{"Button4", false},
                      StartButton{"Button5", false}, StartButton{"Button6", false},
                      StartButton{"Button7", false}, StartButton{"Button8", false}),
    [](const auto& info) { return std::string(info.param.button); });

TEST_F(JumpWindow, MoonRunTickCounterShowsTheRunsControlsDisabled) {
    // The counter is read once the run has painted its disabled controls.
    EnterSimulation();
    int reads = 0;
    form->setTickSource([&] {
        ++reads;
        EXPECT_FALSE(Control("Button5")->isEnabled());
        EXPECT_FALSE(Control("CheckBox3")->isEnabled());
        EXPECT_TRUE(Control("Button2")->isEnabled()) << "ENDE stays usable";
        return std::uint32_t{0};
    });
    Click("Button5");
    EXPECT_GE(reads, 2);
}

// ---- The Moon run's computer time ---------------------------------------------------

TEST_F(JumpWindow, MoonRunComputerTimeSurvivesAWrappingTickCounter) {
    EnterSimulation();
    form->setTickSource(twoReadings(0xFFFFFA00u, 2940));
    Click("Button5");

    EXPECT_EQ(Text("Edit6"), QStringLiteral("2,94"));
    EXPECT_TRUE(Control("Edit14")->isVisible());
    EXPECT_EQ(Text("Edit14"), QStringLiteral("Computerzeit für Mondsprung: 2,94 s"));
}

// ---- "ENDE" during a run ------------------------------------------------------------

struct EndCase {
    const char* button;
    const char* timeField;
    const char* time;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.button;
}

class EndDuringRun : public JumpWindow, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndDuringRun, WindowStaysUntilTheRunEndsThenCloses) {
    const EndCase& c = GetParam();
    EnterSimulation();
    bool clicked = false;
    bool visibleAfterClick = false;
    bool visibleLater = false;
    DuringRun([&] {
        Click("Button2");
        clicked = true;
        visibleAfterClick = form->isVisible();
        DuringRun([&] { visibleLater = form->isVisible(); });
    });
    Click(c.button);

    ASSERT_TRUE(clicked);
    EXPECT_TRUE(visibleAfterClick);
    EXPECT_TRUE(visibleLater);
    EXPECT_EQ(Text(c.timeField), QString::fromUtf8(c.time)) << "the run went on to its end";
    EXPECT_FALSE(form->isVisible()) << "closed once the run returned";
    EXPECT_FALSE(form->runs().IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Runs, EndDuringRun,
                         ::testing::Values(EndCase{"Button5", "Edit6", "2,94"},
                                           EndCase{"Button1", "Edit6", "2,93"}),
                         [](const auto& info) { return std::string(info.param.button); });

// ---- Input that waited while a run handled no events --------------------------------

TEST_F(JumpWindow, PostedClickOnMoonStartsAMoonRunWhenIdle) {
    // The way the next test injects its click does start a run when nothing else runs.
    EnterSimulation();
    postClick(Control("Button5"));
    QCoreApplication::processEvents();
    EXPECT_EQ(Text("Edit6"), QStringLiteral("2,94"));
}

TEST_F(JumpWindow, ClickOnMoonMadeDuringAnEarthRunDoesNothingAfterIt) {
    EnterSimulation();
    const QString moonBefore = Text("Edit6");
    int moonTicks = 0;
    form->setTickSource([&] {
        ++moonTicks;
        return std::uint32_t{0};
    });
    bool posted = false;
    // The Earth run handles no events from its first step to its result; the click
    // arrives as its result is written, with the run still going.
    TextHook hook(Control("Edit4"), [&](const QString& text) {
        if (!posted && !text.isEmpty() && form->runs().IsRunning() &&
            !Control("Button4")->isEnabled()) {
            posted = true;
            postClick(Control("Button5"));
        }
    });
    Click("Button4");
    ASSERT_TRUE(posted) << "no result was written during the run";
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    EXPECT_EQ(Text("Edit4"), QStringLiteral("0,49"));
    EXPECT_EQ(Text("Edit6"), moonBefore) << "a Moon run followed the Earth run";
    EXPECT_EQ(moonTicks, 0);
    EXPECT_TRUE(Control("Button5")->isEnabled());
}

TEST_F(JumpWindow, EndClickedDuringAnEarthRunClosesTheWindowAfterIt) {
    EnterSimulation();
    bool posted = false;
    TextHook hook(Control("Edit4"), [&](const QString& text) {
        if (!posted && !text.isEmpty() && form->runs().IsRunning()) {
            posted = true;
            postClick(Control("Button2"));
        }
    });
    Click("Button4");
    ASSERT_TRUE(posted);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    EXPECT_EQ(Text("Edit4"), QStringLiteral("0,49")) << "the run went on to its end";
    EXPECT_FALSE(form->isVisible());
}

// ---- Information panels open when a run starts --------------------------------------

struct ColumnControls {
    const char* info;
    const char* panel;
    const char* columnClose;
    const char* start;
};

void PrintTo(const ColumnControls& c, std::ostream* os) {
    *os << c.start;
}

const ColumnControls columns[] = {{"Button10", "Panel1", "Button22", "Button4"},
                                  {"Button11", "Panel2", "Button23", "Button5"},
                                  {"Button12", "Panel3", "Button24", "Button6"},
                                  {"Button13", "Panel4", "Button25", "Button7"},
                                  {"Button14", "Panel5", "Button26", "Button8"}};

class OpenPanelAtRun : public JumpWindow, public ::testing::WithParamInterface<ColumnControls> {};

TEST_P(OpenPanelAtRun, SingleRunHidesOnlyThePanelAndKeepsTheColumnsButtons) {
    const ColumnControls& c = GetParam();
    EnterSimulation();
    Click(c.info);
    ASSERT_TRUE(Control(c.panel)->isVisible());
    Click(c.start);

    EXPECT_FALSE(Control(c.panel)->isVisible());
    EXPECT_TRUE(Control(c.columnClose)->isVisible()) << "its close button stays";
    EXPECT_FALSE(Control(c.info)->isVisible()) << "its info button stays hidden";
}

TEST_P(OpenPanelAtRun, JointRunHidesThePanelAndKeepsTheColumnsButtons) {
    const ColumnControls& c = GetParam();
    EnterSimulation();
    Click(c.info);
    ASSERT_TRUE(Control(c.panel)->isVisible());
    Click("Button1");

    EXPECT_FALSE(Control(c.panel)->isVisible());
    EXPECT_TRUE(Control(c.columnClose)->isVisible());
    EXPECT_FALSE(Control(c.info)->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Columns, OpenPanelAtRun, ::testing::ValuesIn(columns),
                         [](const auto& info) { return std::string(info.param.start); });

// ---- Sliders moved during a joint run -----------------------------------------------

TEST_F(JumpWindow, SpeedSlidersMovedDuringAJointRunApplyFromTheNextStart) {
    EnterSimulation();
    DuringRun([&] {
        Control<QScrollBar>("ScrollBar3")->setValue(0);
        Control<QScrollBar>("ScrollBar4")->setValue(250);
    });
    Click("Button1");
    EXPECT_EQ(Text("Edit4"), QStringLiteral("0,49"));
    EXPECT_EQ(Text("Edit5"), QStringLiteral("0,29"));
    EXPECT_EQ(Text("Edit6"), QStringLiteral("2,93"));
    EXPECT_EQ(Text("Edit7"), QStringLiteral("1,76"));

    Click("Button1");
    for (const char* field : {"Edit4", "Edit5", "Edit6", "Edit7"})
        EXPECT_EQ(Text(field), QStringLiteral("0,00")) << field;
}

// ---- "gemeinsamer Start" during a joint run -----------------------------------------

struct RestartCase {
    const char* name;
    std::vector<int> pressAt;   // event processings of the run, counted from 1
    int takeOffBeforeLastPress; // slider position, or -1 to leave it
    const char* texts[4];       // Edit4 to Edit7 afterwards
};

void PrintTo(const RestartCase& c, std::ostream* os) {
    *os << c.name;
}

class JointRestart : public JumpWindow, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(JointRestart, RepeatedPressesLeaveOneRunWithFreshResults) {
    const RestartCase& c = GetParam();
    EnterSimulation();
    int processings = 0;
    int presses = 0;
    std::function<void()> tick = [&] {
        ++processings;
        EXPECT_EQ(form->runs().Depth(), 1);
        EXPECT_TRUE(Control("Button1")->isEnabled());
        if (std::find(c.pressAt.begin(), c.pressAt.end(), processings) != c.pressAt.end()) {
            if (presses + 1 == static_cast<int>(c.pressAt.size()) && c.takeOffBeforeLastPress >= 0)
                Control<QScrollBar>("ScrollBar3")->setValue(c.takeOffBeforeLastPress);
            Click("Button1");
            ++presses;
        }
        if (presses < static_cast<int>(c.pressAt.size()))
            DuringRun(tick);
    };
    DuringRun(tick);
    Click("Button1");

    ASSERT_EQ(presses, static_cast<int>(c.pressAt.size()));
    EXPECT_EQ(form->runs().MaxDepth(), 1);
    EXPECT_GE(form->runs().Restarts(), 1);
    const char* fields[] = {"Edit4", "Edit5", "Edit6", "Edit7"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Text(fields[i]), QString::fromLatin1(c.texts[i])) << fields[i];
    for (const std::string& name : runStartingControls)
        EXPECT_TRUE(Control(name.c_str())->isEnabled()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Presses, JointRestart,
    ::testing::Values(
        RestartCase{"Once", {100}, -1, {"0,49", "0,29", "2,93", "1,76"}},
        RestartCase{"InConsecutivePasses", {1, 2, 3, 4, 5}, -1, {"0,49", "0,29", "2,93", "1,76"}},
        RestartCase{"AfterEarthLanded", {20, 300, 301, 900}, -1, {"0,49", "0,29", "2,93", "1,76"}},
        RestartCase{"WithTakeOffSpeedZero", {30, 400, 401}, 0, {"0,00", "0,00", "0,00", "0,00"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- English number format ----------------------------------------------------------

class EnglishWindow : public JumpWindow {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        JumpWindow::SetUp();
    }
    void TearDown() override {
        JumpWindow::TearDown();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
};

struct SingleRunCase {
    const char* button;
    const char* timeField;
    const char* heightField;
    const char* time;
    const char* height;
};

void PrintTo(const SingleRunCase& c, std::ostream* os) {
    *os << c.button;
}

// The five default results, in the German form; under an English locale the same texts
// with a point.
const SingleRunCase kDefaultRuns[] = {{"Button4", "Edit4", "Edit5", "0,49", "0,29"},
                                      {"Button5", "Edit6", "Edit7", "2,94", "1,76"},
                                      {"Button6", "Edit8", "Edit9", "1,43", "0,97"},
                                      {"Button7", "Edit10", "Edit11", "5,38", "3,23"},
                                      {"Button8", "Edit12", "Edit13", "2,65", "1,63"}};

QString InLocale(const char* germanText, bool english) {
    QString text = QString::fromLatin1(germanText);
    return english ? text.replace(QLatin1Char(','), QLatin1Char('.')) : text;
}

class DefaultSingleRun : public JumpWindow,
                         public ::testing::WithParamInterface<std::tuple<bool, SingleRunCase>> {
protected:
    void SetUp() override {
        if (std::get<0>(GetParam()))
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        JumpWindow::SetUp();
    }
    void TearDown() override {
        JumpWindow::TearDown();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
};

TEST_P(DefaultSingleRun, ShowsFlightTimeAndHeightInTheUsersNumberFormat) {
    const auto& [english, c] = GetParam();
    EnterSimulation();
    Click(c.button);
    EXPECT_EQ(Text(c.timeField), InLocale(c.time, english));
    EXPECT_EQ(Text(c.heightField), InLocale(c.height, english));
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, DefaultSingleRun,
    ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kDefaultRuns)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) ? "English_" : "German_") +
               std::get<1>(info.param).button;
    });

TEST_F(EnglishWindow, JointRunAndMoonComputerTimeUseAPoint) {
    EnterSimulation();
    Click("Button1");
    EXPECT_EQ(Text("Edit6"), QStringLiteral("2.93"));
    EXPECT_EQ(Text("Edit7"), QStringLiteral("1.76"));

    form->setTickSource(twoReadings(1000, 2940));
    Click("Button5");
    EXPECT_EQ(Text("Edit14"), QStringLiteral("Computerzeit für Mondsprung: 2.94 s"));
}

} // namespace
