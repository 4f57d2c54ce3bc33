#pragma once
// The one window of the program. Its controls keep the names of the layout (Button1 ...
// Button26, Panel1 ... Panel11, Edit1 ... Edit15, ScrollBar1 ... ScrollBar4, ...), which
// are also their objectNames, and its handlers are named after control and event.

#include "physics/Simulation.h"
#include "run/RunHost.h"
#include "run/Runs.h"
#include "scene/Scene.h"

#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace velquor::ui {

class Panel;
class PictureBox;
class RopePaintBox;
class ScenePaintBox;
class Shape;

class TForm1 : public QWidget, public run::RunHost, public physics::SliderReader {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The simulation values and the scene, for tests and benchmarks that look inside.
    physics::Simulation& simulation() { return sim_; }
    scene::Scene& scene() { return scene_; }
    run::Runs& runs() { return runs_; }
    bool activated() const { return activated_; }

    // Replaces the system's millisecond counter (tests make it wrap during a run).
    void setTickSource(std::function<std::uint32_t()> source);

    // RunHost
    void SetControlsEnabled(bool enabled) override;
    void SetJointStartEnabled(bool enabled) override;
    void SetResultText(physics::SimulatorKind kind, run::ResultField field,
                       const QString& text) override;
    void SetTimingText(const QString& text) override;
    void SetTimingVisible(bool visible) override;
    void HideInfoPanel(physics::SimulatorKind kind) override;
    bool IsSelected(physics::SimulatorKind kind) const override;
    int SliderPosition(run::Slider slider) const override;
    QString DecimalSeparator() const override;
    void ProcessEvents() override;
    void PresentScene() override;
    void RedrawScene() override;
    std::uint32_t TickCount() override;

    // SliderReader, for the spring and rope steps
    int springConstantPosition() const override;
    int ropeLengthPosition() const override;

    // Start-up
    void FormCreate();
    void FormActivate();

    // Handlers
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button20Click();
    void Button21Click();
    void OpenColumn(physics::SimulatorKind kind);  // Button10Click ... Button14Click
    void CloseColumn(physics::SimulatorKind kind); // Button15Click ... 19, 22 ... 26
    void ScrollBar1Change(int position);
    void ScrollBar2Change(int position);
    void ScrollBar3Change(int position);
    void ScrollBar4Change(int position);
    void Edit15Finished();
    void ShowRopeSetup();

    // Controls, by their names in the layout.
    Panel *Panel1, *Panel2, *Panel3, *Panel4, *Panel5, *Panel6, *Panel7, *Panel8, *Panel9,
        *Panel10, *Panel11;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8,
        *Button9, *Button10, *Button11, *Button12, *Button13, *Button14, *Button15, *Button16,
        *Button17, *Button18, *Button19, *Button20, *Button21, *Button22, *Button23, *Button24,
        *Button25, *Button26;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10,
        *Edit11, *Edit12, *Edit13, *Edit14, *Edit15;
    QScrollBar *ScrollBar1, *ScrollBar2, *ScrollBar3, *ScrollBar4;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label11,
        *Label12, *Label15, *Label16, *Label21, *Label22, *Label23, *Label24, *Label25,
        *Label29, *Label30, *Label31, *Label32, *Label33, *Label34, *Label35, *Label36,
        *Label37, *Label38, *Label39, *Label40, *Label41, *Label42, *Label43, *Label44,
        *Label45;
    Shape *Shape1, *Shape2, *Shape3, *Shape4, *Shape9, *Shape10, *Shape11;
    PictureBox *Image1, *Image2;
    RopePaintBox* PaintBox1;
    ScenePaintBox* PaintBox2;
    QPlainTextEdit* Memo1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Column {
        Panel* infoPanel;
        QPushButton* start;
        QPushButton* info;
        QPushButton* panelClose;
        QPushButton* columnClose;
        QLineEdit* time;
        QLineEdit* height;
        QCheckBox* selection;
    };

    void BuildLayout();
    void BuildColumnButtons();
    void BuildScenePanel();
    void BuildInfoPanels();
    void BuildControlStrip();
    void BuildHint();
    void BuildTitleScreen();
    void ConnectHandlers();
    void SetKeyboardOrder();
    void SetAccessibleNames();
    QList<QWidget*> RunStartingControls() const;
    const Column& column(physics::SimulatorKind kind) const {
        return columns_[physics::indexOf(kind)];
    }
    // A run that the user asked to close the window during ends it when it returns.
    template <typename Run> void RunThenHonourClose(Run run);

    physics::Simulation sim_;
    scene::Scene scene_;
    run::Runs runs_;
    std::array<Column, physics::SimulatorCount> columns_{};
    std::function<std::uint32_t()> tickSource_;
    bool activated_ = false;
    bool closeRequested_ = false;
    QWidget* focusBeforeRun_ = nullptr;
};

} // namespace velquor::ui
