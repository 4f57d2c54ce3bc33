#include "MainWindow.h"

#include "Layout.h"
#include "ParameterText.h"
#include "Widgets.h"
#include "physics/Constants.h"
#include "scene/RopeSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <chrono>

namespace velquor::ui {

using physics::SimulatorKind;

namespace {

std::uint32_t systemTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// Runs a handler for every position a slider passes, also when a drag jumps several
// positions at once, as if it had been moved one step at a time.
void connectStepwise(QScrollBar* bar, QObject* window, std::function<void(int)> handler) {
    auto last = std::make_shared<int>(bar->value());
    QObject::connect(bar, &QScrollBar::valueChanged, window, [last, handler](int position) {
        const int direction = position > *last ? 1 : -1;
        for (int passed = *last + direction; passed != position; passed += direction)
            handler(passed);
        *last = position;
        handler(position);
    });
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent), scene_(qApp->devicePixelRatio()), runs_(sim_, scene_, *this),
      tickSource_(systemTickCount) {
    BuildLayout();
    FormCreate();
    ConnectHandlers();
    SetKeyboardOrder();
    SetAccessibleNames();
}

TForm1::~TForm1() {
    // The base class destroys the controls after this destructor has run; a control that
    // loses the focus then (Edit15 reports its editing as finished) must not reach
    // handlers of a window that is no longer there.
    for (QObject* control : findChildren<QObject*>())
        control->disconnect(this);
}

void TForm1::setTickSource(std::function<std::uint32_t()> source) {
    tickSource_ = std::move(source);
}

void TForm1::ConnectHandlers() {
    columns_ = {{
        {Panel1, Button4, Button10, Button15, Button22, Edit4, Edit5, CheckBox1},
        {Panel2, Button5, Button11, Button16, Button23, Edit6, Edit7, CheckBox2},
        {Panel3, Button6, Button12, Button17, Button24, Edit8, Edit9, CheckBox3},
        {Panel4, Button7, Button13, Button18, Button25, Edit10, Edit11, CheckBox4},
        {Panel5, Button8, Button14, Button19, Button26, Edit12, Edit13, CheckBox5},
    }};
    auto onClick = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(Button1, &TForm1::Button1Click);
    onClick(Button2, &TForm1::Button2Click);
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button4, &TForm1::Button4Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(Button6, &TForm1::Button6Click);
    onClick(Button7, &TForm1::Button7Click);
    onClick(Button8, &TForm1::Button8Click);
    onClick(Button9, &TForm1::Button9Click);
    onClick(Button20, &TForm1::Button20Click);
    onClick(Button21, &TForm1::Button21Click);
    for (SimulatorKind kind : physics::AllKinds) {
        const Column& c = column(kind);
        connect(c.info, &QPushButton::clicked, this, [this, kind] { OpenColumn(kind); });
        connect(c.panelClose, &QPushButton::clicked, this, [this, kind] { CloseColumn(kind); });
        connect(c.columnClose, &QPushButton::clicked, this, [this, kind] { CloseColumn(kind); });
    }
    // Connected only now, after the initial positions: no handler runs during creation.
    connectStepwise(ScrollBar1, this, [this](int p) { ScrollBar1Change(p); });
    connectStepwise(ScrollBar2, this, [this](int p) { ScrollBar2Change(p); });
    connectStepwise(ScrollBar3, this, [this](int p) { ScrollBar3Change(p); });
    connectStepwise(ScrollBar4, this, [this](int p) { ScrollBar4Change(p); });
    connect(Edit15, &QLineEdit::editingFinished, this, &TForm1::Edit15Finished);
}

// Tab moves through the window's children in the layout's keyboard order, and through
// the controls of each panel in the order of their rows (which is their creation order).
void TForm1::SetKeyboardOrder() {
    const QList<QWidget*> children = {Button4, Button5, Button6,  Button7, Button8, Button10,
                                      Button11, Button12, Button13, Button14, Panel1, Panel2,
                                      Panel3,  Panel4,  Panel5,  Panel6,  Panel7,  Panel8,
                                      Panel9,  Panel10, Panel11};
    QList<QWidget*> chain;
    for (QWidget* child : children) {
        if (child->focusPolicy() & Qt::TabFocus)
            chain.append(child);
        for (QWidget* inner : child->findChildren<QWidget*>())
            if (inner->focusPolicy() & Qt::TabFocus)
                chain.append(inner);
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// Names for a screen reader, for every control that shows no text of its own or whose
// text alone does not say what it belongs to.
void TForm1::SetAccessibleNames() {
    static const std::array<QString, physics::SimulatorCount> columnNames = {
        QStringLiteral("Erde"), QStringLiteral("Mond"), QStringLiteral("Schraubenfeder"),
        QStringLiteral("Gegengewicht"), QStringLiteral("Seil")};
    for (SimulatorKind kind : physics::AllKinds) {
        const QString& name = columnNames[physics::indexOf(kind)];
        const Column& c = column(kind);
        c.time->setAccessibleName(QStringLiteral("Flugzeit ") + name);
        c.height->setAccessibleName(QStringLiteral("Sprunghöhe ") + name);
        c.selection->setAccessibleName(name + QStringLiteral(" beim gemeinsamen Start"));
        c.info->setAccessibleName(QStringLiteral("Info ") + name);
        c.panelClose->setAccessibleName(QStringLiteral("Info ") + name + QStringLiteral(" schließen"));
        c.columnClose->setAccessibleName(QStringLiteral("Info ") + name + QStringLiteral(" schließen"));
    }
    ScrollBar1->setAccessibleName(QStringLiteral("Federkonstante in N/m"));
    ScrollBar2->setAccessibleName(QStringLiteral("Seillänge, oben lang, unten kurz"));
    ScrollBar3->setAccessibleName(QStringLiteral("Absprung-Geschwindigkeit in Zehntel m/s"));
    ScrollBar4->setAccessibleName(QStringLiteral("Simulationsgeschwindigkeit"));
    Edit1->setAccessibleName(QStringLiteral("Federkonstante in N/m"));
    Edit2->setAccessibleName(QStringLiteral("Verlängerung der Feder in m"));
    Edit3->setAccessibleName(QStringLiteral("Seillänge in Metern"));
    Edit14->setAccessibleName(QStringLiteral("Computerzeit für Mondsprung"));
    Edit15->setAccessibleName(QStringLiteral("Absprung-Geschwindigkeit in m/s"));
    Button21->setAccessibleName(QStringLiteral("Hinweis schließen"));
    Memo1->setAccessibleName(QStringLiteral("Hinweis zur Simulationsgeschwindigkeit"));
    PaintBox2->setAccessibleName(QStringLiteral("Sprungszene"));
    PaintBox2->setAccessibleDescription(
        QStringLiteral("Bild: fünf Strichfiguren, von links Erde, Mond, Schraubenfeder, "
                       "Gegengewicht und Seil, hocken am Boden oder springen."));
    PaintBox1->setAccessibleName(QStringLiteral("Seil-Aufbau"));
    PaintBox1->setAccessibleDescription(
        QStringLiteral("Bild: Seitenansicht von Wand, Astronaut und Seil."));
    Image1->setAccessibleName(QStringLiteral("Titelbild"));
    Image1->setAccessibleDescription(
        QStringLiteral("Mechanische Simulatoren für das Astronautentraining: Schraubenfeder, "
                       "Gegengewicht und Seil."));
}

QList<QWidget*> TForm1::RunStartingControls() const {
    return {Button1,   Button4,   Button5,   Button6,   Button7,   Button8,
            Button10,  Button11,  Button12,  Button13,  Button14,  CheckBox1,
            CheckBox2, CheckBox3, CheckBox4, CheckBox5};
}

// ---- Start-up -------------------------------------------------------------------------

void TForm1::FormCreate() {
    // Qt paints every widget through the window's backing store: double buffering needs
    // no setting.
    for (QWidget* control : RunStartingControls())
        control->hide();
    Edit1->setText(IntegerText(ScrollBar1->value()));
    sim_.SpringConstant = ScrollBar1->value();
    sim_.TimeStep = physics::timeStepFor(ScrollBar4->value());
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first show stands for the first activation: it comes after the window is shown
    // and before any input, with or without a window manager.
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TForm1::FormActivate() {
    ShowRopeSetup();
    for (QWidget* control : RunStartingControls())
        control->show();
    for (Panel* p : {Panel1, Panel2, Panel3, Panel4, Panel5})
        p->hide();
    sim_.RopeLength = physics::ropeLengthFor(ScrollBar2->value());
    Edit3->setText(IntegerText(static_cast<int>(sim_.RopeLength)));
    RedrawScene();
    sim_.ActivePreStretch = physics::preStretchFor(ScrollBar1->value());
    Edit2->setText(
        RealText(PreStretchHundredths(sim_.ActivePreStretch), 2, DecimalSeparator()));

    // Start states with the initial take-off speed; every run sets its own again.
    for (SimulatorKind kind : {SimulatorKind::Earth, SimulatorKind::Moon,
                               SimulatorKind::Counterweight}) {
        sim_.jumper(kind).Velocity = sim_.LaunchSpeed;
        sim_.jumper(kind).Position = 0;
    }
    sim_.TotalTime = 0;
    sim_.jumper(SimulatorKind::Spring).Velocity = sim_.LaunchSpeed;
    sim_.jumper(SimulatorKind::Spring).Position = -sim_.ActivePreStretch;
    sim_.SpringConstant = ScrollBar1->value();
    sim_.jumper(SimulatorKind::Rope).Velocity = sim_.LaunchSpeed;
    sim_.RopeLength = physics::ropeLengthFor(ScrollBar2->value());
    sim_.jumper(SimulatorKind::Rope).Position = static_cast<double>(sim_.RopeFloor());
    Button3->setFocus(Qt::OtherFocusReason);
}

// ---- Title screen, hint, end -----------------------------------------------------------

void TForm1::Button3Click() {
    Panel8->hide();
    RedrawScene();
}

void TForm1::Button9Click() { Panel8->show(); }
void TForm1::Button20Click() { Panel11->show(); }
void TForm1::Button21Click() { Panel11->hide(); }
void TForm1::Button2Click() { close(); }

void TForm1::closeEvent(QCloseEvent* event) {
    // A run in progress finishes first, with the window on screen; then it closes.
    if (runs_.IsRunning()) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

template <typename Run> void TForm1::RunThenHonourClose(Run run) {
    run();
    if (closeRequested_ && !runs_.IsRunning()) {
        closeRequested_ = false;
        close();
    }
}

// ---- Columns -------------------------------------------------------------------------

void TForm1::OpenColumn(SimulatorKind kind) {
    const Column& c = column(kind);
    if (kind == SimulatorKind::Rope)
        ShowRopeSetup();
    c.infoPanel->show();
    c.info->hide();
    c.columnClose->show();
}

void TForm1::CloseColumn(SimulatorKind kind) {
    const Column& c = column(kind);
    c.infoPanel->hide();
    if (kind == SimulatorKind::Spring) {
        sim_.ActivePreStretch = sim_.PreStretch;
        sim_.jumper(kind).Position = -sim_.ActivePreStretch;
    } else if (kind == SimulatorKind::Rope) {
        sim_.RopeLength = physics::ropeLengthFor(ScrollBar2->value());
        RedrawScene();
    }
    c.columnClose->hide();
    c.info->show();
}

// ---- Rope set-up diagram ---------------------------------------------------------------

void TForm1::ShowRopeSetup() {
    Panel5->show();
    ScrollBar2Change(ScrollBar2->value());
}

void TForm1::ScrollBar2Change(int position) {
    const scene::RopeSetup setup = scene::ComputeRopeSetup(position);
    sim_.RopeLength = setup.ropeLength;
    Edit3->setText(IntegerText(setup.ropeLength));
    sim_.jumper(SimulatorKind::Rope).Position = setup.ropeFloor;
    Shape10->resize(setup.bodyWidth, Shape10->height());
    Shape11->show();
    Shape11->move(setup.headLeft, setup.headTop);
    PaintBox1->setRope(QLine(setup.ropeFromX, setup.ropeFromY, setup.ropeToX, setup.ropeToY));
}

// ---- Parameter sliders -----------------------------------------------------------------

void TForm1::ScrollBar1Change(int position) {
    Edit1->setText(IntegerText(position));
    sim_.PreStretch = physics::preStretchFor(position);
    sim_.jumper(SimulatorKind::Spring).Position = -sim_.PreStretch;
    Edit2->setText(RealText(PreStretchHundredths(sim_.PreStretch), 2, DecimalSeparator()));
}

void TForm1::ScrollBar3Change(int position) {
    sim_.LaunchSpeed = physics::launchSpeedFor(position);
    Edit15->setText(RealText(position, 1, DecimalSeparator()));
}

void TForm1::ScrollBar4Change(int position) { sim_.TimeStep = physics::timeStepFor(position); }

// A typed take-off speed moves the slider; anything else gives way to the slider's value,
// so the field never shows a speed the next jump would not use.
void TForm1::Edit15Finished() {
    if (!Edit15->isModified())
        return;
    Edit15->setModified(false);
    const std::optional<int> typed = ParseTakeOffSpeed(Edit15->text());
    if (typed && *typed != ScrollBar3->value()) {
        ScrollBar3->setValue(*typed);
        return;
    }
    Edit15->setText(RealText(ScrollBar3->value(), 1, DecimalSeparator()));
}

// ---- Runs ------------------------------------------------------------------------------

void TForm1::Button1Click() {
    RunThenHonourClose([this] { runs_.StartJointRun(); });
}
void TForm1::Button4Click() {
    RunThenHonourClose([this] { runs_.RunEarthJump(); });
}
void TForm1::Button5Click() {
    RunThenHonourClose([this] { runs_.RunMoonJump(); });
}
void TForm1::Button6Click() {
    RunThenHonourClose([this] { runs_.RunSpringJump(); });
}
void TForm1::Button7Click() {
    RunThenHonourClose([this] { runs_.RunCounterweightJump(); });
}
void TForm1::Button8Click() {
    RunThenHonourClose([this] { runs_.RunRopeJump(); });
}

// ---- RunHost ---------------------------------------------------------------------------

void TForm1::SetControlsEnabled(bool enabled) {
    const QList<QWidget*> controls = RunStartingControls();
    // Disabling the focused start button would push the focus on to the next control;
    // give it back afterwards so that a keyboard user can start the same jump again.
    if (!enabled && controls.contains(QApplication::focusWidget()))
        focusBeforeRun_ = QApplication::focusWidget();
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    if (enabled && focusBeforeRun_ != nullptr) {
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
        focusBeforeRun_ = nullptr;
    }
}

void TForm1::SetJointStartEnabled(bool enabled) { Button1->setEnabled(enabled); }

void TForm1::SetResultText(SimulatorKind kind, run::ResultField field, const QString& text) {
    const Column& c = column(kind);
    (field == run::ResultField::Time ? c.time : c.height)->setText(text);
}

void TForm1::SetTimingText(const QString& text) { Edit14->setText(text); }
void TForm1::SetTimingVisible(bool visible) { Edit14->setVisible(visible); }
void TForm1::HideInfoPanel(SimulatorKind kind) { column(kind).infoPanel->hide(); }
bool TForm1::IsSelected(SimulatorKind kind) const { return column(kind).selection->isChecked(); }

int TForm1::SliderPosition(run::Slider slider) const {
    switch (slider) {
    case run::Slider::SpringConstant:
        return ScrollBar1->value();
    case run::Slider::RopeLength:
        return ScrollBar2->value();
    case run::Slider::TakeOffSpeed:
        return ScrollBar3->value();
    case run::Slider::SimulationSpeed:
        return ScrollBar4->value();
    }
    return 0;
}

int TForm1::springConstantPosition() const { return ScrollBar1->value(); }
int TForm1::ropeLengthPosition() const { return ScrollBar2->value(); }

QString TForm1::DecimalSeparator() const {
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? QStringLiteral(".") : separator;
}

void TForm1::ProcessEvents() { QApplication::processEvents(QEventLoop::AllEvents); }

void TForm1::PresentScene() {
    // Shown at once, not on the next update: a run that processes no events must still
    // animate.
    PaintBox2->showPresented(scene_.Present());
}

void TForm1::RedrawScene() {
    scene_.DrawRestScene();
    PresentScene();
}

std::uint32_t TForm1::TickCount() { return tickSource_(); }

} // namespace velquor::ui
