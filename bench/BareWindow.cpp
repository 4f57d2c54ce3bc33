// The floor of the start-up benchmark: a Qt program that opens one empty maximised
// window, shown the same way src/main.cpp shows Velquor's, and reports its first frame
// and peak memory like velquor_startup_probe does.

#include "FirstFrame.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    velquor::bench::FirstFrameProbe probe(velquor::bench::ProcessStartNs());
    probe.mark("main");
    QApplication app(argc, argv);
    probe.mark("app");
    QWidget window;
    probe.mark("form");
    probe.watch(&window);
    if (QScreen* screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    window.setWindowState(Qt::WindowMaximized);
    window.show();
    probe.mark("shown");
    return app.exec();
}
