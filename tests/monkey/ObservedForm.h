#pragma once
// The main window with the two seams through which a run reaches it observed. Both go on to
// the real implementation: a test only counts the calls and, from them, queues user input
// that the run's own event processing then delivers, as it delivers input the user gives
// during an animation.

#include "ui/MainWindow.h"

#include <functional>

namespace velquor::testing {

class ObservedForm : public ui::TForm1 {
public:
    std::function<void()> beforeProcessEvents;
    std::function<void()> beforePresent;

    void ProcessEvents() override {
        if (beforeProcessEvents)
            beforeProcessEvents();
        TForm1::ProcessEvents();
    }
    void PresentScene() override {
        if (beforePresent)
            beforePresent();
        TForm1::PresentScene();
    }
};

} // namespace velquor::testing
