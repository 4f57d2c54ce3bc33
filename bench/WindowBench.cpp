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

    // What the present would cost if it repainted only the rectangle the two figures
    // touched instead of the whole box: the rest of presented() is unchanged, so the
    // window system already shows it. Measures Qt's cost for that, not the program's.
    bool DirtyOnlyStep(double& repaint) {
        const double previous = sim_.StepJumper(Kind, sim_.TimeStep, form_);
        const bool moving = sim_.jumper(Kind).Position != previous;
        if (moving) {
            const int from = HeightAt(previous), to = HeightAt(sim_.jumper(Kind).Position);
            scene_.DrawStretchFigure(X, from, scene::White);
            scene_.DrawStretchFigure(X, to, scene::Black);
            scene_.Present();
            const auto t0 = Clock::now();
            form_.PaintBox2->repaint(StretchReach(X, from) | StretchReach(X, to));
            repaint = Microseconds(Clock::now() - t0);
        }
        if (sim_.HasLanded(Kind))
            LandAndRestart(previous);
        return moving;
    }

    // The same step with the present split into its two halves: the dirty-rectangle
    // copy into presented() and the synchronous repaint of PaintBox2.
    bool SplitPresentStep(double& copy, double& repaint) {
        const double previous = sim_.StepJumper(Kind, sim_.TimeStep, form_);
        const bool moving = sim_.jumper(Kind).Position != previous;
        if (moving) {
            scene_.DrawStretchFigure(X, HeightAt(previous), scene::White);
            scene_.DrawStretchFigure(X, HeightAt(sim_.jumper(Kind).Position), scene::Black);
            const auto t0 = Clock::now();
            scene_.Present();
            const auto t1 = Clock::now();
            form_.PaintBox2->repaint();
            const auto t2 = Clock::now();
            copy = Microseconds(t1 - t0);
            repaint = Microseconds(t2 - t1);
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

// The figure never changes shape, only place: what if it were drawn once into a sprite
// and each step blitted it (white sprite at the old place, black at the new) instead of
// stroking two polylines, two ellipses and a line twice? The sprite is cut from a
// figure the real Scene drew; the check below compares the result with real drawing.
void SpriteWhatIf(int steps, const std::string& floorName, const Stats& floor,
                  const std::string& where) {
    constexpr int X = physics::ColumnX(SimulatorKind::Counterweight);
    constexpr int SpriteHeight = 60; // high enough that the whole figure is in the scene
    scene::Scene model;
    model.DrawStretchFigure(X, SpriteHeight, scene::Black);
    const QRect cut = StretchReach(X, SpriteHeight);
    QImage black = model.bitmap().copy(cut).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage white = black;
    for (int y = 0; y < black.height(); ++y) {
        auto* b = reinterpret_cast<QRgb*>(black.scanLine(y));
        auto* w = reinterpret_cast<QRgb*>(white.scanLine(y));
        for (int x = 0; x < black.width(); ++x) {
            const bool ink = b[x] != scene::White; // the head's white inside is no ink
            b[x] = ink ? b[x] : 0;
            w[x] = ink ? scene::White : 0;
        }
    }

    // The same jump's heights, for both ways of drawing.
    physics::Simulation sim;
    sim.LaunchSpeed = physics::launchSpeedFor(24);
    sim.TimeStep = physics::timeStepFor(125);
    struct NoSliders : physics::SliderReader {
        int springConstantPosition() const override { return 327; }
        int ropeLengthPosition() const override { return 8; }
    } sliders;
    auto height = [&](double position) {
        return physics::FigureHeight(sim.HeightAboveFloor(SimulatorKind::Counterweight, position));
    };

    scene::Scene real;
    QImage blitted = real.bitmap().copy();
    QPainter painter(&blitted);
    std::vector<double> blit;
    int same = 0, compared = 0;
    sim.SetStartState(SimulatorKind::Counterweight);
    for (int i = 0; i < steps; ++i) {
        const double previous = sim.StepJumper(SimulatorKind::Counterweight, sim.TimeStep, sliders);
        const int from = height(previous), to = height(sim.jumper(SimulatorKind::Counterweight).Position);
        const auto t0 = Clock::now();
        painter.drawImage(StretchReach(X, from).topLeft(), white);
        painter.drawImage(StretchReach(X, to).topLeft(), black);
        blit.push_back(Microseconds(Clock::now() - t0));
        real.DrawStretchFigure(X, from, scene::White);
        real.DrawStretchFigure(X, to, scene::Black);
        if (i % 50 == 0) {
            painter.end();
            ++compared;
            same += blitted == real.bitmap() ? 1 : 0;
            painter.begin(&blitted);
        }
        if (sim.HasLanded(SimulatorKind::Counterweight))
            sim.SetStartState(SimulatorKind::Counterweight);
    }
    PrintRow("    what-if: 2 sprite blits for the 2 draws" + where, "us",
             StatsOf(blit), floorName, floor);
    std::printf("  sprite what-if: scene pixel-identical to real drawing in %d of %d checks\n",
                same, compared);
}

// Which widgets a step's present paints, from a separate untimed pass: an application
// event filter sees every paint event the synchronous repaint sends.
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

// The cost of those extra paints: a repaint of the box's last row, which the 1-pixel
// column lines (Shape1..4, from y = 499) overlap, against the row above it.
void TimeShapeOverlap(TForm1& form, const std::string& where) {
    auto median = [&](int row) {
        std::vector<double> t;
        for (int i = 0; i < 300; ++i) {
            const auto t0 = Clock::now();
            form.PaintBox2->repaint(QRect(0, row, scene::SceneWidth, 1));
            t.push_back(Microseconds(Clock::now() - t0));
        }
        return StatsOf(t).median;
    };
    const double withShapes = median(scene::SceneHeight - 1);
    const double without = median(scene::SceneHeight - 2);
    std::printf("  repaint of PaintBox2's last row %.1f us, of the row above %.1f us: the "
                "column lines cost %.1f us per full repaint%s\n",
                withShapes, without, withShapes - without, where.c_str());
}

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
    std::printf("\n");
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
    PrintRow("  part: 2x DrawStretchFigure" + where, "us", StatsOf(draw), floorName, floor);
    PrintRow("  part: PresentScene" + where, "us", StatsOf(present), floorName, floor);

    // The present in its two halves, and what the Moon run adds per step by handling
    // events; from a second pass so that the first stays a plain sequence of steps.
    std::vector<double> dirtyCopy, repaint, events;
    for (int i = 0; i < stepsPerBlock * blocks / 2;) {
        double c = 0, r = 0;
        if (jumps.SplitPresentStep(c, r)) {
            dirtyCopy.push_back(c);
            repaint.push_back(r);
            const auto t0 = Clock::now();
            form.ProcessEvents();
            events.push_back(Microseconds(Clock::now() - t0));
            ++i;
        }
    }
    PrintRow("    present: Scene::Present dirty copy" + where, "us", StatsOf(dirtyCopy),
             floorName, floor);
    PrintRow("    present: PaintBox2->repaint()" + where, "us", StatsOf(repaint), floorName,
             floor);
    PrintRow("  Moon-run extra: ProcessEvents per step" + where, "us", StatsOf(events),
             floorName, floor);

    std::vector<double> dirtyOnly;
    for (int i = 0; i < stepsPerBlock * blocks / 2;) {
        double r = 0;
        if (jumps.DirtyOnlyStep(r)) {
            dirtyOnly.push_back(r);
            ++i;
        }
    }
    PrintRow("    what-if: repaint(dirty rect) only" + where, "us",
             StatsOf(dirtyOnly), floorName, floor);

    SpriteWhatIf(stepsPerBlock * blocks / 2, floorName, floor, where);
    CountPaints(jumps, where);
    TimeShapeOverlap(form, where);

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
