#include "ui/Layout.h"
#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    velquor::ui::InstallFontSubstitutes();
    velquor::ui::TForm1 form;
    form.showMaximized();
    return app.exec();
}
