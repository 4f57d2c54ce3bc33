// Window-level checks of the layout: where every control lies in window coordinates,
// what the user sees and can reach with the title screen up and after leaving it, the
// stacking of overlapping controls, texts and whether they fit, and the start state of
// the controls.

#include "PixelChecks.h"
#include "WindowFixture.h"

#include "ui/TitlePicture.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextLayout>

#include <map>
#include <string>
#include <vector>

using velquor::testing::Describe;
using velquor::testing::Hex;
using velquor::testing::SamePixels;
using velquor::testing::WindowFixture;
namespace ui = velquor::ui;

namespace {

constexpr QRgb WindowGrey = 0xFF787878;
constexpr QRgb StripGrey = 0xFF555555;
constexpr QRgb PureWhite = 0xFFFFFFFF;
constexpr QRgb PureBlack = 0xFF000000;

// The area the title screen covers, and the scene panel, in window coordinates.
const QRect TitleArea(16, 8, 993, 713);
const QRect ScenePanelArea(16, 8, 993, 625);

QImage AsRgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// What a control looks like when rendered by itself.
QImage Alone(QWidget* widget) {
    return AsRgb32(widget->grab().toImage());
}

// What a control looks like when rendered by itself over what lies beneath it; buttons
// leave their rounded corners to what is below.
QImage AloneOver(QWidget* widget, const QImage& beneath) {
    QImage image = beneath.convertToFormat(QImage::Format_RGB32);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage AloneOver(QWidget* widget, QRgb beneath) {
    QImage ground(widget->size(), QImage::Format_RGB32);
    ground.fill(beneath);
    return AloneOver(widget, ground);
}

// Every pixel of the area, except those in `except`, has the colour.
::testing::AssertionResult AllPixels(const QImage& image, const QRect& area, QRgb colour,
                                     const QRegion& except = {}) {
    int stray = 0;
    QPoint first;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (except.contains(QPoint(x, y)) || image.pixel(x, y) == colour)
                continue;
            if (stray++ == 0)
                first = QPoint(x, y);
        }
    if (stray == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << stray << " pixels of " << Describe(area) << " are not "
                                         << Hex(colour) << ", the first at (" << first.x() << ", "
                                         << first.y() << ") is " << Hex(image.pixel(first));
}

int CountPixels(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

// Pixels of white text, antialiased against a darker ground.
int CountWhitish(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) >= 0xC0 && qGreen(p) >= 0xC0 && qBlue(p) >= 0xC0 ? 1 : 0;
        }
    return count;
}

bool IsDrawnControl(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) != nullptr ||
           dynamic_cast<const ui::Shape*>(widget) != nullptr ||
           dynamic_cast<const ui::PictureBox*>(widget) != nullptr ||
           dynamic_cast<const ui::ScenePaintBox*>(widget) != nullptr ||
           dynamic_cast<const ui::RopePaintBox*>(widget) != nullptr;
}

// The controls of the layout directly inside a parent, bottom of the stacking order first
// (Qt keeps a widget's children in stacking order). Qt's own helper widgets are left out.
std::vector<QWidget*> LayoutChildren(const QWidget* parent) {
    std::vector<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget != nullptr && !widget->objectName().isEmpty() &&
            !widget->objectName().startsWith(QLatin1String("qt_")))
            children.push_back(widget);
    }
    return children;
}

class Layout : public WindowFixture {
  protected:
    QRect WindowRect(const QWidget* widget) const {
        return QRect(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
    }
    QRect WindowRect(const char* name) const { return WindowRect(Control(name)); }

    // Whether what the mouse reaches at a window point belongs to the given control.
    bool Reaches(QPoint windowPoint, const QWidget* control) const {
        const QWidget* hit = form->childAt(windowPoint);
        return hit != nullptr && (hit == control || control->isAncestorOf(hit));
    }

    static void Settle() {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
};

// ---- Places ---------------------------------------------------------------------------

struct Placement {
    const char* name;
    const char* parent;
    int left, top;     // window coordinates
    int width, height; // -1: the control sizes itself to its text or picture
};

// Every control of the layout, in window coordinates; panel contents are given at the
// panel's place plus their place in it.
const Placement Placements[] = {
    // Children of the window.
    {"Panel6", "Form1", 16, 8, 993, 625},
    {"Button4", "Form1", 40, 524, 114, 25},
    {"Button5", "Form1", 240, 524, 114, 25},
    {"Button6", "Form1", 440, 524, 114, 25},
    {"Button7", "Form1", 640, 524, 114, 25},
    {"Button8", "Form1", 840, 524, 114, 25},
    {"Button10", "Form1", 159, 524, 25, 25},
    {"Button11", "Form1", 359, 524, 25, 25},
    {"Button12", "Form1", 559, 524, 25, 25},
    {"Button13", "Form1", 759, 524, 25, 25},
    {"Button14", "Form1", 959, 524, 25, 25},
    {"Panel1", "Form1", 32, 16, 161, 105},
    {"Panel2", "Form1", 224, 8, 161, 113},
    {"Panel3", "Form1", 416, 16, 169, 321},
    {"Panel4", "Form1", 616, 16, 161, 161},
    {"Panel5", "Form1", 824, 16, 169, 473},
    {"Panel7", "Form1", 16, 640, 321, 81},
    {"Panel9", "Form1", 344, 640, 225, 81},
    {"Panel10", "Form1", 576, 640, 433, 81},
    {"Panel11", "Form1", 288, 128, 433, 113},
    {"Panel8", "Form1", 16, 8, 993, 713},
    // The scene panel (16, 8).
    {"Image2", "Panel6", 16, 8, 993, 500},
    {"PaintBox2", "Panel6", 16, 8, 993, 500},
    {"Label31", "Panel6", 88, 562, -1, -1},
    {"Label32", "Panel6", 32, 594, -1, -1},
    {"Shape1", "Panel6", 216, 507, 1, 126},
    {"Shape2", "Panel6", 416, 507, 1, 126},
    {"Shape3", "Panel6", 616, 507, 1, 126},
    {"Shape4", "Panel6", 816, 507, 1, 126},
    {"Edit4", "Panel6", 120, 560, 33, 19},
    {"Edit5", "Panel6", 120, 592, 33, 19},
    {"Edit6", "Panel6", 288, 560, 33, 19},
    {"Edit7", "Panel6", 288, 592, 33, 19},
    {"Edit8", "Panel6", 488, 560, 33, 19},
    {"Edit9", "Panel6", 488, 592, 33, 19},
    {"Edit10", "Panel6", 688, 560, 33, 19},
    {"Edit11", "Panel6", 688, 592, 33, 19},
    {"Edit12", "Panel6", 888, 560, 33, 19},
    {"Edit13", "Panel6", 888, 592, 33, 19},
    {"Label34", "Panel6", 156, 562, -1, -1},
    {"Label33", "Panel6", 156, 594, -1, -1},
    {"Label38", "Panel6", 324, 562, -1, -1},
    {"Label39", "Panel6", 324, 594, -1, -1},
    {"Label37", "Panel6", 524, 562, -1, -1},
    {"Label40", "Panel6", 524, 593, -1, -1},
    {"Label36", "Panel6", 724, 562, -1, -1},
    {"Label41", "Panel6", 724, 593, -1, -1},
    {"Label35", "Panel6", 924, 562, -1, -1},
    {"Label42", "Panel6", 924, 593, -1, -1},
    {"Button22", "Panel6", 159, 528, 25, 21},
    {"Button23", "Panel6", 360, 524, 25, 25},
    {"Button24", "Panel6", 560, 524, 25, 25},
    {"Button25", "Panel6", 760, 524, 25, 25},
    {"Button26", "Panel6", 960, 524, 25, 25},
    // Earth info (32, 16).
    {"Button15", "Panel1", 168, 16, 25, 25},
    {"Label11", "Panel1", 40, 64, -1, -1},
    {"Label12", "Panel1", 40, 80, -1, -1},
    // Moon info (224, 8).
    {"Button16", "Panel2", 360, 8, 25, 25},
    {"Label15", "Panel2", 232, 56, -1, -1},
    {"Label16", "Panel2", 232, 72, -1, -1},
    // Spring info (416, 16).
    {"Button17", "Panel3", 560, 16, 25, 25},
    {"ScrollBar1", "Panel3", 440, 104, 9, 201},
    {"Edit1", "Panel3", 496, 152, 57, 21},
    {"Edit2", "Panel3", 496, 240, 57, 21},
    {"Label1", "Panel3", 432, 40, -1, -1},
    {"Label2", "Panel3", 432, 64, -1, -1},
    {"Label8", "Panel3", 432, 80, -1, -1},
    {"Label5", "Panel3", 480, 112, -1, -1},
    {"Label6", "Panel3", 504, 128, -1, -1},
    {"Label3", "Panel3", 488, 200, -1, -1},
    {"Label4", "Panel3", 488, 216, -1, -1},
    {"Label7", "Panel3", 432, 312, -1, -1},
    // Counterweight info (616, 16).
    {"Button18", "Panel4", 752, 16, 25, 25},
    {"Label21", "Panel4", 624, 56, -1, -1},
    {"Label22", "Panel4", 624, 80, -1, -1},
    {"Label23", "Panel4", 624, 96, -1, -1},
    {"Label24", "Panel4", 624, 128, -1, -1},
    {"Label25", "Panel4", 624, 144, -1, -1},
    // Rope info (824, 16); the body's width and the head's place follow the rope length.
    {"Button19", "Panel5", 968, 16, 25, 25},
    {"ScrollBar2", "Panel5", 848, 40, 9, 393},
    {"Edit3", "Panel5", 912, 448, 41, 28},
    {"Shape9", "Panel5", 880, 32, 9, 400},
    {"PaintBox1", "Panel5", 824, 16, 169, 473},
    {"Label29", "Panel5", 840, 448, -1, -1},
    {"Label30", "Panel5", 840, 464, -1, -1},
    // Take-off speed (16, 640).
    {"ScrollBar3", "Panel7", 48, 680, 201, 12},
    {"Edit15", "Panel7", 256, 675, 33, 22},
    {"Label43", "Panel7", 48, 649, 224, -1},
    // Joint start (344, 640).
    {"Button1", "Panel9", 376, 680, 160, 25},
    {"CheckBox1", "Panel9", 376, 656, 17, 17},
    {"CheckBox2", "Panel9", 412, 656, 17, 17},
    {"CheckBox3", "Panel9", 449, 656, 17, 17},
    {"CheckBox4", "Panel9", 485, 656, 17, 17},
    {"CheckBox5", "Panel9", 521, 656, 17, 17},
    // Simulation speed and program buttons (576, 640).
    {"ScrollBar4", "Panel10", 600, 672, 193, 12},
    {"Button9", "Panel10", 888, 648, 89, 25},
    {"Button2", "Panel10", 888, 680, 89, 25},
    {"Button20", "Panel10", 800, 664, 57, 25},
    {"Edit14", "Panel10", 600, 692, 193, 19},
    {"Label45", "Panel10", 601, 649, 192, -1},
    // Adjustment hint (288, 128).
    {"Memo1", "Panel11", 304, 136, 377, 97},
    {"Button21", "Panel11", 688, 136, 27, 25},
    // Title screen (16, 8).
    {"Image1", "Panel8", 29, 16, 966, 647},
    {"Button3", "Panel8", 456, 678, 139, 29},
    {"Label44", "Panel8", 848, 696, -1, -1},
};

const Placement* PlacementOf(const char* name) {
    for (const Placement& p : Placements)
        if (std::string(p.name) == name)
            return &p;
    return nullptr;
}

TEST_F(Layout, EveryControlLiesWhereTheLayoutPutsIt) {
    for (const Placement& p : Placements) {
        SCOPED_TRACE(p.name);
        QWidget* control = Control(p.name);
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), p.parent);
        const QRect placed = WindowRect(control);
        EXPECT_EQ(placed.topLeft(), QPoint(p.left, p.top));
        if (p.width >= 0) {
            EXPECT_EQ(placed.width(), p.width);
        }
        if (p.height >= 0) {
            EXPECT_EQ(placed.height(), p.height);
        }
    }
}

struct WindowSize {
    const char* name;
    int width, height;
};

class Resizing : public Layout, public ::testing::WithParamInterface<WindowSize> {};

// The controls have fixed places: a larger window only shows more window colour, a
// smaller one cuts them off.
TEST_P(Resizing, MovesNoControl) {
    EnterSimulation();
    std::map<QString, QRect> before;
    for (QWidget* control : form->findChildren<QWidget*>())
        if (!control->objectName().isEmpty() && !control->objectName().startsWith("qt_"))
            before[control->objectName()] = WindowRect(control);
    ASSERT_GT(before.size(), 100u);

    form->resize(GetParam().width, GetParam().height);
    Settle();
    ASSERT_EQ(form->size(), QSize(GetParam().width, GetParam().height));

    for (const auto& [name, rect] : before) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(WindowRect(Control(name.toLatin1().constData())), rect);
    }
    const QImage window = Grab();
    const QRect beyond = window.rect() & QRect(1009, 0, 10000, 10000);
    if (!beyond.isEmpty()) {
        EXPECT_TRUE(AllPixels(window, beyond, WindowGrey)) << "right of the controls";
    }
    const QRect below = window.rect() & QRect(0, 721, 10000, 10000);
    if (!below.isEmpty()) {
        EXPECT_TRUE(AllPixels(window, below, WindowGrey)) << "below the controls";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Resizing,
                         ::testing::Values(WindowSize{"Larger", 1270, 1000},
                                           WindowSize{"Smaller", 700, 500},
                                           WindowSize{"Designed", 1063, 942}),
                         [](const ::testing::TestParamInfo<WindowSize>& info) {
                             return std::string(info.param.name);
                         });

// ---- The title screen ------------------------------------------------------------------

TEST_F(Layout, AtStartTheTitleScreenIsAllThatShowsInItsArea) {
    const QImage window = Grab();
    // Nothing of the controls beneath shows through or lies on top.
    EXPECT_TRUE(SamePixels(window.copy(TitleArea), Alone(form->Panel8)));

    // And the title screen is its picture, unscaled at its place, the button, the credit
    // and the panel colour.
    const QRect picture(29, 16, 966, 647);
    EXPECT_TRUE(SamePixels(window.copy(picture), AsRgb32(ui::DrawTitlePicture(1.0))));
    const QRect button(456, 678, 139, 29);
    EXPECT_TRUE(SamePixels(window.copy(button), AloneOver(form->Button3, StripGrey)));
    const QRect credit = WindowRect(form->Label44);
    EXPECT_EQ(credit.topLeft(), QPoint(848, 696));
    EXPECT_GT(CountWhitish(window, credit), 40) << "the credit is white text";
    const QRect inside = TitleArea.adjusted(1, 1, -1, -1); // within the panel's bevel
    EXPECT_TRUE(AllPixels(window, inside, StripGrey, QRegion(picture) + button + credit));
}

TEST_F(Layout, AroundTheTitleScreenShowsTheWindowColour) {
    const QImage window = Grab();
    const QRegion around = QRegion(window.rect()) - TitleArea;
    for (const QRect& part : around)
        EXPECT_TRUE(AllPixels(window, part, WindowGrey));
}

struct CoveredControl {
    const char* name;
    // Whether a click on the control has done what it does.
    bool (*clicked)(const ui::TForm1&);
};

class BehindTheTitle : public Layout, public ::testing::WithParamInterface<CoveredControl> {};

TEST_P(BehindTheTitle, CannotBeReachedWithTheMouse) {
    const CoveredControl& c = GetParam();
    const QPoint centre = WindowRect(c.name).center();
    EXPECT_TRUE(Reaches(centre, form->Panel8));
    ClickAt(centre);
    Settle();
    EXPECT_FALSE(c.clicked(*form)) << "a click on the title screen reached " << c.name;

    // The same click reaches the control once the title screen is gone.
    EnterSimulation();
    EXPECT_TRUE(Reaches(centre, Control(c.name)));
    ClickAt(centre);
    Settle();
    EXPECT_TRUE(c.clicked(*form)) << "the click misses " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, BehindTheTitle,
    ::testing::Values(
        CoveredControl{"Button4", [](const ui::TForm1& f) { return !f.Edit4->text().isEmpty(); }},
        CoveredControl{"Button10", [](const ui::TForm1& f) { return f.Panel1->isVisible(); }},
        CoveredControl{"Button14", [](const ui::TForm1& f) { return f.Panel5->isVisible(); }},
        CoveredControl{"Button1", [](const ui::TForm1& f) { return !f.Edit4->text().isEmpty(); }},
        CoveredControl{"CheckBox3", [](const ui::TForm1& f) { return f.CheckBox3->isChecked(); }},
        CoveredControl{"Button20", [](const ui::TForm1& f) { return f.Panel11->isVisible(); }},
        CoveredControl{"Button2", [](const ui::TForm1& f) { return !f.isVisible(); }}),
    [](const ::testing::TestParamInfo<CoveredControl>& info) {
        return std::string(info.param.name);
    });

// ---- The scene panel and the result strip --------------------------------------------

TEST_F(Layout, ResultStripShowsItsColourColumnLinesAndControls) {
    EnterSimulation();
    Settle();
    const QImage window = Grab();

    // White column lines from the scene's last row to the bottom of the panel.
    for (int x : {216, 416, 616, 816}) {
        SCOPED_TRACE("column line at x = " + std::to_string(x));
        EXPECT_TRUE(AllPixels(window, QRect(x, 507, 1, 126), PureWhite));
    }

    // Start and info buttons, result fields and unit labels, each showing at its place.
    QRegion controls;
    const char* const shown[] = {"Button4",  "Button5",  "Button6",  "Button7",  "Button8",
                                 "Button10", "Button11", "Button12", "Button13", "Button14",
                                 "Edit4",    "Edit5",    "Edit6",    "Edit7",    "Edit8",
                                 "Edit9",    "Edit10",   "Edit11",   "Edit12",   "Edit13"};
    for (const char* name : shown) {
        SCOPED_TRACE(name);
        const Placement* p = PlacementOf(name);
        ASSERT_NE(p, nullptr);
        const QRect place(p->left, p->top, p->width, p->height);
        EXPECT_TRUE(SamePixels(window.copy(place), AloneOver(Control(name), StripGrey)));
        controls += place;
    }
    const char* const labels[] = {"Label31", "Label32", "Label33", "Label34", "Label35", "Label36",
                                  "Label37", "Label38", "Label39", "Label40", "Label41", "Label42"};
    for (const char* name : labels) {
        SCOPED_TRACE(name);
        const Placement* p = PlacementOf(name);
        ASSERT_NE(p, nullptr);
        const QRect place(QPoint(p->left, p->top), Control(name)->size());
        EXPECT_GT(CountWhitish(window, place), 5) << "white text expected";
        controls += place;
    }

    // Everything else of the strip, inside the panel's bevel, is the strip colour.
    const QRect strip(17, 508, 991, 124);
    const QRegion lines = QRegion(216, 507, 1, 126) + QRect(416, 507, 1, 126) +
                          QRect(616, 507, 1, 126) + QRect(816, 507, 1, 126);
    EXPECT_TRUE(AllPixels(window, strip, StripGrey, controls + lines));
}

// A box with a one-pixel black border and a white ring inside it, which the text never
// reaches; `widget` must be showing.
::testing::AssertionResult ShowsBlackBorderedWhiteBox(const QImage& window, QWidget* widget) {
    const QRect box(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    const QRegion border = QRegion(box) - box.adjusted(1, 1, -1, -1);
    const QRegion ring = QRegion(box.adjusted(1, 1, -1, -1)) - box.adjusted(2, 2, -2, -2);
    if (auto black = AllPixels(window, box, PureBlack, QRegion(box) - border); !black)
        return black << " (border)";
    if (auto white = AllPixels(window, box, PureWhite, QRegion(box) - ring); !white)
        return white << " (inside the border)";
    return ::testing::AssertionSuccess();
}

TEST_F(Layout, FlatFieldsAndTheHintAreWhiteBoxesWithABlackBorder) {
    EnterSimulation();
    Click("Button20"); // the hint
    Settle();
    form->Edit14->show();
    Settle();
    const QImage window = Grab();
    for (const char* name : {"Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9", "Edit10",
                             "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Memo1"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ShowsBlackBorderedWhiteBox(window, Control(name)));
    }
}

TEST_F(Layout, ControlStripShowsItsControlsAfterLeavingTheTitle) {
    EnterSimulation();
    Settle();
    const QImage window = Grab();
    for (const char* name : {"Panel7", "Panel9", "Panel10"}) {
        SCOPED_TRACE(name);
        const Placement* p = PlacementOf(name);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(SamePixels(window.copy(QRect(p->left, p->top, p->width, p->height)),
                               Alone(Control(name))));
    }
}

// ---- Stacking --------------------------------------------------------------------------

TEST_F(Layout, WindowedControlsLieAboveDrawnOnesOfTheSameParent) {
    std::vector<QWidget*> parents = {form.get()};
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5", "Panel6", "Panel7",
                             "Panel8", "Panel9", "Panel10", "Panel11"})
        parents.push_back(Control(name));
    for (QWidget* parent : parents) {
        const std::vector<QWidget*> children = LayoutChildren(parent);
        for (std::size_t lower = 0; lower < children.size(); ++lower)
            for (std::size_t upper = lower + 1; upper < children.size(); ++upper)
                EXPECT_FALSE(IsDrawnControl(children[upper]) && !IsDrawnControl(children[lower]))
                    << children[upper]->objectName().toStdString() << " lies above "
                    << children[lower]->objectName().toStdString() << " in "
                    << parent->objectName().toStdString();
    }
}

TEST_F(Layout, OverlappingDrawnControlsAreStackedInLayoutOrder) {
    struct Pair {
        const char* lower;
        const char* upper;
    };
    // The scene over its white background; the rope over the wall and the body, and the
    // rope panel's labels and the head over the rope.
    const Pair pairs[] = {{"Image2", "PaintBox2"},  {"Shape9", "PaintBox1"},
                          {"Shape10", "PaintBox1"}, {"PaintBox1", "Label29"},
                          {"PaintBox1", "Label30"}, {"PaintBox1", "Shape11"}};
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(std::string(pair.lower) + " beneath " + pair.upper);
        QWidget* lower = Control(pair.lower);
        QWidget* upper = Control(pair.upper);
        ASSERT_EQ(lower->parentWidget(), upper->parentWidget());
        const QObjectList& order = lower->parentWidget()->children();
        EXPECT_LT(order.indexOf(lower), order.indexOf(upper));
    }
}

TEST_F(Layout, TitleScreenCoversOpenInfoPanelsAndTheHint) {
    EnterSimulation();
    for (const char* info : {"Button10", "Button11", "Button12", "Button13", "Button14"})
        Click(info);
    Click("Button20");
    Click("Button9"); // "Info" brings the title screen back over all of them
    Settle();

    EXPECT_TRUE(SamePixels(Grab().copy(TitleArea), Alone(form->Panel8)));
    for (const char* covered :
         {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5", "Panel11", "Button22", "Button26"}) {
        SCOPED_TRACE(covered);
        EXPECT_TRUE(Control(covered)->isVisible()) << "covered, not closed";
        EXPECT_TRUE(Reaches(WindowRect(covered).center(), form->Panel8));
    }
}

TEST_F(Layout, HintLiesAboveSpringAndCounterweightPanels) {
    EnterSimulation();
    Click("Button12");
    Click("Button13");
    Click("Button20");
    Settle();
    const QImage window = Grab();
    const QImage hint = Alone(form->Panel11);
    const QRect hintRect = WindowRect(form->Panel11);
    for (const char* panel : {"Panel3", "Panel4"}) {
        SCOPED_TRACE(panel);
        const QRect overlap = hintRect & WindowRect(panel);
        ASSERT_FALSE(overlap.isEmpty());
        EXPECT_TRUE(
            SamePixels(window.copy(overlap), hint.copy(overlap.translated(-hintRect.topLeft()))));
        EXPECT_TRUE(Reaches(overlap.topLeft(), form->Panel11));
        EXPECT_TRUE(Reaches(overlap.bottomRight(), form->Panel11));
    }
}

struct ColumnButtons {
    const char* column;
    const char* info;
    const char* close;
    bool wholly; // the close button lies wholly beneath the info button
};

class ColumnButtonStack : public Layout, public ::testing::WithParamInterface<ColumnButtons> {};

TEST_P(ColumnButtonStack, OpenColumnShowsCloseButtonWhereTheInfoButtonWas) {
    EnterSimulation();
    Click(GetParam().info);
    Settle();
    QWidget* close = Control(GetParam().close);
    EXPECT_TRUE(close->isVisible());
    EXPECT_FALSE(Control(GetParam().info)->isVisible());
    const QRect infoPlace = WindowRect(GetParam().info);
    EXPECT_TRUE(Reaches(infoPlace.center(), close));
    EXPECT_GT(CountPixels(Grab(), infoPlace, 0xFF000000), 5) << "a black X shows";
}

TEST_P(ColumnButtonStack, InfoButtonCoversCloseButtonWhenBothAreShown) {
    EnterSimulation();
    Click(GetParam().info);
    QWidget* info = Control(GetParam().info);
    QWidget* close = Control(GetParam().close);
    const QRect infoPlace = WindowRect(info);
    // The info button drawn over whatever shows at its place without it.
    const QImage expected = AloneOver(info, Grab().copy(infoPlace));
    info->show();
    Settle();
    ASSERT_TRUE(close->isVisible());

    const QRect closePlace = WindowRect(close);
    for (int x = closePlace.left(); x <= closePlace.right(); ++x)
        for (int y = closePlace.top(); y <= closePlace.bottom(); ++y) {
            const bool underInfo = infoPlace.contains(x, y);
            EXPECT_TRUE(Reaches({x, y}, underInfo ? info : close))
                << "at (" << x << ", " << y << ")";
        }
    const int uncovered = closePlace.right() - infoPlace.right();
    EXPECT_EQ(uncovered, GetParam().wholly ? 0 : 1) << "columns of the X left uncovered";
    EXPECT_TRUE(SamePixels(Grab().copy(infoPlace), expected));
}

INSTANTIATE_TEST_SUITE_P(Columns, ColumnButtonStack,
                         ::testing::Values(ColumnButtons{"Earth", "Button10", "Button22", true},
                                           ColumnButtons{"Moon", "Button11", "Button23", false},
                                           ColumnButtons{"Spring", "Button12", "Button24", false},
                                           ColumnButtons{"Counterweight", "Button13", "Button25",
                                                         false},
                                           ColumnButtons{"Rope", "Button14", "Button26", false}),
                         [](const ::testing::TestParamInfo<ColumnButtons>& info) {
                             return std::string(info.param.column);
                         });

// ---- Texts and fonts -------------------------------------------------------------------

struct Caption {
    const char* name;
    const char* text; // UTF-8
    int pixelSize;
    bool bold;
    bool white;
};

const Caption Captions[] = {
    {"Button4", "ERDE", 13, false, false},
    {"Button5", "MOND", 13, false, false},
    {"Button6", "Schraubenfeder", 13, false, false},
    {"Button7", "Gegengewicht", 13, false, false},
    {"Button8", "Seil   (Pendel)", 13, false, false},
    {"Button10", "i", 19, true, false},
    {"Button11", "i", 19, true, false},
    {"Button12", "i", 19, true, false},
    {"Button13", "i", 19, true, false},
    {"Button14", "i", 19, true, false},
    {"Button15", "X", 11, true, false},
    {"Button16", "X", 11, true, false},
    {"Button17", "X", 11, true, false},
    {"Button18", "X", 11, true, false},
    {"Button19", "X", 11, true, false},
    {"Button22", "X", 16, true, false},
    {"Button23", "X", 16, true, false},
    {"Button24", "X", 16, true, false},
    {"Button25", "X", 16, true, false},
    {"Button26", "X", 16, true, false},
    {"Button1", "gemeinsamer Start", 13, true, false},
    {"Button9", "Info", 13, true, false},
    {"Button2", "ENDE", 13, true, false},
    {"Button20", "Justieren", 11, false, false},
    {"Button21", "X", 19, true, false},
    {"Button3", "Zur Simulation", 13, true, false},
    {"Label31", "Zeit", 13, true, true},
    {"Label32", "Sprunghöhe", 13, true, true},
    {"Label33", "m", 13, true, true},
    {"Label34", "s", 13, true, true},
    {"Label35", "s", 13, true, true},
    {"Label36", "s", 13, true, true},
    {"Label37", "s", 13, true, true},
    {"Label38", "s", 13, true, true},
    {"Label39", "m", 13, true, true},
    {"Label40", "m", 13, true, true},
    {"Label41", "m", 13, true, true},
    {"Label42", "m", 13, true, true},
    {"Label11", "Erdbeschleunigung: ", 13, false, false},
    {"Label12", "g = 9,81 m/s^2", 13, false, false},
    {"Label15", "Mondbeschleunigung:", 13, false, false},
    {"Label16", "1/6 g = 1,635 m/s^2", 13, false, false},
    {"Label1", "Masse = 120 kg", 13, false, false},
    {"Label2", "Schraubenfeder", 13, false, false},
    {"Label8", "weich", 13, false, false},
    {"Label5", "Federkonstante", 13, false, false},
    {"Label6", "in N/m", 13, false, false},
    {"Label3", "Verlängerung", 13, false, false},
    {"Label4", "der Feder in m", 13, false, false},
    {"Label7", "hart", 13, false, false},
    {"Label21", "Masse des Astronauten:  M", 11, false, false},
    {"Label22", "Masse des ", 11, false, false},
    {"Label23", "Gegengewichts: 5/6*M", 11, false, false},
    {"Label24", "Beschleunigung der", 11, false, false},
    {"Label25", "Gesamtmasse:  1/11*g", 11, false, false},
    {"Label29", "Seillänge ", 13, false, false},
    {"Label30", "(in Metern)", 11, false, false},
    {"Label43", "Absprung-Geschwindigkeit (m/s)", 13, true, true},
    {"Label45", "Simulationsgeschwindigkeit", 13, true, true},
};

QString TextOf(const QWidget* control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    return {};
}

TEST_F(Layout, CaptionsAndLabelsHaveTheirTextsAndFonts) {
    for (const Caption& c : Captions) {
        SCOPED_TRACE(c.name);
        QWidget* control = Control(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(TextOf(control), QString::fromUtf8(c.text));
        EXPECT_EQ(control->font().pixelSize(), c.pixelSize);
        EXPECT_EQ(control->font().bold(), c.bold);
        if (c.white) {
            EXPECT_EQ(control->palette().color(control->foregroundRole()), QColor(Qt::white));
        }
    }
}

TEST_F(Layout, InfoButtonsUseTheirOwnTypeface) {
    // "i" is set in a rounded hand-lettered face, unlike every other text of the window.
    const QFontInfo info(form->Button10->font());
    const QFontInfo other(form->Button4->font());
    EXPECT_NE(info.family(), other.family());
}

TEST_F(Layout, EveryButtonCaptionFitsItsButton) {
    EnterSimulation();
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString() + " \"" + button->text().toStdString() +
                     "\"");
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), room.width());
        EXPECT_LE(metrics.tightBoundingRect(button->text()).height(), room.height());
    }
}

TEST_F(Layout, EveryLabelLiesInsideItsPanelClearOfItsFieldsAndButtons) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            continue; // Qt's own, inside other widgets
        SCOPED_TRACE(label->objectName().toStdString());
        QWidget* parent = label->parentWidget();
        EXPECT_TRUE(parent->contentsRect().contains(label->geometry()))
            << "label at " << Describe(label->geometry()) << " in "
            << parent->objectName().toStdString() << " of " << Describe(parent->contentsRect());
        // A label's text must not run beneath a field or button of its panel.
        const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect inked = label->fontMetrics()
                                .boundingRect(label->contentsRect(), flags, label->text())
                                .translated(label->geometry().topLeft());
        for (QWidget* sibling : LayoutChildren(parent)) {
            if (!IsDrawnControl(sibling) && !sibling->isHidden()) {
                EXPECT_FALSE(inked.intersects(sibling->geometry()))
                    << "text " << Describe(inked) << " runs under "
                    << sibling->objectName().toStdString() << " " << Describe(sibling->geometry());
            }
        }
    }
}

TEST_F(Layout, SimulationSpeedLabelKeepsItsWordOnOneLine) {
    QLabel* label = form->Label45;
    const QFontMetrics metrics(label->font());
    EXPECT_EQ(label->width(), 192);
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_LT(label->height(), 2 * metrics.lineSpacing()) << "the label wraps";
}

TEST_F(Layout, HintShowsItsFiveLinesEachOnOneLine) {
    const char* const lines[] = {
        "Um die Bewegungsabläufe in realer Geschwindigkeit ablaufen ",
        "zu lassen, können Sie die Simulationsgeschwindigkeit so ",
        "einstellen, dass bei einem Mondsprung die angezeigte ",
        "Computerzeit für den Sprung mit der berechneten Zeit ungefähr ",
        "übereinstimmt.",
    };
    EnterSimulation();
    Click("Button20");
    Settle();
    (void)Grab(); // lays the memo's text out as it is painted

    QPlainTextEdit* memo = form->Memo1;
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QTextDocument* document = memo->document();
    ASSERT_EQ(document->blockCount(), 5);
    const int room = memo->viewport()->width() - 2 * int(document->documentMargin());
    const QFontMetrics metrics(memo->font());
    qreal textHeight = 2 * document->documentMargin();
    int index = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next(), ++index) {
        SCOPED_TRACE("line " + std::to_string(index + 1));
        EXPECT_EQ(block.text(), QString::fromUtf8(lines[index]));
        EXPECT_LE(metrics.horizontalAdvance(block.text().trimmed()), room);
        ASSERT_NE(block.layout(), nullptr);
        EXPECT_EQ(block.layout()->lineCount(), 1);
        textHeight += document->documentLayout()->blockBoundingRect(block).height();
    }
    EXPECT_LE(textHeight, memo->viewport()->height()) << "the last line is cut off";
}

TEST_F(Layout, WindowCaptionCarriesTheCreditShownOnTheTitleScreen) {
    const QString prefix = QStringLiteral("Velquor") + QString(7, QLatin1Char(' '));
    const QString caption = form->windowTitle();
    ASSERT_TRUE(caption.startsWith(prefix)) << caption.toStdString();
    const QString credit = caption.mid(prefix.size());
    EXPECT_FALSE(credit.isEmpty());
    EXPECT_FALSE(credit.startsWith(QLatin1Char(' '))) << "more than seven blanks";
    EXPECT_EQ(form->Label44->text(), credit);
}

// ---- Start state -------------------------------------------------------------------------

TEST_F(Layout, ControlsShowAsLaidOutAtStart) {
    struct Shown {
        const char* name;
        bool visible;
    };
    const Shown start[] = {
        {"Panel1", false},   {"Panel2", false},   {"Panel3", false},   {"Panel4", false},
        {"Panel5", false},   {"Panel11", false},  {"Panel6", true},    {"Panel7", true},
        {"Panel8", true},    {"Panel9", true},    {"Panel10", true},   {"Edit14", false},
        {"Button22", false}, {"Button23", false}, {"Button24", false}, {"Button25", false},
        {"Button26", false}, {"Button1", true},   {"Button4", true},   {"Button5", true},
        {"Button6", true},   {"Button7", true},   {"Button8", true},   {"Button10", true},
        {"Button11", true},  {"Button12", true},  {"Button13", true},  {"Button14", true},
        {"CheckBox1", true}, {"CheckBox2", true}, {"CheckBox3", true}, {"CheckBox4", true},
        {"CheckBox5", true}, {"Edit4", true},     {"Edit13", true},    {"Button2", true},
        {"Button9", true},   {"Button20", true},  {"Button3", true},   {"Label44", true},
    };
    for (const Shown& s : start) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(Control(s.name)->isVisible(), s.visible);
    }
}

TEST_F(Layout, SelectionBoxesAreBareBoxesWithTheLeftTwoTicked) {
    const char* const boxes[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(boxes[i]);
        auto* box = Control<QCheckBox>(boxes[i]);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isChecked(), i < 2);
        EXPECT_TRUE(box->text().isEmpty());
    }
}

TEST_F(Layout, FieldsStartWithTheirTextsAndEditability) {
    EXPECT_EQ(Text("Edit15"), QStringLiteral("2,4"));
    EXPECT_FALSE(form->Edit15->isReadOnly());
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8",
                             "Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Control<QLineEdit>(name)->isReadOnly());
    }
    for (const char* name : {"Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9", "Edit10",
                             "Edit11", "Edit12", "Edit13", "Edit14"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Text(name), QString());
    }
}

TEST_F(Layout, TakeOffSpeedStartsWithACommaWhateverTheLocale) {
    // The start text belongs to the layout, not to the number format of the user.
    struct DefaultLocale {
        QLocale saved;
        ~DefaultLocale() { QLocale::setDefault(saved); }
    } restore;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ui::TForm1 english;
    english.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&english));
    EXPECT_EQ(english.Edit15->text(), QStringLiteral("2,4"));
}

TEST_F(Layout, SlidersHaveTheirRangesPositionsAndSteps) {
    struct Slider {
        const char* name;
        Qt::Orientation orientation;
        int minimum, maximum, position;
    };
    const Slider sliders[] = {
        {"ScrollBar1", Qt::Vertical, 30, 500, 327},
        {"ScrollBar2", Qt::Vertical, 8, 60, 8},
        {"ScrollBar3", Qt::Horizontal, 0, 30, 24},
        {"ScrollBar4", Qt::Horizontal, 10, 250, 125},
    };
    for (const Slider& s : sliders) {
        SCOPED_TRACE(s.name);
        auto* bar = Control<QScrollBar>(s.name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->orientation(), s.orientation);
        EXPECT_EQ(bar->minimum(), s.minimum);
        EXPECT_EQ(bar->maximum(), s.maximum);
        EXPECT_EQ(bar->value(), s.position);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
        // The minimum lies at the top or on the left.
        EXPECT_FALSE(bar->invertedAppearance());
        EXPECT_EQ(bar->layoutDirection(), Qt::LeftToRight);
    }
}

} // namespace
