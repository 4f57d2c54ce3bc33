#include "WindowFixture.h"
#include "ui/Widgets.h"
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QLineEdit>
#include <iostream>
using velquor::testing::WindowFixture;
namespace {
class Exp : public WindowFixture {};
TEST_F(Exp, Probe) {
    std::cerr << "active " << (QApplication::activeWindow() == form.get()) << "\n";
    EnterSimulation();
    Click("Button14");
    auto* sb = Control<QScrollBar>("ScrollBar2");
    std::cerr << "sb focus policy " << sb->focusPolicy() << "\n";
    auto* e15 = Control<QLineEdit>("Edit15");
    QTest::mouseClick(e15, Qt::LeftButton);
    std::cerr << "e15 focus " << e15->hasFocus() << "\n";
    QTest::keyClick(e15, Qt::Key_Tab);
    std::cerr << "after tab focus " << e15->hasFocus() << " focus=" << (QApplication::focusWidget()? QApplication::focusWidget()->objectName().toStdString():"none") << "\n";
    QWidget* p5 = Control("Panel5");
    QTest::qWait(50);
    QRect r(p5->mapTo(form.get(), QPoint(0,0)), p5->size());
    QImage s = form->screen()->grabWindow(form->winId(), r.x(), r.y(), r.width(), r.height()).toImage();
    s.save("/tmp/exp/screen.png");
    p5->grab().toImage().save("/tmp/exp/grab.png");
    sb->setValue(60);
    QTest::qWait(50);
    form->screen()->grabWindow(form->winId(), r.x(), r.y(), r.width(), r.height()).toImage().save("/tmp/exp/screen60.png");
    std::cerr << "pix65,34 " << std::hex << s.pixel(65,34) << " 64,34 " << s.pixel(64,34) << " 65,33 " << s.pixel(65,33) << std::dec << " size " << s.width() << "x" << s.height() << "\n";
}
}
