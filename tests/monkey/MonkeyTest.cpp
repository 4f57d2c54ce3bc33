// A monkey on the real window: a seeded stream of random user events (clicks wherever they
// land, slider moves, key presses, typing, ticking boxes, the close box, minimising), some of
// them arriving while a run is going, as input does when the user keeps clicking during an
// animation. After every event, and inside every run, the window's invariants are checked:
// runs end inside their click and never nest, an idle window has its sixteen run controls
// enabled and shows the rest scene, result fields hold a blank or a well-formed number, a
// close during a run waits for the run. A failure names the seed and the last events;
// VELQUOR_MONKEY_SEED=<seed> replays exactly the same events.
//
// Environment: VELQUOR_MONKEY_SEED (replay a seed), VELQUOR_MONKEY_EVENTS (user events
// at top level, default 3500), VELQUOR_MONKEY_SECONDS (wall-clock budget after which the
// loop stops early, default 150).

#include "ObservedForm.h"
#include "WindowFixture.h"

#include "run/Runs.h"
#include "scene/Scene.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using velquor::physics::SimulatorKind;
using velquor::testing::ObservedForm;
using velquor::testing::WindowFixture;

namespace {

constexpr int DefaultEvents = 3500;
constexpr int DefaultSeconds = 150;
// Calls of the run seams within one run after which the run counts as endless. The slowest
// legitimate run (the counterweight at the highest take-off speed and the smallest step,
// some 70,000 steps, restarted a dozen times) stays more than an order of magnitude below.
constexpr std::uint64_t EndlessRunCalls = 20'000'000;
constexpr std::size_t LogLength = 40;
constexpr int MaxReportedFailures = 5;

struct Column {
    SimulatorKind kind;
    const char* title;
    const char* start;
    const char* info;
    const char* panel;
    const char* panelClose;
    const char* columnClose;
    const char* time;
    const char* height;
    const char* box;
};

const Column kColumns[] = {
    {SimulatorKind::Earth, "Earth", "Button4", "Button10", "Panel1", "Button15", "Button22",
     "Edit4", "Edit5", "CheckBox1"},
    {SimulatorKind::Moon, "Moon", "Button5", "Button11", "Panel2", "Button16", "Button23",
     "Edit6", "Edit7", "CheckBox2"},
    {SimulatorKind::Spring, "Spring", "Button6", "Button12", "Panel3", "Button17", "Button24",
     "Edit8", "Edit9", "CheckBox3"},
    {SimulatorKind::Counterweight, "Counterweight", "Button7", "Button13", "Panel4", "Button18",
     "Button25", "Edit10", "Edit11", "CheckBox4"},
    {SimulatorKind::Rope, "Rope", "Button8", "Button14", "Panel5", "Button19", "Button26",
     "Edit12", "Edit13", "CheckBox5"},
};

const Column& ColumnOf(SimulatorKind kind) {
    for (const Column& c : kColumns)
        if (c.kind == kind)
            return c;
    return kColumns[0];
}

const char* const kRunStartingControls[] = {
    "Button1",   "Button4",   "Button5",   "Button6",   "Button7",   "Button8",
    "Button10",  "Button11",  "Button12",  "Button13",  "Button14",  "CheckBox1",
    "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};

const char* const kSliders[] = {"ScrollBar1", "ScrollBar2", "ScrollBar3", "ScrollBar4"};

// Controls a user aims at more often than at a label, with their weights. Top level: what
// leads into runs and panels. During a run: what stays usable then (and some that do not,
// to see that they stay dead).
struct Favourite {
    const char* name;
    int weight;
};

const Favourite kTopLevelFavourites[] = {
    {"Button3", 6},  {"Button4", 3},   {"Button5", 4},   {"Button6", 3},   {"Button7", 3},
    {"Button8", 3},  {"Button1", 5},   {"CheckBox1", 3}, {"CheckBox2", 3}, {"CheckBox3", 3},
    {"CheckBox4", 3}, {"CheckBox5", 3}, {"Button10", 2},  {"Button11", 2},  {"Button12", 3},
    {"Button13", 2}, {"Button14", 3},  {"Button15", 1},  {"Button16", 1},  {"Button17", 1},
    {"Button18", 1}, {"Button19", 1},  {"Button22", 2},  {"Button23", 2},  {"Button24", 2},
    {"Button25", 2}, {"Button26", 2},  {"Button9", 2},   {"Button20", 2},  {"Button21", 2},
    {"Button2", 1},  {"Edit15", 2},
};

const Favourite kDuringRunFavourites[] = {
    {"Button1", 10}, {"Button3", 6},   {"Button9", 5},   {"Button22", 4},  {"Button23", 4},
    {"Button24", 5}, {"Button25", 4},  {"Button26", 5},  {"Button15", 2},  {"Button16", 2},
    {"Button17", 2}, {"Button18", 2},  {"Button19", 2},  {"Button20", 2},  {"Button21", 2},
    {"Button2", 2},  {"Button4", 2},   {"Button5", 2},   {"Button6", 2},   {"Button7", 2},
    {"Button8", 2},  {"Button10", 1},  {"Button11", 1},  {"Button12", 1},  {"Button13", 1},
    {"Button14", 1}, {"CheckBox1", 1}, {"CheckBox3", 1}, {"CheckBox5", 1}, {"Edit15", 1},
};

// A reproducible stream of choices. Only the seed decides it, so a seed replays exactly.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool OneIn(int n) { return Below(n) == 0; }

private:
    std::mt19937_64 engine_;
};

std::optional<std::uint64_t> EnvironmentNumber(const char* name) {
    const QByteArray value = qgetenv(name);
    if (value.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qulonglong number = value.trimmed().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

struct SeedCase {
    const char* name;
    std::uint64_t seed;
    bool fresh; // a new random seed on every run, printed
};

void PrintTo(const SeedCase& c, std::ostream* os) { *os << c.name; }

// Which run a start button's release is about to begin.
struct RunIntent {
    bool joint = false;
    SimulatorKind kind = SimulatorKind::Earth;
};

std::string Describe(const RunIntent& run) {
    return run.joint ? std::string("joint run") : std::string(ColumnOf(run.kind).title) + " run";
}

class Monkey : public WindowFixture, public ::testing::WithParamInterface<SeedCase> {
protected:
    void SetUp() override;
    void TearDown() override;

    void Start(std::uint64_t seed);
    void TopLevelEvent(int index);

    // The actions a user has.
    void PerformAction(bool duringRun);
    void ClickControl(bool duringRun);
    void ClickPoint(QPoint point, const std::string& aim);
    void ClickRandomPoint();
    void ClickBetweenControls();
    void MoveSlider();
    void PressKey();
    void TypeIntoSpeedField();
    void CloseBox();
    void ToggleMinimised();
    void RestoreIfMinimised();

    // The run seams.
    void OnRunSeam(bool processing);
    void BeginRun();
    void QueuedAction();
    void SettleRun();
    void ValidateFinishedRun();

    // Invariants.
    void CheckIdle();
    void CheckDuringRun(const char* when);
    void CheckResultFields(const char* when);
    void CheckColumns(const char* when);
    void CheckScene();
    void CheckSceneImage(const QImage& actual, const char* which);
    void AfterTopLevel();

    void Log(const std::string& text);
    void Fail(const std::string& message);
    std::string EventLabel() const;
    QWidget* Named(const char* name) const { return controls_.at(name); }
    QString TextOf(const char* name) const;
    bool IsBlank(const QString& text) const { return text == QStringLiteral("    "); }
    bool Running() const { return form->runs().IsRunning(); }

    ObservedForm* observed_ = nullptr;
    std::map<std::string, QWidget*> controls_;
    QImage restScene_;
    QRegularExpression resultPattern_;
    QString negativeZero_;

    std::uint64_t seed_ = 0;
    std::optional<Random> random_;
    std::deque<std::string> log_;
    int event_ = -1;
    int nested_ = 0;
    bool failed_ = false;
    int failures_ = 0;

    // The current top-level event.
    int nestedBudget_ = 0;
    bool queuedPending_ = false;
    bool closedIdle_ = false;
    bool closeDeferred_ = false;
    std::optional<RunIntent> armed_;

    // The current run.
    bool runActive_ = false;
    RunIntent run_;
    std::uint64_t runSeamCalls_ = 0;
    std::vector<std::uint32_t> runTicks_;
    std::map<std::string, QString> textsAtRunStart_;
    std::map<std::string, bool> boxesAtRunStart_;
    std::uint32_t tick_ = 0;

    // Figures for the report.
    int topLevelEvents_ = 0;
    int nestedEvents_ = 0;
    int lateEvents_ = 0;
    int runsCompleted_ = 0;
    int jointRuns_ = 0;
    int moonRuns_ = 0;
    std::uint64_t presents_ = 0;
    std::uint64_t processings_ = 0;
    int closesDeferred_ = 0;
};

void Monkey::SetUp() {
    // The monkey closes the window again and again and shows it once more; the test
    // application has no event loop to end, and must not try to.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    auto observed = std::make_unique<ObservedForm>();
    observed_ = observed.get();
    Show(std::move(observed));
    if (HasFatalFailure())
        return;

    for (QWidget* widget : form->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty())
            controls_[widget->objectName().toStdString()] = widget;
    for (const char* name : {"Button1", "Button2", "Button3", "Button9", "Edit14", "Edit15",
                             "Panel8", "ScrollBar4"})
        ASSERT_TRUE(controls_.count(name)) << "no control named " << name;
    for (const Column& c : kColumns)
        for (const char* name :
             {c.start, c.info, c.panel, c.panelClose, c.columnClose, c.time, c.height, c.box})
            ASSERT_TRUE(controls_.count(name)) << "no control named " << name;

    // What an idle window must show.
    restScene_ = RestScene();

    const QString separator = QLocale().decimalPoint();
    resultPattern_ = QRegularExpression(QStringLiteral("^-?\\d+") +
                                        QRegularExpression::escape(separator) +
                                        QStringLiteral("\\d\\d$"));
    negativeZero_ = QStringLiteral("-0") + separator + QStringLiteral("00");
}

void Monkey::TearDown() {
    if (observed_ != nullptr) {
        observed_->beforeProcessEvents = nullptr;
        observed_->beforePresent = nullptr;
    }
    WindowFixture::TearDown();
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

void Monkey::Start(std::uint64_t seed) {
    seed_ = seed;
    random_.emplace(seed);
    // A tick counter a few seconds below its wrap, so that Moon runs see it wrap; each
    // reading advances it by whole hundredths of a second, so the expected computer time
    // has no rounding question.
    tick_ = 0xFFFFFFFFu - static_cast<std::uint32_t>(random_->Below(20000));
    form->setTickSource([this] {
        const std::uint32_t now = tick_;
        tick_ += 10u * static_cast<std::uint32_t>(random_->Between(0, 400));
        if (runActive_)
            runTicks_.push_back(now);
        return now;
    });
    observed_->beforeProcessEvents = [this] { OnRunSeam(true); };
    observed_->beforePresent = [this] { OnRunSeam(false); };

    // Which run a click is about to start: a start button emits released just before
    // clicked, and so just before its handler runs.
    auto arm = [this](const char* name, RunIntent intent) {
        auto* button = qobject_cast<QAbstractButton*>(Named(name));
        QObject::connect(button, &QAbstractButton::released, form.get(),
                         [this, intent] { armed_ = intent; });
    };
    arm("Button1", RunIntent{true, SimulatorKind::Earth});
    for (const Column& c : kColumns)
        arm(c.start, RunIntent{false, c.kind});

    // "ENDE": connected after the window's own handler, so this sees its effect.
    QObject::connect(qobject_cast<QAbstractButton*>(Named("Button2")), &QAbstractButton::clicked,
                     form.get(), [this] {
                         if (Running()) {
                             if (!form->isVisible())
                                 Fail("\"ENDE\" during a run closed the window before the run "
                                      "had ended");
                             closeDeferred_ = true;
                             ++closesDeferred_;
                         } else {
                             if (form->isVisible())
                                 Fail("\"ENDE\" with no run going left the window open");
                             closedIdle_ = true;
                         }
                     });
}

std::string Monkey::EventLabel() const {
    std::ostringstream out;
    out << "#" << event_;
    if (nested_ > 0)
        out << "." << nested_;
    return out.str();
}

void Monkey::Log(const std::string& text) {
    std::string line = EventLabel();
    line += Running() ? " [in run] " : " ";
    line += text;
    log_.push_back(line);
    if (log_.size() > LogLength)
        log_.pop_front();
}

void Monkey::Fail(const std::string& message) {
    failed_ = true;
    if (++failures_ > MaxReportedFailures)
        return;
    std::ostringstream events;
    for (const std::string& line : log_)
        events << "  " << line << "\n";
    ADD_FAILURE() << "monkey seed " << seed_ << " (replay: VELQUOR_MONKEY_SEED=" << seed_
                  << "), event " << EventLabel() << ": " << message << "\nlast events:\n"
                  << events.str();
}

QString Monkey::TextOf(const char* name) const {
    auto* edit = qobject_cast<QLineEdit*>(Named(name));
    return edit != nullptr ? edit->text() : QString();
}

// ---- One top-level event --------------------------------------------------------------

void Monkey::TopLevelEvent(int index) {
    event_ = index;
    nested_ = 0;
    armed_.reset();
    closedIdle_ = false;
    closeDeferred_ = false;
    // How much input may arrive during whatever run this event starts.
    nestedBudget_ = random_->Below(13);
    ++topLevelEvents_;
    PerformAction(false);
    AfterTopLevel();
}

void Monkey::AfterTopLevel() {
    if (Running())
        Fail("a run was still going when the event that started it had returned");
    SettleRun();
    // Whatever the event left queued is delivered now, as the event loop would.
    for (int round = 0; round < 4 && !failed_; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (Running())
            Fail("a run was still going after the pending events had been handled");
        SettleRun();
    }

    const bool expectHidden = closedIdle_ || closeDeferred_;
    if (form->isHidden() != expectHidden) {
        Fail(expectHidden ? "the window stayed open after a close (deferred until the run end)"
                          : "the window went away without being closed");
    }
    if (form->isHidden() || form->isMinimized()) {
        Log(form->isHidden() ? "window shown again after its close" : "window restored");
        form->showNormal();
        if (!form->isVisible())
            Fail("the window could not be shown again");
    }
    CheckIdle();
}

// ---- Actions --------------------------------------------------------------------------

void Monkey::PerformAction(bool duringRun) {
    // Weights: clicks aimed at controls, anywhere, between controls, sliders, keys,
    // typing, the close box, minimise and restore.
    const int weights[] = {duringRun ? 50 : 60, 8, 5, duringRun ? 16 : 12, 7, 4,
                           duringRun ? 6 : 2, duringRun ? 4 : 2};
    int total = 0;
    for (int w : weights)
        total += w;
    int pick = random_->Below(total);
    int action = 0;
    while (pick >= weights[action])
        pick -= weights[action++];
    switch (action) {
    case 0:
        ClickControl(duringRun);
        break;
    case 1:
        ClickRandomPoint();
        break;
    case 2:
        ClickBetweenControls();
        break;
    case 3:
        MoveSlider();
        break;
    case 4:
        PressKey();
        break;
    case 5:
        TypeIntoSpeedField();
        break;
    case 6:
        CloseBox();
        break;
    default:
        ToggleMinimised();
        break;
    }
}

void Monkey::RestoreIfMinimised() {
    if (form->isMinimized()) {
        Log("restore the window");
        form->showNormal();
    }
}

// A click aimed at a control: at a random point inside it, reaching whatever lies on top
// there (the title screen covers everything else, a panel may cover a button).
void Monkey::ClickControl(bool duringRun) {
    const char* chosen = nullptr;
    if (random_->Below(2) == 0) {
        std::vector<Favourite> candidates;
        int total = 0;
        const bool title = Named("Panel8")->isVisible();
        auto add = [&](const Favourite& f) {
            if (!Named(f.name)->isVisible())
                return;
            // On the title screen "Zur Simulation" is what a user looks for.
            const int weight = title && std::string(f.name) == "Button3" ? 30 : f.weight;
            candidates.push_back({f.name, weight});
            total += weight;
        };
        if (duringRun)
            for (const Favourite& f : kDuringRunFavourites)
                add(f);
        else
            for (const Favourite& f : kTopLevelFavourites)
                add(f);
        if (total > 0) {
            int pick = random_->Below(total);
            for (const Favourite& f : candidates) {
                if (pick < f.weight) {
                    chosen = f.name;
                    break;
                }
                pick -= f.weight;
            }
        }
    }
    if (chosen == nullptr) {
        // Any visible named control, disabled ones included.
        std::vector<const std::string*> visible;
        for (const auto& [name, widget] : controls_)
            if (widget->isVisible())
                visible.push_back(&name);
        if (visible.empty())
            return;
        chosen = visible[static_cast<std::size_t>(random_->Below(int(visible.size())))]->c_str();
    }
    QWidget* widget = Named(chosen);
    const QRect area(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
    const QPoint point(area.left() + random_->Below(std::max(1, area.width())),
                       area.top() + random_->Below(std::max(1, area.height())));
    ClickPoint(point, std::string("at ") + chosen);
}

void Monkey::ClickPoint(QPoint point, const std::string& aim) {
    RestoreIfMinimised();
    QWidget* target = form->childAt(point);
    const std::string hit = target != nullptr ? (target->objectName().isEmpty()
                                                     ? std::string(target->metaObject()->className())
                                                     : target->objectName().toStdString())
                                              : std::string("window");
    std::ostringstream text;
    text << "click " << aim << " (" << point.x() << "," << point.y() << ") -> " << hit
         << (target != nullptr && !target->isEnabled() ? " (disabled)" : "");
    Log(text.str());
    ClickAt(point);
}

void Monkey::ClickRandomPoint() {
    ClickPoint(QPoint(random_->Below(form->width()), random_->Below(form->height())),
               "anywhere");
}

// The places between controls: just outside a control's edge, or half-way between two.
void Monkey::ClickBetweenControls() {
    std::vector<QWidget*> visible;
    for (const auto& [name, widget] : controls_)
        if (widget->isVisible() && widget != form.get())
            visible.push_back(widget);
    if (visible.size() < 2)
        return ClickRandomPoint();
    QWidget* a = visible[static_cast<std::size_t>(random_->Below(int(visible.size())))];
    QWidget* b = visible[static_cast<std::size_t>(random_->Below(int(visible.size())))];
    const QRect ra(a->mapTo(form.get(), QPoint(0, 0)), a->size());
    const QRect rb(b->mapTo(form.get(), QPoint(0, 0)), b->size());
    QPoint point;
    if (random_->Below(2) == 0) {
        point = (ra.center() + rb.center()) / 2;
    } else {
        const int gap = random_->Between(1, 4);
        switch (random_->Below(4)) {
        case 0: point = QPoint(ra.left() - gap, ra.center().y()); break;
        case 1: point = QPoint(ra.right() + gap, ra.center().y()); break;
        case 2: point = QPoint(ra.center().x(), ra.top() - gap); break;
        default: point = QPoint(ra.center().x(), ra.bottom() + gap); break;
        }
    }
    point.setX(std::clamp(point.x(), 0, form->width() - 1));
    point.setY(std::clamp(point.y(), 0, form->height() - 1));
    ClickPoint(point, "between " + a->objectName().toStdString() + " and " +
                          b->objectName().toStdString());
}

// A slider the user can reach: by mouse when it is on top, otherwise with Tab and the arrow
// keys, so any slider on a shown panel counts. The simulation speed mostly goes to the fast
// end and the take-off speed mostly low, which keeps runs short: every step repaints the
// scene, and the monkey wants many runs rather than long ones.
void Monkey::MoveSlider() {
    std::vector<QScrollBar*> bars;
    for (const char* name : kSliders) {
        auto* bar = qobject_cast<QScrollBar*>(Named(name));
        if (bar != nullptr && bar->isVisible()) {
            bars.push_back(bar);
            // The two that decide how long a run takes come up more often.
            if (std::string(name) == "ScrollBar4" || std::string(name) == "ScrollBar3")
                bars.push_back(bar), bars.push_back(bar);
        }
    }
    if (bars.empty())
        return PressKey();
    RestoreIfMinimised();
    QScrollBar* bar = bars[static_cast<std::size_t>(random_->Below(int(bars.size())))];
    const bool speed = bar->objectName() == QStringLiteral("ScrollBar4");
    const std::string name = bar->objectName().toStdString();
    const int mode = random_->Below(10);
    if (mode < 6) {
        int target = random_->Between(bar->minimum(), bar->maximum());
        if (speed && random_->Below(30) != 0)
            target = random_->Between(230, bar->maximum());
        else if (bar->objectName() == QStringLiteral("ScrollBar3") && random_->Below(5) != 0)
            target = random_->Between(bar->minimum(), 8); // low jumps are short runs
        
        Log("drag " + name + " from " + std::to_string(bar->value()) + " to " +
            std::to_string(target));
        bar->setValue(target);
    } else if (mode < 8) {
        static const QAbstractSlider::SliderAction actions[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd,   QAbstractSlider::SliderPageStepSub,
            QAbstractSlider::SliderToMaximum,     QAbstractSlider::SliderToMinimum};
        // The minimum of the speed slider makes runs 25 times longer: rarely there.
        const int count = speed && random_->Below(30) != 0 ? 5 : 6;
        const QAbstractSlider::SliderAction action = actions[random_->Below(count)];
        Log("slider action " + std::to_string(int(action)) + " on " + name + " at " +
            std::to_string(bar->value()));
        bar->triggerAction(action);
    } else {
        static const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left,
                                       Qt::Key_Right,  Qt::Key_PageUp,   Qt::Key_PageDown};
        const Qt::Key key = keys[random_->Below(6)];
        Log("focus " + name + " and press key " + std::to_string(int(key)));
        bar->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bar, key);
    }
}

// A key for whatever has the keyboard focus: Space on a focused button clicks it, Tab
// moves on (also to controls the title screen covers), arrows move a focused slider.
void Monkey::PressKey() {
    RestoreIfMinimised();
    static const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Space,
                                   Qt::Key_Return, Qt::Key_Up,      Qt::Key_Down,
                                   Qt::Key_Left,   Qt::Key_Right,   Qt::Key_PageUp,
                                   Qt::Key_Escape, Qt::Key_Tab,     Qt::Key_Space};
    const Qt::Key key = keys[random_->Below(int(std::size(keys)))];
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus != nullptr ? focus : form.get();
    Log("key " + std::to_string(int(key)) + " to " +
        (target->objectName().isEmpty() ? std::string(target->metaObject()->className())
                                        : target->objectName().toStdString()));
    QTest::keyClick(target, key);
}

// Typing a take-off speed: a click into the field, a few characters, then Enter, Tab or
// nothing. The characters go wherever the focus is, as they would for the user.
void Monkey::TypeIntoSpeedField() {
    QWidget* field = Named("Edit15");
    const QRect area(field->mapTo(form.get(), QPoint(0, 0)), field->size());
    ClickPoint(area.center(), "into Edit15");
    static const char characters[] = "0123456789,.-a ";
    const int length = random_->Between(1, 4);
    for (int i = 0; i < length && form->isVisible() && !failed_; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus != nullptr ? focus : form.get();
        if (random_->OneIn(6)) {
            Log("backspace");
            QTest::keyClick(target, Qt::Key_Backspace);
        } else {
            const char c = characters[random_->Below(int(sizeof(characters)) - 1)];
            Log(std::string("type '") + c + "'");
            QTest::keyClick(target, c);
        }
        SettleRun(); // a Space on a focused button starts a run: check it before the next key
    }
    if (!form->isVisible() || failed_)
        return;
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus != nullptr ? focus : form.get();
    switch (random_->Below(5)) {
    case 0:
    case 1:
    case 2:
        Log("Enter");
        QTest::keyClick(target, Qt::Key_Return);
        break;
    case 3:
        Log("Tab");
        QTest::keyClick(target, Qt::Key_Tab);
        break;
    default:
        break;
    }
}

// The window's close box. During a run the close waits for the run's end, with the window
// still on screen; otherwise the window goes, and the monkey shows it again afterwards.
void Monkey::CloseBox() {
    const bool running = Running();
    Log("close box");
    const bool accepted = form->close();
    if (running) {
        if (accepted || !form->isVisible())
            Fail("the close box during a run closed the window before the run had ended");
        closeDeferred_ = true;
        ++closesDeferred_;
    } else {
        if (!accepted || form->isVisible())
            Fail("the close box with no run going did not close the window");
        closedIdle_ = true;
    }
}

void Monkey::ToggleMinimised() {
    if (form->isMinimized()) {
        Log("restore the window");
        form->showNormal();
        if (form->isMinimized() || !form->isVisible())
            Fail("the window did not come back from its minimised state");
    } else {
        Log("minimise the window");
        form->showMinimized();
    }
}

// ---- Runs -----------------------------------------------------------------------------

// Called at every step a run presents and every time it processes events: counts, and now
// and then queues a user action that the run's next event processing delivers.
void Monkey::OnRunSeam(bool processing) {
    if (!Running())
        return; // the rest scene redrawn by a handler outside any run
    if (processing)
        ++processings_;
    else
        ++presents_;
    if (!runActive_)
        BeginRun();
    if (++runSeamCalls_ > EndlessRunCalls) {
        std::fprintf(stderr,
                     "monkey seed %llu, event %s: a %s made %llu steps without ending; "
                     "aborting. Last events:\n",
                     static_cast<unsigned long long>(seed_), EventLabel().c_str(),
                     Describe(run_).c_str(), static_cast<unsigned long long>(runSeamCalls_));
        for (const std::string& line : log_)
            std::fprintf(stderr, "  %s\n", line.c_str());
        std::abort();
    }
    if (queuedPending_ || nestedBudget_ <= 0 || failed_)
        return;
    if (random_->OneIn(processing ? 6 : 40)) {
        --nestedBudget_;
        queuedPending_ = true;
        QTimer::singleShot(0, form.get(), [this] { QueuedAction(); });
    }
}

void Monkey::BeginRun() {
    runActive_ = true;
    runSeamCalls_ = 0;
    runTicks_.clear();
    if (!armed_) {
        Fail("a run started although no start button had been released");
        run_ = RunIntent{};
    } else {
        run_ = *armed_;
    }
    if (run_.joint)
        ++jointRuns_;
    else if (run_.kind == SimulatorKind::Moon)
        ++moonRuns_;
    textsAtRunStart_.clear();
    boxesAtRunStart_.clear();
    for (const Column& c : kColumns) {
        textsAtRunStart_[c.time] = TextOf(c.time);
        textsAtRunStart_[c.height] = TextOf(c.height);
        boxesAtRunStart_[c.box] = qobject_cast<QCheckBox*>(Named(c.box))->isChecked();
        // Before its first step a run has blanked its own fields (a joint run all ten).
        if (run_.joint || run_.kind == c.kind) {
            if (!IsBlank(TextOf(c.time)) || !IsBlank(TextOf(c.height)))
                Fail(Describe(run_) + " began without blanking the " + c.title + " results");
        }
    }
    Log("-> " + Describe(run_) + " begins");
}

// Input that arrived during a run, delivered by the run's own event processing.
void Monkey::QueuedAction() {
    queuedPending_ = false;
    if (failed_)
        return;
    if (!Running()) {
        // The run had ended before its queue was looked at: the input meets an idle
        // window, as input that waited does.
        ++lateEvents_;
        ++nested_;
        PerformAction(false);
        return;
    }
    ++nestedEvents_;
    ++nested_;
    CheckDuringRun("before an event inside a run");
    PerformAction(true);
    CheckDuringRun("after an event inside a run");
}

// Once a run has ended: its results and what it must have left alone.
void Monkey::SettleRun() {
    if (!runActive_ || Running())
        return;
    runActive_ = false;
    ++runsCompleted_;
    ValidateFinishedRun();
    armed_.reset();
}

void Monkey::ValidateFinishedRun() {
    Log("<- " + Describe(run_) + " ended after " + std::to_string(runSeamCalls_) + " steps");
    const std::string what = Describe(run_);
    for (const Column& c : kColumns) {
        const bool ticked = qobject_cast<QCheckBox*>(Named(c.box))->isChecked();
        if (ticked != boxesAtRunStart_[c.box])
            Fail(std::string(c.box) + " changed during the " + what);
        const QString time = TextOf(c.time);
        const QString height = TextOf(c.height);
        bool written = false;
        if (run_.joint)
            written = ticked;
        else
            written = run_.kind == c.kind;
        if (written) {
            if (IsBlank(time) || IsBlank(height))
                Fail(what + " ended without results in the " + c.title + " column: \"" +
                     time.toStdString() + "\", \"" + height.toStdString() + "\"");
        } else if (run_.joint) {
            if (!IsBlank(time) || !IsBlank(height))
                Fail(what + " left results in the " + c.title + " column, whose box is not "
                     "ticked: \"" + time.toStdString() + "\", \"" + height.toStdString() + "\"");
        } else if (time != textsAtRunStart_[c.time] || height != textsAtRunStart_[c.height]) {
            Fail(what + " changed the results of the " + c.title + " column");
        }
    }

    QLineEdit* timing = qobject_cast<QLineEdit*>(Named("Edit14"));
    const bool moon = !run_.joint && run_.kind == SimulatorKind::Moon;
    if (timing->isVisibleTo(form.get()) != moon)
        Fail(std::string("after a ") + what + " the computer-time field is " +
             (moon ? "hidden" : "shown"));
    if (moon) {
        if (runTicks_.size() < 2) {
            Fail("the Moon run read the tick counter " + std::to_string(runTicks_.size()) +
                 " times");
        } else {
            // Modulo 2^32: the counter may have wrapped in between.
            const std::uint32_t elapsed = runTicks_.back() - runTicks_.front();
            const QString expected =
                QString::fromUtf8("Computerzeit f\xC3\xBCr Mondsprung: ") +
                QString::number(elapsed / 1000) + QLocale().decimalPoint() +
                QStringLiteral("%1").arg((elapsed % 1000) / 10, 2, 10, QLatin1Char('0')) +
                QStringLiteral(" s");
            if (timing->text() != expected)
                Fail("the Moon run's computer time shows \"" + timing->text().toStdString() +
                     "\", the tick counter advanced " + std::to_string(elapsed) +
                     " ms: expected \"" + expected.toStdString() + "\"");
        }
    }
}

// ---- Invariants -----------------------------------------------------------------------

void Monkey::CheckResultFields(const char* when) {
    for (const Column& c : kColumns) {
        for (const char* field : {c.time, c.height}) {
            const QString text = TextOf(field);
            // Empty as the layout starts them, or blanked by a run.
            if (text.isEmpty() || IsBlank(text))
                continue;
            if (!resultPattern_.match(text).hasMatch() || text == negativeZero_)
                Fail(std::string(when) + ": " + field + " holds \"" + text.toStdString() +
                     "\", neither blank nor a number with two decimals");
        }
    }
}

// A column is open (panel may be hidden by a run, "X" under it shown, "i" hidden) or closed
// ("i" shown, no "X", no panel); never both or neither.
void Monkey::CheckColumns(const char* when) {
    for (const Column& c : kColumns) {
        const bool info = !Named(c.info)->isHidden();
        const bool close = !Named(c.columnClose)->isHidden();
        const bool panel = !Named(c.panel)->isHidden();
        if (info == close)
            Fail(std::string(when) + ": the " + c.title + " column shows " +
                 (info ? "both its \"i\" and its \"X\"" : "neither its \"i\" nor its \"X\""));
        if (panel && !close)
            Fail(std::string(when) + ": the " + c.title +
                 " information panel is open, but the \"X\" under its column is not");
    }
}

void Monkey::CheckDuringRun(const char* when) {
    if (form->runs().Depth() != 1 || form->runs().MaxDepth() > 1)
        Fail(std::string(when) + ": run nesting depth " + std::to_string(form->runs().Depth()) +
             ", deepest so far " + std::to_string(form->runs().MaxDepth()));
    const bool joint = runActive_ && run_.joint;
    for (const char* name : kRunStartingControls) {
        const bool enabled = Named(name)->isEnabled();
        const bool expected = joint && std::string(name) == "Button1";
        if (enabled != expected)
            Fail(std::string(when) + " (" + Describe(run_) + "): " + name + " is " +
                 (enabled ? "enabled" : "disabled"));
    }
    if (!form->isVisible())
        Fail(std::string(when) + ": the window is gone while a run is going");
    CheckResultFields(when);
    CheckColumns(when);
}

void Monkey::CheckIdle() {
    if (Running() || form->runs().Depth() != 0)
        Fail("idle window, yet the run depth is " + std::to_string(form->runs().Depth()));
    if (form->runs().MaxDepth() > 1)
        Fail("runs nested " + std::to_string(form->runs().MaxDepth()) + " deep");
    for (const char* name : kRunStartingControls)
        if (!Named(name)->isEnabled())
            Fail(std::string("idle window, yet ") + name + " is disabled");
    if (!form->isVisible() || form->isMinimized())
        Fail("idle window not on screen after the monkey restored it");
    CheckResultFields("idle window");
    CheckColumns("idle window");
    CheckScene();
}

// An idle scene is the rest scene: in every column exactly the crouching figure at the
// foot, on white. Both the presented picture and the bitmap behind it (which the next
// presentation would publish) are compared, column by column.
void Monkey::CheckScene() {
    CheckSceneImage(form->scene().presented(), "presented scene");
    CheckSceneImage(form->scene().bitmap(), "scene bitmap");
}

void Monkey::CheckSceneImage(const QImage& actual, const char* which) {
    if (actual.size() != restScene_.size()) {
        Fail(std::string(which) + " has another size than the rest scene");
        return;
    }
    const QImage image = actual.format() == restScene_.format()
                             ? actual
                             : actual.convertToFormat(restScene_.format());
    const qreal ratio = restScene_.devicePixelRatio();
    for (const Column& c : kColumns) {
        const int centre = velquor::physics::ColumnX(c.kind);
        const int left = std::max(0, qFloor((centre - 100) * ratio));
        const int right = std::min(image.width(), qCeil((centre + 100) * ratio));
        int differing = 0;
        QRect where;
        for (int y = 0; y < image.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(restScene_.constScanLine(y));
            // Equal rows are the rule; only a differing one is looked at pixel by pixel.
            if (std::memcmp(a + left, b + left, std::size_t(right - left) * sizeof(QRgb)) == 0)
                continue;
            for (int x = left; x < right; ++x) {
                if ((a[x] ^ b[x]) & 0x00FFFFFFu) {
                    ++differing;
                    where |= QRect(x, y, 1, 1);
                }
            }
        }
        if (differing > 0) {
            const QString path = QDir::temp().filePath(
                QStringLiteral("velquor-monkey-%1-%2.png").arg(seed_).arg(event_));
            image.save(path);
            std::ostringstream message;
            message << "idle window, " << which << ", " << c.title << " column: " << differing
                    << " pixels differ from the rest scene (one crouching figure at the foot), "
                    << "within x " << where.left() << ".." << where.right() << ", y "
                    << where.top() << ".." << where.bottom() << "; picture saved to "
                    << path.toStdString();
            Fail(message.str());
            return;
        }
    }
}

// ---- The test -------------------------------------------------------------------------

TEST_P(Monkey, KeepsTheWindowConsistentUnderRandomInput) {
    const SeedCase& c = GetParam();
    std::uint64_t seed = c.seed;
    if (const auto replay = EnvironmentNumber("VELQUOR_MONKEY_SEED")) {
        seed = *replay;
    } else if (c.fresh) {
        std::random_device device;
        seed = (std::uint64_t(device()) << 32) ^ device();
    }
    const int events = int(EnvironmentNumber("VELQUOR_MONKEY_EVENTS").value_or(DefaultEvents));
    const auto seconds = EnvironmentNumber("VELQUOR_MONKEY_SECONDS").value_or(DefaultSeconds);
    std::printf("[monkey] seed %llu (replay: VELQUOR_MONKEY_SEED=%llu), %d events\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
                events);
    std::fflush(stdout);
    SCOPED_TRACE(::testing::Message() << "monkey seed " << seed);
    Start(seed);
    CheckIdle(); // the window as it starts, before the first event

    QElapsedTimer clock;
    clock.start();
    bool outOfTime = false;
    for (int i = 0; i < events && !failed_; ++i) {
        if (clock.elapsed() > qint64(seconds) * 1000) {
            outOfTime = true;
            break;
        }
        TopLevelEvent(i);
    }
    const double taken = clock.elapsed() / 1000.0;

    std::printf("[monkey] seed %llu: %d events at top level, %d inside runs, %d delivered after "
                "a run; %d runs completed (%d joint, %d Moon), %d joint restarts absorbed, "
                "%d closes deferred, max nesting depth %d, %llu steps presented, %llu event "
                "processings by runs; %.1f s%s\n",
                static_cast<unsigned long long>(seed), topLevelEvents_, nestedEvents_,
                lateEvents_, runsCompleted_, jointRuns_, moonRuns_, form->runs().Restarts(),
                closesDeferred_, form->runs().MaxDepth(),
                static_cast<unsigned long long>(presents_),
                static_cast<unsigned long long>(processings_), taken,
                outOfTime ? " (stopped early by the wall-clock budget)" : "");
    std::fflush(stdout);
    RecordProperty("seed", std::to_string(seed));
    RecordProperty("events", topLevelEvents_ + nestedEvents_ + lateEvents_);
    RecordProperty("runs", runsCompleted_);
    RecordProperty("restarts", form->runs().Restarts());

    // A monkey that never got past the title screen or never reached into a run would
    // have checked next to nothing.
    if (!failed_ && topLevelEvents_ >= 500) {
        EXPECT_GT(runsCompleted_, 0) << "no run was ever started";
        EXPECT_GT(jointRuns_, 0) << "no joint run was ever started";
        EXPECT_GT(nestedEvents_, 0) << "no event ever arrived inside a run";
    }
}

std::string SeedName(const ::testing::TestParamInfo<SeedCase>& info) { return info.param.name; }

#ifdef VELQUOR_MONKEY_FRESH_SEED
INSTANTIATE_TEST_SUITE_P(Random, Monkey, ::testing::Values(SeedCase{"FreshSeed", 0, true}),
                         SeedName);
#else
INSTANTIATE_TEST_SUITE_P(Fixed, Monkey,
                         ::testing::Values(SeedCase{"Seed1", 1, false},
                                           SeedCase{"Seed20240611", 20240611, false},
                                           SeedCase{"Seed987654321", 987654321, false}),
                         SeedName);
#endif

} // namespace
