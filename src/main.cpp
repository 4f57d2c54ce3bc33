#include "ui/MainWindow.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    velquor::ui::TForm1 form;
    // Without a window manager nobody acts on the maximised state: take the screen's
    // available area ourselves, which a window manager then confirms.
    if (QScreen* screen = form.screen())
        form.setGeometry(screen->availableGeometry());
    form.setWindowState(Qt::WindowMaximized);
    form.show();
    return app.exec();
}
