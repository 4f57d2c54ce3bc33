#pragma once
// A QApplication for widget tests: the offscreen platform with a screen large enough for
// the window, and German number formats unless a test says otherwise.

#include <QString>

namespace velquor::testing {

struct ScreenSetup {
    int width = 1280;
    int height = 1024;
    double devicePixelRatio = 1.0;
};

// Call before constructing the QApplication. Uses the offscreen platform unless
// QT_QPA_PLATFORM names another one (such as xcb under xvfb-run).
void PrepareScreen(const ScreenSetup& setup = {});

// Runs every GoogleTest test inside a QApplication.
int RunAllTests(int argc, char** argv, const ScreenSetup& setup = {});

} // namespace velquor::testing
