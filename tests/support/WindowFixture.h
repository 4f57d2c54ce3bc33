#pragma once
// A fresh main window for each test, shown and started up as a user meets it.

#include "ui/MainWindow.h"

#include <QImage>
#include <QPoint>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace velquor::testing {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes `window` the fixture's form, shown at the tests' size and exposed. SetUp shows
    // a plain TForm1; a fixture that needs a subclass shows its own instead.
    void Show(std::unique_ptr<ui::TForm1> window);

    // A control by its name in the layout; fails the test if there is none.
    template <typename W = QWidget> W* Control(const char* name) const {
        W* widget = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no control named " << name;
        return widget;
    }

    // A click on the named control, as the user makes it (the control must be visible).
    void Click(const char* name);
    // A click at a point of the window's client area: it reaches whatever lies on top there.
    void ClickAt(QPoint windowPoint);
    // Leaves the title screen.
    void EnterSimulation() { Click("Button3"); }

    QString Text(const char* name) const;
    // The window as it is on screen now.
    QImage Grab() const;
    // The rest scene, five black crouching figures on white, as a scene of its own draws
    // it at the window's pixel ratio: what the window's scene holds when idle.
    QImage RestScene() const;

    std::unique_ptr<ui::TForm1> form;
};

} // namespace velquor::testing
