// Velquor's start-up up to the first frame of the title screen, for the start-up
// benchmark. It starts exactly as src/main.cpp does; the only additions are the probe's
// event filter and milestones, which the program itself does not have.
//
//   velquor_startup_probe              time to first frame and peak memory
//   velquor_startup_probe title        also: how long the title picture takes to draw

#include "FirstFrame.h"

#include "ui/MainWindow.h"
#include "ui/TitlePicture.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QScreen>

#include <chrono>
#include <cstring>

int main(int argc, char* argv[]) {
    velquor::bench::FirstFrameProbe probe(velquor::bench::ProcessStartNs());
    probe.mark("main");
    const bool title = argc > 1 && std::strcmp(argv[1], "title") == 0;

    QApplication app(argc, argv);
    probe.mark("app");
    if (title) {
        // Where the title picture's time goes, each part first in the process: finding
        // and loading the first font, laying out (and fitting) the texts, drawing it.
        auto timed = [](const char* what, auto&& work) {
            const auto t0 = std::chrono::steady_clock::now();
            work();
            const double ms = std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - t0)
                                  .count();
            std::printf("TITLE_MS %s %.3f\n", what, ms);
        };
        timed("first-font", [] {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(16);
            volatile qreal h = QFontMetricsF(font).boundingRect(QStringLiteral("Mond")).height();
            (void)h;
        });
        timed("layout-cold", [] { (void)velquor::ui::LayoutTitlePicture(); });
        timed("layout-warm", [] { (void)velquor::ui::LayoutTitlePicture(); });
        timed("draw-cold", [&] { (void)velquor::ui::DrawTitlePicture(app.devicePixelRatio()); });
        timed("draw-warm", [&] { (void)velquor::ui::DrawTitlePicture(app.devicePixelRatio()); });
    }
    velquor::ui::TForm1 form;
    probe.mark("form");
    probe.watch(&form);
    if (QScreen* screen = form.screen())
        form.setGeometry(screen->availableGeometry());
    form.setWindowState(Qt::WindowMaximized);
    form.show();
    probe.mark("shown");
    return app.exec();
}
