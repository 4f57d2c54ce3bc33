// The animation's cost on the real window: one moving step, and whole Moon runs.
//
// Nothing here copies the window's code: the program builds velquor::ui::TForm1 as
// main.cpp does, leaves the title screen through Button3, and then makes the same calls
// a run makes (Runs::MoveFigure: two DrawStretchFigure calls and PresentScene) or clicks
// the Moon button itself. The floor of a step is one memcpy of a whole scene frame
// (993 x 500 x 4 bytes), measured in the same process, in alternating blocks.
//
//   velquor_window_bench [--xvfb] step [steps-per-block] [blocks]
//   velquor_window_bench [--xvfb] moon [repeats] [position ...]
//
// Without positions, moon measures the default 125, a few others, and two around the
// real-time position that the default run predicts.
//
// With --xvfb the program starts its own Xvfb, runs itself on it with the xcb platform
// and stops the server again; without it, it uses whatever QT_QPA_PLATFORM says.

#include "Report.h"
#include "XvfbDisplay.h"

#include "physics/Constants.h"
#include "physics/Simulation.h"
#include "scene/Scene.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velquor::bench::PrintNote;
using velquor::bench::PrintRow;
using velquor::bench::Stats;
using velquor::bench::StatsOf;
using velquor::physics::SimulatorKind;
namespace physics = velquor::physics;
namespace scene = velquor::scene;
using velquor::ui::TForm1;

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// Keeps the compiler from dropping a copy whose result nobody reads.
inline void KeepMemory(void* p) { asm volatile("" : : "r"(p) : "memory"); }

void Settle(int milliseconds) {
    const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < until)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The window as main.cpp shows it, past the title screen.
void ShowLikeMain(TForm1& form) {
    if (QScreen* screen = form.screen())
        form.setGeometry(screen->availableGeometry());
    form.setWindowState(Qt::WindowMaximized);
    form.show();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline &&
           (form.windowHandle() == nullptr || !form.windowHandle()->isExposed()))
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    Settle(200);
    form.Button3->click();
    Settle(200);
}

std::string Platform() { return QGuiApplication::platformName().toStdString(); }

// Where a stretched figure at height b can put pixels: its path (Scene.cpp) and the reach
// of the 3-pixel pen, generously rounded.
QRect StretchReach(int x, int b) {
    return QRect(QPoint(x - 40, 317 - b), QPoint(x + 20, 504 - b)).adjusted(-3, -3, 3, 3);
}

// A counterweight jump as a single run drives it, one step at a time.
class CounterweightJumps {
  public:
    explicit CounterweightJumps(TForm1& form)
        : form_(form), sim_(form.simulation()), scene_(form.scene()) {
        Start();
    }

    struct Timing {
        double sim = 0, draw = 0, present = 0;
    };

    // One step as Runs::RunSingleJump makes it; false if the figure did not move (no
    // drawing, nothing to time). A landed jump starts over, outside the timing.
    bool Step(Timing& t) {
        const auto t0 = Clock::now();
        const double previous = sim_.StepJumper(Kind, sim_.TimeStep, form_);
        const auto t1 = Clock::now();
        const bool moving = sim_.jumper(Kind).Position != previous;
        if (moving) {
            scene_.DrawStretchFigure(X, HeightAt(previous), scene::White);
            scene_.DrawStretchFigure(X, HeightAt(sim_.jumper(Kind).Position), scene::Black);
        }
        const auto t2 = Clock::now();
        if (moving)
            form_.PresentScene();
        const auto t3 = Clock::now();
        t = {Microseconds(t1 - t0), Microseconds(t2 - t1), Microseconds(t3 - t2)};
        if (sim_.HasLanded(Kind))
            LandAndRestart(previous);
        return moving;
    }

    // The present split into its halves (the queued figures drawn into the picture, then
    // shown), and two other ways of showing the same step for comparison: a repaint
    // of the whole box, which copies the whole picture into the backing store before
    // flushing it, and a repaint of the changed rectangle alone, which flushes only that.
    enum class Showing { AsPresentScene, WholeRepaint, ChangedRepaint };

    bool SplitPresentStep(Showing showing, double& draw, double& show) {
        const double previous = sim_.StepJumper(Kind, sim_.TimeStep, form_);
        const bool moving = sim_.jumper(Kind).Position != previous;
        if (moving) {
            const int from = HeightAt(previous), to = HeightAt(sim_.jumper(Kind).Position);
            scene_.DrawStretchFigure(X, from, scene::White);
            scene_.DrawStretchFigure(X, to, scene::Black);
            const auto t0 = Clock::now();
            const QRect changed = scene_.Present();
            const auto t1 = Clock::now();
            switch (showing) {
            case Showing::AsPresentScene:
                form_.PaintBox2->showPresented(changed);
                break;
            case Showing::WholeRepaint:
                form_.PaintBox2->repaint();
                break;
            case Showing::ChangedRepaint:
                form_.PaintBox2->repaint(StretchReach(X, from) | StretchReach(X, to));
                break;
            }
            const auto t2 = Clock::now();
            draw = Microseconds(t1 - t0);
            show = Microseconds(t2 - t1);
        }
        if (sim_.HasLanded(Kind))
            LandAndRestart(previous);
        return moving;
    }

  private:
    static constexpr SimulatorKind Kind = SimulatorKind::Counterweight;
    static constexpr int X = physics::ColumnX(Kind);

    int HeightAt(double position) const {
        return physics::FigureHeight(sim_.HeightAboveFloor(Kind, position));
    }

    void Start() {
        sim_.LaunchSpeed = physics::launchSpeedFor(form_.ScrollBar3->value());
        sim_.TimeStep = physics::timeStepFor(form_.ScrollBar4->value());
        sim_.TotalTime = 0;
        sim_.SetStartState(Kind);
        scene_.DrawCrouchFigure(X, 0, scene::White);
    }

    void LandAndRestart(double previous) {
        const int landed = HeightAt(sim_.jumper(Kind).Position);
        scene_.DrawStretchFigure(X, HeightAt(previous), scene::White);
        scene_.DrawStretchFigure(X, landed, scene::White);
        scene_.DrawCrouchFigure(X, landed, scene::Black);
        form_.PresentScene();
        Start();
    }

    TForm1& form_;
    physics::Simulation& sim_;
    scene::Scene& scene_;
};

// Which widgets a step's present paints, from a separate untimed pass: an application
// event filter sees every paint event the present sends. The present paints the backing
// store itself, so none is expected; a widget repaint would show up here.
class PaintCounter : public QObject {
  public:
    std::map<std::string, int> counts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++counts[watched->objectName().isEmpty() ? watched->metaObject()->className()
                                                     : watched->objectName().toStdString()];
        return false;
    }
};

void CountPaints(CounterweightJumps& jumps, const std::string& where) {
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    constexpr int Steps = 100;
    for (int i = 0; i < Steps;) {
        CounterweightJumps::Timing t;
        if (jumps.Step(t))
            ++i;
    }
    qApp->removeEventFilter(&counter);
    std::printf("  paint events per moving step%s:", where.c_str());
    for (const auto& [name, count] : counter.counts)
        std::printf(" %s %.2f", name.c_str(), double(count) / Steps);
    std::printf(counter.counts.empty() ? " none\n" : "\n");
}

int RunStep(int stepsPerBlock, int blocks) {
    TForm1 form;
    ShowLikeMain(form);
    const std::string where = " [" + Platform() + "]";

    QImage from(scene::SceneWidth, scene::SceneHeight, QImage::Format_RGB32);
    QImage to(scene::SceneWidth, scene::SceneHeight, QImage::Format_RGB32);
    from.fill(0xFF336699);
    to.fill(0xFFFFFFFF);
    const uchar* source = from.constBits();
    uchar* target = to.bits();
    const std::size_t frameBytes = std::size_t(from.sizeInBytes());

    CounterweightJumps jumps(form);
    std::vector<double> step, sim, draw, present, copy;
    for (int block = 0; block < blocks; ++block) {
        for (int i = 0; i < stepsPerBlock;) {
            CounterweightJumps::Timing t;
            if (jumps.Step(t)) {
                step.push_back(t.sim + t.draw + t.present);
                sim.push_back(t.sim);
                draw.push_back(t.draw);
                present.push_back(t.present);
                ++i;
            }
        }
        // A run without events still leaves some queued (the window system's replies);
        // handling them here keeps them out of both timings.
        QApplication::processEvents();
        for (int i = 0; i < stepsPerBlock; ++i) {
            const auto t0 = Clock::now();
            std::memcpy(target, source, frameBytes);
            KeepMemory(target);
            copy.push_back(Microseconds(Clock::now() - t0));
        }
    }
    const Stats floor = StatsOf(copy);
    const std::string floorName = "memcpy 993x500x4";
    PrintRow("moving step: StepJumper + 2 draws + PresentScene" + where, "us", StatsOf(step),
             floorName, floor);
    PrintRow("  part: StepJumper Counterweight" + where, "us", StatsOf(sim), floorName, floor);
    PrintRow("  part: 2x DrawStretchFigure (queued)" + where, "us", StatsOf(draw), floorName, floor);
    PrintRow("  part: PresentScene" + where, "us", StatsOf(present), floorName, floor);

    // The present in its two halves, what the Moon run adds per step by handling events,
    // and the other ways of showing a step; each from a pass of its own, so that the
    // first stays a plain sequence of steps.
    using Showing = CounterweightJumps::Showing;
    const int splitSteps = stepsPerBlock * blocks / 2;
    std::vector<double> drawing, shown, events;
    for (int i = 0; i < splitSteps;) {
        double c = 0, r = 0;
        if (jumps.SplitPresentStep(Showing::AsPresentScene, c, r)) {
            drawing.push_back(c);
            shown.push_back(r);
            const auto t0 = Clock::now();
            form.ProcessEvents();
            events.push_back(Microseconds(Clock::now() - t0));
            ++i;
        }
    }
    PrintRow("    present: Scene::Present (draws the two figures)" + where, "us", StatsOf(drawing),
             floorName, floor);
    PrintRow("    present: showPresented (changed part painted, whole box flushed)" + where,
             "us", StatsOf(shown), floorName, floor);
    PrintRow("  Moon-run extra: ProcessEvents per step" + where, "us", StatsOf(events),
             floorName, floor);

    auto timeShowing = [&](Showing showing) {
        std::vector<double> times;
        for (int i = 0; i < splitSteps;) {
            double c = 0, r = 0;
            if (jumps.SplitPresentStep(showing, c, r)) {
                times.push_back(r);
                ++i;
            }
        }
        return StatsOf(times);
    };
    PrintRow("    compare: repaint() of the whole box" + where, "us",
             timeShowing(Showing::WholeRepaint), floorName, floor);
    PrintRow("    compare: repaint() of the changed part only" + where, "us",
             timeShowing(Showing::ChangedRepaint), floorName, floor);

    CountPaints(jumps, where);

    double sum = 0;
    for (double v : step)
        sum += v;
    std::printf("  moving step mean %.1f us (median %.1f us)%s\n", sum / double(step.size()),
                StatsOf(step).median, where.c_str());
    return 0;
}

// "Computerzeit für Mondsprung: 2,345 s" -> 2.345; the separator follows the locale.
double SecondsIn(const QString& text) {
    static const QRegularExpression number(QStringLiteral("([0-9]+)[.,]?([0-9]*)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return NAN;
    return (m.captured(1) + QLatin1Char('.') + m.captured(2)).toDouble();
}

struct MoonResult {
    int position = 0;
    double steps = 0;
    Stats wall;
};

// Clicks MOND `repeats` times at the slider position and reports the computer time.
MoonResult MeasureMoon(TForm1& form, int position, int repeats) {
    form.ScrollBar4->setValue(position);
    std::vector<double> wall, shown;
    double flight = NAN;
    for (int r = 0; r < repeats; ++r) {
        Settle(50);
        const auto t0 = Clock::now();
        form.Button5->click(); // the whole run happens inside the handler
        wall.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
        shown.push_back(SecondsIn(form.Edit14->text()));
        flight = SecondsIn(form.Edit6->text());
    }
    const Stats s = StatsOf(wall);
    const double steps = std::round(flight / physics::timeStepFor(position));
    std::printf("  ScrollBar4 %3d: wall %.3f s (min %.3f max %.3f), Edit14 %.3f s, "
                "Edit6 %.3f s, %.1f us per step\n",
                position, s.median, s.min, s.max, StatsOf(shown).median, flight,
                1e6 * s.median / steps);
    std::fflush(stdout);
    return {position, steps, s};
}

// Without positions: the default 125, a few across the slider's range, and then two
// around where the default run's cost per step predicts real time.
int RunMoon(int repeats, std::vector<int> positions) {
    constexpr double FlightTime = 2.935; // 2 x 2.4 m/s / 1.635 m/s^2
    TForm1 form;
    ShowLikeMain(form);
    const std::string where = " [" + Platform() + "]";

    std::vector<MoonResult> results;
    auto measured = [&](int p) {
        for (const MoonResult& r : results)
            if (r.position == p)
                return true;
        return false;
    };
    const bool automatic = positions.empty();
    if (automatic)
        positions = {125, 250, 80, 40};
    for (int p : positions)
        if (!measured(p))
            results.push_back(MeasureMoon(form, p, repeats));
    if (automatic) {
        // Computer time ~ steps x cost = (FlightTime / (p / 1e5)) x cost; equal to
        // FlightTime where p = 1e5 x cost (cost in seconds per step).
        const double costPerStep = results.front().wall.median /
                                   (FlightTime / physics::timeStepFor(125));
        const double predicted = costPerStep * physics::TimeStepPerPosition;
        for (double f : {1 / 1.15, 1.15}) {
            const int p = std::clamp(int(std::lround(predicted * f)), 10, 250);
            if (!measured(p))
                results.push_back(MeasureMoon(form, p, repeats));
        }
    }
    std::sort(results.begin(), results.end(),
              [](const MoonResult& a, const MoonResult& b) { return a.position < b.position; });
    for (const MoonResult& r : results) {
        char label[160];
        std::snprintf(label, sizeof label, "Moon run, ScrollBar4 %d (%.0f steps)", r.position,
                      r.steps);
        PrintRow(label + where, "s", r.wall, "flight time 2.935 s",
                 velquor::bench::Exactly(FlightTime));
    }

    // Computer time falls about as 1/position (fewer, larger steps), so the crossing is
    // interpolated on log-log axes between the two positions that bracket it.
    std::string verdict;
    for (std::size_t i = 1; i < results.size(); ++i) {
        const double a = results[i - 1].wall.median, b = results[i].wall.median;
        if ((a - FlightTime) * (b - FlightTime) <= 0 && a != b) {
            const double lp0 = std::log(results[i - 1].position);
            const double lp1 = std::log(results[i].position);
            const double f = (std::log(FlightTime) - std::log(a)) / (std::log(b) - std::log(a));
            char text[200];
            std::snprintf(text, sizeof text,
                          "real-time position: computer time = flight time 2.935 s at "
                          "ScrollBar4 = %.0f (interpolated between %d and %d)%s",
                          std::exp(lp0 + f * (lp1 - lp0)), results[i - 1].position,
                          results[i].position, where.c_str());
            verdict = text;
            break;
        }
    }
    if (verdict.empty() && !results.empty()) {
        // Outside the measured range: extrapolate from the nearer end with time ~ 1/pos.
        const MoonResult& end =
            results.back().wall.median > FlightTime ? results.back() : results.front();
        char text[200];
        std::snprintf(text, sizeof text,
                      "real-time position: not within the measured positions; extrapolated "
                      "ScrollBar4 = %.0f (the slider ends at 10 and 250)%s",
                      end.position * end.wall.median / FlightTime, where.c_str());
        verdict = text;
    }
    PrintNote(verdict);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "--xvfb") {
        args.erase(args.begin());
        velquor::bench::XvfbDisplay display;
        if (!display.ok()) {
            std::fprintf(stderr, "no Xvfb could be started\n");
            return 2;
        }
        return velquor::bench::RunSelfOn(display, args);
    }

    QApplication app(argc, argv);
    // Qt removed its own options; what is left are ours.
    args.assign(argv + 1, argv + argc);
    const std::string mode = args.empty() ? "step" : args[0];
    auto number = [&](std::size_t i, int fallback) {
        return i < args.size() ? std::stoi(args[i]) : fallback;
    };
    if (mode == "step")
        return RunStep(number(1, 1000), number(2, 4));
    if (mode == "moon") {
        std::vector<int> positions;
        for (std::size_t i = 2; i < args.size(); ++i)
            positions.push_back(std::stoi(args[i]));
        return RunMoon(number(1, 3), positions);
    }
    std::fprintf(stderr, "usage: %s [--xvfb] step [steps-per-block] [blocks] | moon [repeats] "
                         "[position ...]\n",
                 argv[0]);
    return 2;
}
