// Start-up as the user meets it, the title screen, the five columns with their "i" and
// "X" buttons, the adjustment hint and "ENDE".

#include "WindowFixture.h"

#include "scene/Scene.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <ostream>
#include <string>
#include <tuple>

using velquor::physics::SimulatorKind;
using velquor::testing::WindowFixture;

namespace {

struct ColumnCase {
    const char* name;
    SimulatorKind kind;
    const char* panel;
    const char* info;        // "i" under the column
    const char* panelClose;  // "X" on the panel
    const char* columnClose; // "X" under the column, in the place of "i"
};

const ColumnCase kColumns[] = {
    {"Earth", SimulatorKind::Earth, "Panel1", "Button10", "Button15", "Button22"},
    {"Moon", SimulatorKind::Moon, "Panel2", "Button11", "Button16", "Button23"},
    {"Spring", SimulatorKind::Spring, "Panel3", "Button12", "Button17", "Button24"},
    {"Counterweight", SimulatorKind::Counterweight, "Panel4", "Button13", "Button18", "Button25"},
    {"Rope", SimulatorKind::Rope, "Panel5", "Button14", "Button19", "Button26"},
};

void PrintTo(const ColumnCase& c, std::ostream* os) {
    *os << c.name;
}

const char* const kRunStartingControls[] = {"Button1",   "Button4",   "Button5",   "Button6",
                                            "Button7",   "Button8",   "Button10",  "Button11",
                                            "Button12",  "Button13",  "Button14",  "CheckBox1",
                                            "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};

const char* const kResultFields[] = {"Edit4", "Edit5",  "Edit6",  "Edit7",  "Edit8",
                                     "Edit9", "Edit10", "Edit11", "Edit12", "Edit13"};

enum class CloseBy { PanelX, ColumnX };

const char* NameOf(CloseBy by) {
    return by == CloseBy::PanelX ? "PanelX" : "ColumnX";
}
void PrintTo(CloseBy by, std::ostream* os) {
    *os << NameOf(by);
}

const char* CloseButton(const ColumnCase& c, CloseBy by) {
    return by == CloseBy::PanelX ? c.panelClose : c.columnClose;
}

class Startup : public WindowFixture {
  protected:
    enum class State { Open, Closed, Mixed };

    // Open: panel and the "X" under the column shown, "i" hidden; closed: the reverse.
    // Judged on what the window would show without the title screen over it.
    State ColumnState(const ColumnCase& c) const {
        const bool panel = Control(c.panel)->isVisibleTo(form.get());
        const bool info = Control(c.info)->isVisibleTo(form.get());
        const bool close = Control(c.columnClose)->isVisibleTo(form.get());
        if (panel && close && !info)
            return State::Open;
        if (!panel && !close && info)
            return State::Closed;
        return State::Mixed;
    }

    void ExpectColumn(const ColumnCase& c, State expected) const {
        EXPECT_EQ(ColumnState(c), expected)
            << c.name << " column: panel " << Control(c.panel)->isVisibleTo(form.get()) << ", i "
            << Control(c.info)->isVisibleTo(form.get()) << ", X under it "
            << Control(c.columnClose)->isVisibleTo(form.get());
    }

    // Something in the scene that the rest scene does not have, presented as a run
    // presents its steps. By default in the middle column, partly under the adjustment
    // hint.
    void MarkTheScene(int column = 500) {
        form->scene().DrawStretchFigure(column, 150, velquor::scene::Black);
        form->PresentScene();
        ASSERT_FALSE(form->scene().presented() == RestScene());
    }

    // What the screen shows of a widget: the window's backing store, once the paints
    // that are waiting have been done.
    QImage OnScreen(QWidget* widget) const {
        QTest::qWait(50);
        const QPoint topLeft = widget->mapTo(form.get(), QPoint(0, 0));
        return form->screen()
            ->grabWindow(form->winId(), topLeft.x(), topLeft.y(), widget->width(), widget->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage SceneOnScreen() const { return OnScreen(Control("PaintBox2")); }

    // Whether a click at the centre of the control would reach it, or something lies over
    // it.
    bool Reachable(const char* name) const {
        QWidget* control = Control(name);
        QWidget* hit = form->childAt(control->mapTo(form.get(), control->rect().center()));
        return hit != nullptr && (hit == control || control->isAncestorOf(hit));
    }

    QPoint CentreOf(const char* name) const {
        QWidget* control = Control(name);
        return control->mapTo(form.get(), control->rect().center());
    }
};

// ---- Start-up -------------------------------------------------------------------------

TEST_F(Startup, OpensOnTheTitleScreenOnly) {
    EXPECT_TRUE(form->activated());
    QWidget* title = Control("Panel8");
    ASSERT_TRUE(title->isVisible());
    // Whatever point of the title screen's area the mouse is over, it is the title screen.
    for (int y = 8; y < 721; y += 23) {
        for (int x = 16; x < 1009; x += 29) {
            QWidget* hit = form->childAt(QPoint(x, y));
            ASSERT_TRUE(hit == title || title->isAncestorOf(hit))
                << "(" << x << ", " << y << ") reaches "
                << (hit != nullptr ? hit->objectName().toStdString() : std::string("nothing"));
        }
    }
    // Clicks on the places of a start button, an "i" and "ENDE" reach nothing beneath.
    ClickAt(CentreOf("Button4"));
    ClickAt(CentreOf("Button10"));
    ClickAt(CentreOf("Button2"));
    EXPECT_TRUE(Text("Edit4").trimmed().isEmpty());
    EXPECT_FALSE(Control("Panel1")->isVisibleTo(form.get()));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Startup, ZurSimulationShowsTheSceneAtRest) {
    EnterSimulation();
    EXPECT_FALSE(Control("Panel8")->isVisible());
    const QImage rest = RestScene();
    EXPECT_TRUE(form->scene().presented() == rest);
    EXPECT_TRUE(SceneOnScreen() == rest) << "the screen does not show five crouching figures";
    for (const char* field : kResultFields) {
        SCOPED_TRACE(field);
        EXPECT_TRUE(Control(field)->isVisible());
        EXPECT_TRUE(Text(field).trimmed().isEmpty()) << Text(field).toStdString();
    }
    for (const ColumnCase& c : kColumns)
        ExpectColumn(c, State::Closed);
    EXPECT_FALSE(Control("Panel11")->isVisible());
    EXPECT_FALSE(Control("Edit14")->isVisible());
}

TEST_F(Startup, RunStartingControlsAreThereAfterStartUp) {
    EnterSimulation();
    for (const char* name : kRunStartingControls) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Control(name)->isVisible());
        EXPECT_TRUE(Control(name)->isEnabled());
        EXPECT_TRUE(Reachable(name));
    }
}

// Creation sets the first values; the rest of start-up waits for the window's first
// showing, and until then the controls that start runs are hidden.
TEST_F(Startup, StartUpCompletesWhenTheWindowFirstShows) {
    velquor::ui::TForm1 window;
    EXPECT_FALSE(window.activated());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("327"));
    EXPECT_EQ(window.simulation().TimeStep, 0.00125);
    for (const char* name : kRunStartingControls)
        EXPECT_FALSE(window.findChild<QWidget*>(QString::fromLatin1(name))->isVisibleTo(&window))
            << name;

    window.setGeometry(0, 0, 1060, 760);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.activated());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Edit3"))->text(), QStringLiteral("60"));
    for (const char* name : kRunStartingControls)
        EXPECT_TRUE(window.findChild<QWidget*>(QString::fromLatin1(name))->isVisibleTo(&window))
            << name;
}

TEST_F(Startup, PreparesTheStartValues) {
    const auto& sim = form->simulation();
    EXPECT_EQ(sim.TimeStep, 0.00125);
    EXPECT_EQ(sim.SpringConstant, 327);
    EXPECT_EQ(sim.ActivePreStretch, 3.0);
    EXPECT_EQ(sim.jumper(SimulatorKind::Spring).Position, -3.0);
    EXPECT_EQ(sim.RopeLength, 60);
    EXPECT_NEAR(sim.jumper(SimulatorKind::Rope).Position, 10.046884753, 1e-9);
    EXPECT_EQ(sim.TotalTime, 0);
}

TEST_F(Startup, FirstOpeningsShowTheStartTexts) {
    EnterSimulation();
    Click("Button12");
    EXPECT_EQ(Text("Edit1"), QStringLiteral("327"));
    EXPECT_EQ(Text("Edit2"), QStringLiteral("3"));
    Click("Button14");
    EXPECT_EQ(Text("Edit3"), QStringLiteral("60"));
}

// ---- Columns --------------------------------------------------------------------------

class Column : public Startup,
               public ::testing::WithParamInterface<std::tuple<ColumnCase, CloseBy>> {};

TEST_P(Column, OpensAndClosesByItsButtons) {
    const auto& [c, by] = GetParam();
    EnterSimulation();
    MarkTheScene();
    const QImage marked = form->scene().presented().copy();

    Click(c.info);
    ExpectColumn(c, State::Open);
    EXPECT_TRUE(Control(c.panel)->isVisible());
    Click(CloseButton(c, by));
    ExpectColumn(c, State::Closed);
    Click(c.info);
    ExpectColumn(c, State::Open);

    for (const ColumnCase& other : kColumns)
        if (other.kind != c.kind)
            ExpectColumn(other, State::Closed);
    // Only the Rope column's closing redraws the scene; the others leave it as it was.
    if (c.kind == SimulatorKind::Rope) {
        EXPECT_TRUE(form->scene().presented() == RestScene());
    } else {
        EXPECT_TRUE(form->scene().presented() == marked);
    }
}

INSTANTIATE_TEST_SUITE_P(AllColumns, Column,
                         ::testing::Combine(::testing::ValuesIn(kColumns),
                                            ::testing::Values(CloseBy::PanelX, CloseBy::ColumnX)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_By" +
                                    NameOf(std::get<1>(info.param));
                         });

class RopeClosing : public Startup, public ::testing::WithParamInterface<CloseBy> {};

// Closing the Rope column puts the scene back at rest, on screen as well, also where the
// panel lay over it.
TEST_P(RopeClosing, RedrawsTheSceneAtRest) {
    const ColumnCase& rope = kColumns[4];
    EnterSimulation();
    Click(rope.info);
    MarkTheScene(900); // in the Rope column, largely under its panel
    Click(CloseButton(rope, GetParam()));
    const QImage rest = RestScene();
    EXPECT_TRUE(form->scene().presented() == rest);
    EXPECT_TRUE(SceneOnScreen() == rest);
}

INSTANTIATE_TEST_SUITE_P(BothButtons, RopeClosing,
                         ::testing::Values(CloseBy::PanelX, CloseBy::ColumnX),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

// Opening and closing one column leaves the other columns as they are.
TEST_F(Startup, ColumnsOpenAndCloseIndependently) {
    EnterSimulation();
    for (const ColumnCase& c : kColumns)
        Click(c.info);
    for (const ColumnCase& c : kColumns)
        ExpectColumn(c, State::Open);
    bool byPanel = true;
    int closed = 0;
    for (const ColumnCase& c : kColumns) {
        SCOPED_TRACE(std::string("closing ") + c.name);
        Click(byPanel ? c.panelClose : c.columnClose);
        byPanel = !byPanel;
        ++closed;
        for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
            ExpectColumn(kColumns[i], i < closed ? State::Closed : State::Open);
    }
}

class SpringClosing : public Startup,
                      public ::testing::WithParamInterface<std::tuple<int, CloseBy>> {};

// Closing the Spring column makes the pre-stretch of the slider's position the active
// one and stands the spring's jumper on it.
TEST_P(SpringClosing, ActivatesThePreStretchOfTheSlider) {
    const auto& [position, by] = GetParam();
    const ColumnCase& spring = kColumns[2];
    auto& sim = form->simulation();
    EnterSimulation();
    Click(spring.info);
    Control<QScrollBar>("ScrollBar1")->setValue(position);
    ASSERT_EQ(sim.ActivePreStretch, 3.0) << "moving the slider alone must not activate it";

    Click(CloseButton(spring, by));
    const double expected = 981.0 / position;
    EXPECT_EQ(sim.PreStretch, expected);
    EXPECT_EQ(sim.ActivePreStretch, expected);
    EXPECT_EQ(sim.jumper(SimulatorKind::Spring).Position, -expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpringClosing,
                         ::testing::Combine(::testing::Values(30, 72, 400, 500),
                                            ::testing::Values(CloseBy::PanelX, CloseBy::ColumnX)),
                         [](const auto& info) {
                             return "At" + std::to_string(std::get<0>(info.param)) + "_By" +
                                    NameOf(std::get<1>(info.param));
                         });

// ---- Hint, title screen, end ----------------------------------------------------------

// "Justieren" lays the hint over the scene; its "X" takes it away without a redraw, so
// the scene shows exactly as it was presented.
TEST_F(Startup, AdjustmentHintShowsAndHidesWithoutRedrawing) {
    EnterSimulation();
    Click("Button12"); // the hint overlaps the Spring and Counterweight panels
    Click("Button13");
    MarkTheScene();
    const QImage marked = form->scene().presented().copy();

    Click("Button20");
    EXPECT_TRUE(Control("Panel11")->isVisible());
    // It lies over the panels it overlaps: its close button and text are what the mouse
    // reaches there.
    EXPECT_TRUE(Reachable("Button21"));
    EXPECT_TRUE(Reachable("Memo1"));
    Click("Button21");
    EXPECT_FALSE(Control("Panel11")->isVisible());
    EXPECT_TRUE(Control("Panel3")->isVisible());
    EXPECT_TRUE(Control("Panel4")->isVisible());
    EXPECT_TRUE(form->scene().presented() == marked);
    Click("Button17"); // the Spring and Counterweight panels out of the way of the scene
    Click("Button18");
    EXPECT_TRUE(SceneOnScreen() == marked);
}

// "Info" covers everything with the title screen and changes nothing beneath it;
// "Zur Simulation" uncovers it again with the scene at rest.
TEST_F(Startup, InfoShowsTheTitleOverUnchangedState) {
    EnterSimulation();
    Click("Button4"); // an Earth jump, for results to keep
    const QString time = Text("Edit4"), height = Text("Edit5");
    ASSERT_FALSE(time.trimmed().isEmpty());
    Click("Button10");
    Click("Button13");
    Click("Button20");
    MarkTheScene();
    const QImage marked = form->scene().presented().copy();

    Click("Button9");
    EXPECT_TRUE(Control("Panel8")->isVisible());
    EXPECT_FALSE(Reachable("Button15"));
    EXPECT_FALSE(Reachable("Button21"));
    ClickAt(CentreOf("Button15")); // covered: it must not close the Earth column
    for (const ColumnCase& c : kColumns) {
        const bool open = c.kind == SimulatorKind::Earth || c.kind == SimulatorKind::Counterweight;
        ExpectColumn(c, open ? State::Open : State::Closed);
    }
    EXPECT_TRUE(Control("Panel11")->isVisibleTo(form.get()));
    EXPECT_EQ(Text("Edit4"), time);
    EXPECT_EQ(Text("Edit5"), height);
    EXPECT_TRUE(form->scene().presented() == marked);

    Click("Button3");
    EXPECT_FALSE(Control("Panel8")->isVisible());
    EXPECT_TRUE(Control("Panel1")->isVisible());
    EXPECT_TRUE(Control("Panel4")->isVisible());
    EXPECT_TRUE(Control("Panel11")->isVisible());
    EXPECT_EQ(Text("Edit4"), time);
    EXPECT_EQ(Text("Edit5"), height);
    EXPECT_TRUE(form->scene().presented() == RestScene());
}

TEST_F(Startup, EndeClosesTheWindow) {
    EnterSimulation();
    Click("Button2");
    EXPECT_FALSE(form->isVisible());
}

// ---- Start-up happens once ------------------------------------------------------------

enum class Disturbance { HiddenAndShown, MinimisedAndRestored, OtherWindowActivated };

const char* NameOf(Disturbance d) {
    switch (d) {
    case Disturbance::HiddenAndShown:
        return "HiddenAndShown";
    case Disturbance::MinimisedAndRestored:
        return "MinimisedAndRestored";
    case Disturbance::OtherWindowActivated:
        return "OtherWindowActivated";
    }
    return "";
}
void PrintTo(Disturbance d, std::ostream* os) {
    *os << NameOf(d);
}

class OnceOnly : public Startup, public ::testing::WithParamInterface<Disturbance> {
  protected:
    void Disturb() {
        switch (GetParam()) {
        case Disturbance::HiddenAndShown:
            form->hide();
            QTest::qWait(20);
            form->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
            break;
        case Disturbance::MinimisedAndRestored:
            form->showMinimized();
            QTest::qWait(20);
            form->showNormal();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
            break;
        case Disturbance::OtherWindowActivated: {
            QWidget other;
            other.setGeometry(100, 100, 200, 100);
            other.show();
            other.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
            break;
        }
        }
    }
};

// The window's start-up work is done once: nothing the user set up is reset when the
// window is shown or activated again.
TEST_P(OnceOnly, ShowingAgainResetsNothing) {
    auto& sim = form->simulation();
    EnterSimulation();
    Click("Button10");                                // Earth open
    Click("Button12");                                // Spring open
    Control<QScrollBar>("ScrollBar1")->setValue(400); // not yet active
    Click("Button14");                                // Rope open
    Control<QScrollBar>("ScrollBar2")->setValue(28);  // 40 m
    Click("Button20");                                // hint shown
    MarkTheScene();
    const QImage marked = form->scene().presented().copy();
    ASSERT_TRUE(form->activated());

    Disturb();

    EXPECT_TRUE(form->activated());
    EXPECT_FALSE(Control("Panel8")->isVisible());
    for (const ColumnCase& c : kColumns) {
        const bool open = c.kind == SimulatorKind::Earth || c.kind == SimulatorKind::Spring ||
                          c.kind == SimulatorKind::Rope;
        ExpectColumn(c, open ? State::Open : State::Closed);
    }
    EXPECT_TRUE(Control("Panel11")->isVisible());
    EXPECT_EQ(Text("Edit1"), QStringLiteral("400"));
    EXPECT_EQ(Text("Edit2"), QStringLiteral("2,45"));
    EXPECT_EQ(Text("Edit3"), QStringLiteral("40"));
    EXPECT_EQ(sim.ActivePreStretch, 3.0);
    EXPECT_EQ(sim.RopeLength, 40);
    EXPECT_TRUE(form->scene().presented() == marked);
    // The start buttons and selection boxes stay; the "i" buttons were judged with their
    // columns above.
    for (const char* name : {"Button1", "Button4", "Button5", "Button6", "Button7", "Button8",
                             "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"})
        EXPECT_TRUE(Control(name)->isVisible()) << name;
}

INSTANTIATE_TEST_SUITE_P(Disturbances, OnceOnly,
                         ::testing::Values(Disturbance::HiddenAndShown,
                                           Disturbance::MinimisedAndRestored,
                                           Disturbance::OtherWindowActivated),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

} // namespace
