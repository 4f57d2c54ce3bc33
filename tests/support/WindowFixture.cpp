#include "WindowFixture.h"

#include "scene/Scene.h"

#include <QLineEdit>

namespace velquor::testing {

void WindowFixture::SetUp() { Show(std::make_unique<ui::TForm1>()); }

void WindowFixture::Show(std::unique_ptr<ui::TForm1> window) {
    form = std::move(window);
    form->setGeometry(0, 0, 1060, 760);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void WindowFixture::TearDown() { form.reset(); }

void WindowFixture::Click(const char* name) {
    QWidget* widget = Control(name);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << name << " is not visible";
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void WindowFixture::ClickAt(QPoint windowPoint) {
    QWidget* target = form->childAt(windowPoint);
    if (target == nullptr)
        target = form.get();
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(form.get(), windowPoint));
}

QString WindowFixture::Text(const char* name) const {
    auto* edit = Control<QLineEdit>(name);
    return edit != nullptr ? edit->text() : QString();
}

QImage WindowFixture::RestScene() const {
    scene::Scene rest(form->scene().presented().devicePixelRatio());
    rest.DrawRestScene();
    return rest.bitmap();
}

QImage WindowFixture::Grab() const {
    return form->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace velquor::testing
