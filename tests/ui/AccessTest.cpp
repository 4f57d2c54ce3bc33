// Keyboard and screen-reader access: every action is reachable without a mouse, and every
// control that shows no text of its own has a German name.
#include "WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using velquor::testing::WindowFixture;

namespace {

class KeyboardAccess : public WindowFixture {
protected:
    // The focus chain of the window from the focused control on, as Tab walks it.
    QStringList TabWalk(int steps) {
        QStringList names;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names << QApplication::focusWidget()->objectName();
        }
        return names;
    }
};

TEST_F(KeyboardAccess, TheTitleScreensButtonHasTheFocusAtStart) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Button3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(Control("Panel8")->isVisible());
}

TEST_F(KeyboardAccess, TabFollowsTheLayoutsKeyboardOrder) {
    EnterSimulation();
    Control("Button4")->setFocus();
    const QStringList walk = TabWalk(40);
    // Start buttons, then info buttons, then the visible panels in their order.
    const QStringList expectedStart = {"Button5",  "Button6",  "Button7",  "Button8",
                                       "Button10", "Button11", "Button12", "Button13",
                                       "Button14", "Edit4"};
    EXPECT_EQ(walk.mid(0, expectedStart.size()), expectedStart);
    auto before = [&](const char* a, const char* b) {
        return walk.indexOf(QString::fromLatin1(a)) < walk.indexOf(QString::fromLatin1(b));
    };
    EXPECT_TRUE(before("Edit13", "ScrollBar3")); // Panel6 before Panel7
    EXPECT_TRUE(before("Edit15", "Button1"));    // Panel7 before Panel9
    EXPECT_TRUE(before("CheckBox5", "ScrollBar4")); // Panel9 before Panel10
    for (const char* name : {"Button1", "Button9", "Button2", "Button20", "ScrollBar3",
                             "ScrollBar4", "CheckBox1", "CheckBox5"})
        EXPECT_TRUE(walk.contains(QString::fromLatin1(name))) << name << " is not reachable";
}

TEST_F(KeyboardAccess, SpacePressesTheFocusedButton) {
    EnterSimulation();
    auto* earth = Control<QPushButton>("Button4");
    earth->setFocus();
    QTest::keyClick(earth, Qt::Key_Space);
    EXPECT_EQ(Text("Edit4"), QStringLiteral("0,49"));
    // The focus comes back to the start button, ready for the next jump.
    EXPECT_EQ(QApplication::focusWidget(), earth);
}

struct SliderKey {
    const char* slider;
    Qt::Key key;
    int from;
    int to;
    const char* field; // shows the new value, or nullptr
    const char* text;
};

class SliderKeys : public WindowFixture, public ::testing::WithParamInterface<SliderKey> {};

TEST_P(SliderKeys, ArrowKeysMoveByOneAndRunTheHandler) {
    const SliderKey& c = GetParam();
    EnterSimulation();
    Click("Button12"); // the spring's panel with its slider
    Click("Button14"); // the rope's panel
    auto* slider = Control<QScrollBar>(c.slider);
    slider->setFocus();
    ASSERT_EQ(slider->value(), c.from);
    QTest::keyClick(slider, c.key);
    EXPECT_EQ(slider->value(), c.to);
    if (c.field != nullptr) {
        EXPECT_EQ(Text(c.field), QString::fromUtf8(c.text));
    } else {
        EXPECT_EQ(form->simulation().TimeStep, c.to / 100000.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sliders, SliderKeys,
    ::testing::Values(SliderKey{"ScrollBar1", Qt::Key_Down, 327, 328, "Edit1", "328"},
                      SliderKey{"ScrollBar2", Qt::Key_Down, 8, 9, "Edit3", "59"},
                      SliderKey{"ScrollBar3", Qt::Key_Left, 24, 23, "Edit15", "2,3"},
                      SliderKey{"ScrollBar4", Qt::Key_Right, 125, 126, nullptr, nullptr}),
    [](const ::testing::TestParamInfo<SliderKey>& info) {
        return std::string(info.param.slider);
    });

class ScreenReader : public WindowFixture {
protected:
    QString Name(const char* control) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Control(control));
        return face != nullptr ? face->text(QAccessible::Name) : QString();
    }
    QString Value(const char* control) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Control(control));
        if (face == nullptr)
            return {};
        // Line edits report their text as their value.
        return face->text(QAccessible::Value);
    }
};

TEST_F(ScreenReader, ControlsWithoutTextOfTheirOwnHaveGermanNames) {
    const struct {
        const char* control;
        const char* name;
    } names[] = {
        {"Edit4", "Flugzeit Erde"},
        {"Edit5", "Sprunghöhe Erde"},
        {"Edit7", "Sprunghöhe Mond"},
        {"Edit8", "Flugzeit Schraubenfeder"},
        {"Edit11", "Sprunghöhe Gegengewicht"},
        {"Edit12", "Flugzeit Seil"},
        {"CheckBox1", "Erde beim gemeinsamen Start"},
        {"CheckBox5", "Seil beim gemeinsamen Start"},
        {"ScrollBar1", "Federkonstante in N/m"},
        {"ScrollBar4", "Simulationsgeschwindigkeit"},
        {"Button10", "Info Erde"},
        {"Button14", "Info Seil"},
        {"Button17", "Info Schraubenfeder schließen"},
        {"Button25", "Info Gegengewicht schließen"},
        {"PaintBox2", "Sprungszene"},
    };
    for (const auto& entry : names) {
        SCOPED_TRACE(entry.control);
        EXPECT_EQ(Name(entry.control), QString::fromUtf8(entry.name));
    }
    QAccessibleInterface* scene = QAccessible::queryAccessibleInterface(Control("PaintBox2"));
    ASSERT_NE(scene, nullptr);
    EXPECT_FALSE(scene->text(QAccessible::Description).isEmpty());
}

TEST_F(ScreenReader, EveryFocusableControlHasANameOrAText) {
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(face, nullptr) << widget->objectName().toStdString();
        EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty())
            << widget->objectName().toStdString() << " has no accessible name";
    }
}

TEST_F(ScreenReader, ResultFieldsAnnounceTheirValue) {
    EnterSimulation();
    Click("Button4");
    EXPECT_EQ(Value("Edit4"), QStringLiteral("0,49"));
    EXPECT_EQ(Value("Edit5"), QStringLiteral("0,29"));
}

} // namespace
