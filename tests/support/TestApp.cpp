#include "TestApp.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace velquor::testing {

void PrepareScreen(const ScreenSetup& setup) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("offscreen"))
        return;
    const QString path = QDir::temp().filePath(
        QStringLiteral("velquor-screen-%1x%2@%3.json")
            .arg(setup.width)
            .arg(setup.height)
            .arg(setup.devicePixelRatio));
    // Many test processes start at once and read this file: replace it atomically, so that
    // none of them ever reads it half written.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral(R"({"screens": [{"name": "main", "x": 0, "y": 0, )"
                                  R"("width": %1, "height": %2, "logicalDpi": 96, )"
                                  R"("logicalBaseDpi": 96, "dpr": %3}]})")
                       .arg(setup.width)
                       .arg(setup.height)
                       .arg(setup.devicePixelRatio)
                       .toUtf8());
        file.commit();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toUtf8());
}

int RunAllTests(int argc, char** argv, const ScreenSetup& setup) {
    ::testing::InitGoogleTest(&argc, argv);
    PrepareScreen(setup);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return RUN_ALL_TESTS();
}

} // namespace velquor::testing
