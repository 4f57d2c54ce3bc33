// Short, deterministic replays of what the monkey met, so that a fault it found by chance
// stays in view with a reproduction a reader can follow step by step.

#include "ObservedForm.h"
#include "WindowFixture.h"

#include "physics/Simulation.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <string>

using velquor::physics::SimulatorKind;
using velquor::testing::ObservedForm;
using velquor::testing::WindowFixture;

namespace {

class Findings : public WindowFixture {
protected:
    void SetUp() override {
        auto window = std::make_unique<ObservedForm>();
        observed = window.get();
        Show(std::move(window));
    }

    void TearDown() override {
        observed->beforeProcessEvents = nullptr;
        WindowFixture::TearDown();
    }

    // Pixels of the presented scene that differ from the rest scene (five crouching figures
    // at the foot of their columns on white), within the given column.
    int DifferingFromRest(SimulatorKind kind) const {
        const QImage expected = RestScene();
        const QImage actual = form->scene().presented();
        const int centre = velquor::physics::ColumnX(kind);
        int differing = 0;
        for (int y = 0; y < actual.height(); ++y)
            for (int x = std::max(0, centre - 100); x < std::min(actual.width(), centre + 100); ++x)
                if ((actual.pixel(x, y) ^ expected.pixel(x, y)) & 0x00FFFFFFu)
                    ++differing;
        return differing;
    }

    ObservedForm* observed = nullptr;
};

// The Spring column is open when the joint run starts, so its "X" under the column stays
// usable during the run. Closing the column in mid-flight puts the Spring jumper back on
// its floor; the run goes on from there with the jumper's velocity. On the way down that
// means landing at once. Once the run is over, the scene must be the rest scene again: no
// trace of the figure that was in the air when the column closed.
TEST_F(Findings, ClosingTheSpringColumnInMidFlightLeavesNoFigureBehind) {
    EnterSimulation();
    Click("Button12"); // opens the Spring column; Button24 takes the place of its "i"
    Click("CheckBox1"); // only the Spring jumps: Earth and Moon are ticked at start
    Click("CheckBox2");
    Click("CheckBox3");
    ASSERT_TRUE(Control("Button24")->isVisible());

    // At the default settings the Spring jumper lands in pass 1144 (1.43 s in steps of
    // 1.25 ms); in pass 900 it is on its way down, still more than half a metre up.
    int passes = 0;
    observed->beforeProcessEvents = [this, &passes] {
        if (++passes == 900)
            QTimer::singleShot(0, form.get(), [this] { Click("Button24"); });
    };
    Click("Button1");
    observed->beforeProcessEvents = nullptr;

    ASSERT_FALSE(form->runs().IsRunning());
    ASSERT_GT(passes, 900) << "the run ended before the column was closed";
    EXPECT_TRUE(Control("Button12")->isVisible()) << "the Spring column did not close";
    EXPECT_NE(Text("Edit8"), QStringLiteral("    ")) << "the Spring jumper never landed";
    EXPECT_EQ(DifferingFromRest(SimulatorKind::Spring), 0)
        << "pixels of the Spring column differ from the rest scene after the run";
}

} // namespace
