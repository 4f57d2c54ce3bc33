// Builds every control of the window at its place, with its text, font and colour.
#include "Layout.h"

#include "MainWindow.h"
#include "TitlePicture.h"
#include "Widgets.h"
#include "scene/RopeSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace velquor::ui {

QFont LayoutFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont InfoButtonFont() {
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPixelSize(19);
    font.setBold(true);
    return font;
}

void InstallLayoutFonts() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               {QStringLiteral("Comic Neue"), QStringLiteral("Liberation Sans")});
    QApplication::setFont(LayoutFont(11));
}

namespace {

const QColor White{0xFF, 0xFF, 0xFF};
const QColor Black{0, 0, 0};
const QColor Grey{0x80, 0x80, 0x80};

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

Panel* panel(QWidget* parent, const char* name, QRect bounds, const QColor& colour) {
    auto* p = named(new Panel(parent, colour), name);
    p->setGeometry(bounds);
    return p;
}

QPushButton* button(QWidget* parent, const char* name, QRect bounds, const QString& text,
                    const QFont& font) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(bounds);
    b->setFont(font);
    b->setAutoDefault(false);
    return b;
}

// A close button "X" of an info panel, at its top right corner.
QPushButton* panelClose(QWidget* parent, const char* name, int left) {
    return button(parent, name, QRect(left, 0, 25, 25), QStringLiteral("X"), LayoutFont(11, true));
}

QLabel* label(QWidget* parent, const char* name, QPoint at, const QString& text,
              const QFont& font, const QColor& colour = QColor()) {
    auto* l = named(new QLabel(text, parent), name);
    l->setFont(font);
    if (colour.isValid())
        setTextColour(l, colour);
    l->move(at);
    l->adjustSize();
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

QLabel* wrappedLabel(QWidget* parent, const char* name, QPoint at, int width, const QString& text,
                     const QFont& font, const QColor& colour) {
    auto* l = label(parent, name, at, text, font, colour);
    l->setWordWrap(true);
    l->setFixedWidth(width);
    l->adjustSize();
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, QRect bounds, const QFont& font, bool flat,
                bool readOnly) {
    QLineEdit* e = flat ? new FlatLineEdit(parent) : new QLineEdit(parent);
    named(e, name);
    e->setGeometry(bounds);
    e->setFont(font);
    e->setReadOnly(readOnly);
    if (!flat)
        e->setTextMargins(0, 0, 0, 0);
    return e;
}

QScrollBar* scrollBar(QWidget* parent, const char* name, Qt::Orientation orientation,
                      QRect bounds, int minimum, int maximum, int position) {
    auto* s = named(new QScrollBar(orientation, parent), name);
    s->setGeometry(bounds);
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setValue(position);
    s->setFocusPolicy(Qt::StrongFocus); // reachable with Tab, moved with the arrow keys
    // A scroll bar inverts its arrow keys by default; on a horizontal one that makes the
    // left arrow increase the value, against what the thumb then does on screen.
    if (orientation == Qt::Horizontal)
        s->setInvertedControls(false);
    return s;
}

QCheckBox* checkBox(QWidget* parent, const char* name, QPoint at, bool ticked) {
    auto* c = named(new QCheckBox(parent), name);
    c->setGeometry(QRect(at, QSize(17, 17)));
    c->setChecked(ticked);
    return c;
}

Shape* shape(QWidget* parent, const char* name, QRect bounds, Shape::Form form,
             const QColor& pen, const QColor& fill) {
    auto* s = named(new Shape(parent, form, pen, fill), name);
    s->setGeometry(bounds);
    return s;
}

} // namespace

void TForm1::BuildLayout() {
    InstallLayoutFonts();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(WindowCaption);
    setFont(LayoutFont(11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, WindowColour);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(ClientWidth, 972 - 30);

    // Children of the window, from the bottom of the stacking order to the top.
    Panel6 = panel(this, "Panel6", QRect(16, 8, 993, 625), StripColour);
    BuildScenePanel();
    BuildColumnButtons();
    BuildInfoPanels();
    BuildControlStrip();
    BuildHint();
    BuildTitleScreen();
}

void TForm1::BuildScenePanel() {
    // Pictures, paint boxes, labels and shapes lie beneath the edit fields and buttons.
    // The scene's background: all white. The scene itself lies over it and covers it.
    Image2 = named(new PictureBox(Panel6, [](QPainter& painter) {
                       painter.fillRect(0, 0, scene::SceneWidth, scene::SceneHeight, Qt::white);
                   }),
                   "Image2");
    Image2->setGeometry(0, 0, scene::SceneWidth, scene::SceneHeight);
    PaintBox2 = named(new ScenePaintBox(Panel6, scene_.presented()), "PaintBox2");
    PaintBox2->setGeometry(0, 0, scene::SceneWidth, scene::SceneHeight);

    const QFont unitFont = LayoutFont(13, true);
    Label31 = label(Panel6, "Label31", {72, 554}, QStringLiteral("Zeit"), unitFont, White);
    Label32 = label(Panel6, "Label32", {16, 586}, QStringLiteral("Sprunghöhe"), unitFont, White);
    Shape1 = shape(Panel6, "Shape1", {200, 499, 1, 126}, Shape::Form::Rectangle, White, {});
    Shape2 = shape(Panel6, "Shape2", {400, 499, 1, 126}, Shape::Form::Rectangle, White, {});
    Shape3 = shape(Panel6, "Shape3", {600, 499, 1, 126}, Shape::Form::Rectangle, White, {});
    Shape4 = shape(Panel6, "Shape4", {800, 499, 1, 126}, Shape::Form::Rectangle, White, {});

    const QString s = QStringLiteral("s");
    const QString m = QStringLiteral("m");
    Label34 = label(Panel6, "Label34", {140, 554}, s, unitFont, White);
    Label33 = label(Panel6, "Label33", {140, 586}, m, unitFont, White);
    Label38 = label(Panel6, "Label38", {308, 554}, s, unitFont, White);
    Label39 = label(Panel6, "Label39", {308, 586}, m, unitFont, White);
    Label37 = label(Panel6, "Label37", {508, 554}, s, unitFont, White);
    Label40 = label(Panel6, "Label40", {508, 585}, m, unitFont, White);
    Label36 = label(Panel6, "Label36", {708, 554}, s, unitFont, White);
    Label41 = label(Panel6, "Label41", {708, 585}, m, unitFont, White);
    Label35 = label(Panel6, "Label35", {908, 554}, s, unitFont, White);
    Label42 = label(Panel6, "Label42", {908, 585}, m, unitFont, White);

    const QFont fieldFont = LayoutFont(11);
    auto resultField = [&](const char* name, int left, int top) {
        return edit(Panel6, name, QRect(left, top, 33, 19), fieldFont, true, true);
    };
    Edit4 = resultField("Edit4", 104, 552);
    setTextColour(Edit4, Black);
    Edit5 = resultField("Edit5", 104, 584);
    Edit6 = resultField("Edit6", 272, 552);
    Edit7 = resultField("Edit7", 272, 584);
    Edit8 = resultField("Edit8", 472, 552);
    Edit9 = resultField("Edit9", 472, 584);
    Edit10 = resultField("Edit10", 672, 552);
    Edit11 = resultField("Edit11", 672, 584);
    Edit12 = resultField("Edit12", 872, 552);
    Edit13 = resultField("Edit13", 872, 584);

    const QFont closeFont = LayoutFont(16, true);
    auto columnClose = [&](const char* name, QRect bounds) {
        auto* b = button(Panel6, name, bounds, QStringLiteral("X"), closeFont);
        setTextColour(b, Black);
        b->hide();
        return b;
    };
    Button22 = columnClose("Button22", {143, 520, 25, 21});
    Button23 = columnClose("Button23", {344, 516, 25, 25});
    Button24 = columnClose("Button24", {544, 516, 25, 25});
    Button25 = columnClose("Button25", {744, 516, 25, 25});
    Button26 = columnClose("Button26", {944, 516, 25, 25});
}

void TForm1::BuildColumnButtons() {
    const QFont startFont = LayoutFont(13);
    Button4 = button(this, "Button4", {40, 524, 114, 25}, QStringLiteral("ERDE"), startFont);
    Button5 = button(this, "Button5", {240, 524, 114, 25}, QStringLiteral("MOND"), startFont);
    Button6 = button(this, "Button6", {440, 524, 114, 25}, QStringLiteral("Schraubenfeder"),
                     startFont);
    Button7 = button(this, "Button7", {640, 524, 114, 25}, QStringLiteral("Gegengewicht"),
                     startFont);
    Button8 = button(this, "Button8", {840, 524, 114, 25}, QStringLiteral("Seil   (Pendel)"),
                     startFont);
    const QFont infoFont = InfoButtonFont();
    const QString i = QStringLiteral("i");
    Button10 = button(this, "Button10", {159, 524, 25, 25}, i, infoFont);
    Button11 = button(this, "Button11", {359, 524, 25, 25}, i, infoFont);
    Button12 = button(this, "Button12", {559, 524, 25, 25}, i, infoFont);
    Button13 = button(this, "Button13", {759, 524, 25, 25}, i, infoFont);
    Button14 = button(this, "Button14", {959, 524, 25, 25}, i, infoFont);
}

void TForm1::BuildInfoPanels() {
    const QFont text13 = LayoutFont(13);
    const QFont text11 = LayoutFont(11);

    Panel1 = panel(this, "Panel1", {32, 16, 161, 105}, InfoPanelColour);
    Label11 = label(Panel1, "Label11", {8, 48}, QStringLiteral("Erdbeschleunigung: "), text13);
    Label12 = label(Panel1, "Label12", {8, 64}, QStringLiteral("g = 9,81 m/s^2"), text13);
    Button15 = panelClose(Panel1, "Button15", 136);

    Panel2 = panel(this, "Panel2", {224, 8, 161, 113}, InfoPanelColour);
    Label15 = label(Panel2, "Label15", {8, 48}, QStringLiteral("Mondbeschleunigung:"), text13);
    Label16 = label(Panel2, "Label16", {8, 64}, QStringLiteral("1/6 g = 1,635 m/s^2"), text13);
    Button16 = panelClose(Panel2, "Button16", 136);

    Panel3 = panel(this, "Panel3", {416, 16, 169, 321}, InfoPanelColour);
    Label1 = label(Panel3, "Label1", {16, 24}, QStringLiteral("Masse = 120 kg"), text13);
    Label2 = label(Panel3, "Label2", {16, 48}, QStringLiteral("Schraubenfeder"), text13);
    Label8 = label(Panel3, "Label8", {16, 64}, QStringLiteral("weich"), text13);
    Label5 = label(Panel3, "Label5", {64, 96}, QStringLiteral("Federkonstante"), text13);
    Label6 = label(Panel3, "Label6", {88, 112}, QStringLiteral("in N/m"), text13);
    Label3 = label(Panel3, "Label3", {72, 184}, QStringLiteral("Verlängerung"), text13);
    Label4 = label(Panel3, "Label4", {72, 200}, QStringLiteral("der Feder in m"), text13);
    Label7 = label(Panel3, "Label7", {16, 296}, QStringLiteral("hart"), text13);
    Button17 = panelClose(Panel3, "Button17", 144);
    ScrollBar1 = scrollBar(Panel3, "ScrollBar1", Qt::Vertical, {24, 88, 9, 201}, 30, 500, 327);
    Edit1 = edit(Panel3, "Edit1", {80, 136, 57, 21}, text11, false, true);
    Edit2 = edit(Panel3, "Edit2", {80, 224, 57, 21}, text11, false, true);

    Panel4 = panel(this, "Panel4", {616, 16, 161, 161}, InfoPanelColour);
    Label21 = label(Panel4, "Label21", {8, 40}, QStringLiteral("Masse des Astronauten:  M"), text11);
    Label22 = label(Panel4, "Label22", {8, 64}, QStringLiteral("Masse des "), text11);
    Label23 = label(Panel4, "Label23", {8, 80}, QStringLiteral("Gegengewichts: 5/6*M"), text11);
    Label24 = label(Panel4, "Label24", {8, 112}, QStringLiteral("Beschleunigung der"), text11);
    Label25 = label(Panel4, "Label25", {8, 128}, QStringLiteral("Gesamtmasse:  1/11*g"), text11);
    Button18 = panelClose(Panel4, "Button18", 136);

    Panel5 = panel(this, "Panel5", {824, 16, 169, 473}, InfoPanelColour);
    Shape9 = shape(Panel5, "Shape9", {56, 16, 9, 400}, Shape::Form::Rectangle, Black, Grey);
    Shape10 = shape(Panel5, "Shape10", {64, 391, 9, 25}, Shape::Form::Rectangle, Black, Grey);
    PaintBox1 = named(new RopePaintBox(Panel5), "PaintBox1");
    PaintBox1->setGeometry(0, 0, 169, 473);
    Label29 = label(Panel5, "Label29", {16, 432}, QStringLiteral("Seillänge "), text13);
    Label30 = label(Panel5, "Label30", {16, 448}, QStringLiteral("(in Metern)"), text11);
    Shape11 = shape(Panel5, "Shape11", {136, 8, 16, 16}, Shape::Form::Circle, Black,
                    QColor(0xFF, 0xFF, 0x00));
    Shape11->hide();
    Button19 = panelClose(Panel5, "Button19", 144);
    ScrollBar2 = scrollBar(Panel5, "ScrollBar2", Qt::Vertical, {24, 24, 9, 393}, scene::RopeSliderMin,
                           scene::RopeSliderMax, scene::RopeSliderMin);
    Edit3 = edit(Panel5, "Edit3", {88, 432, 41, 28}, LayoutFont(16), false, true);

    for (Panel* p : {Panel1, Panel2, Panel3, Panel4, Panel5})
        p->hide();
}

void TForm1::BuildControlStrip() {
    const QFont bold13 = LayoutFont(13, true);

    Panel7 = panel(this, "Panel7", {16, 640, 321, 81}, StripColour);
    Label43 = wrappedLabel(Panel7, "Label43", {32, 9}, 224,
                           QStringLiteral("Absprung-Geschwindigkeit (m/s)"), bold13, White);
    ScrollBar3 = scrollBar(Panel7, "ScrollBar3", Qt::Horizontal, {32, 40, 201, 12}, 0, 30, 24);
    Edit15 = edit(Panel7, "Edit15", {240, 35, 33, 22}, bold13, true, false);
    Edit15->setText(QStringLiteral("2,4"));

    Panel9 = panel(this, "Panel9", {344, 640, 225, 81}, StripColour);
    Button1 = button(Panel9, "Button1", {32, 40, 160, 25}, QStringLiteral("gemeinsamer Start"),
                     bold13);
    CheckBox1 = checkBox(Panel9, "CheckBox1", {32, 16}, true);
    CheckBox2 = checkBox(Panel9, "CheckBox2", {68, 16}, true);
    CheckBox3 = checkBox(Panel9, "CheckBox3", {105, 16}, false);
    CheckBox4 = checkBox(Panel9, "CheckBox4", {141, 16}, false);
    CheckBox5 = checkBox(Panel9, "CheckBox5", {177, 16}, false);

    Panel10 = panel(this, "Panel10", {576, 640, 433, 81}, StripColour);
    Label45 = wrappedLabel(Panel10, "Label45", {25, 9}, 192,
                           QStringLiteral("Simulationsgeschwindigkeit"), bold13, White);
    ScrollBar4 =
        scrollBar(Panel10, "ScrollBar4", Qt::Horizontal, {24, 32, 193, 12}, 10, 250, 125);
    Button9 = button(Panel10, "Button9", {312, 8, 89, 25}, QStringLiteral("Info"), bold13);
    Button2 = button(Panel10, "Button2", {312, 40, 89, 25}, QStringLiteral("ENDE"), bold13);
    Button20 = button(Panel10, "Button20", {224, 24, 57, 25}, QStringLiteral("Justieren"),
                      LayoutFont(11));
    Edit14 = edit(Panel10, "Edit14", {24, 52, 193, 19}, LayoutFont(11), true, true);
    Edit14->hide();
}

void TForm1::BuildHint() {
    Panel11 = panel(this, "Panel11", {288, 128, 433, 113}, HintColour);
    Memo1 = named(new QPlainTextEdit(Panel11), "Memo1");
    Memo1->setGeometry(16, 8, 377, 97);
    Memo1->setFont(LayoutFont(13));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A plain one-pixel black box on white, drawn by the frame rather than a style sheet.
    Memo1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Memo1->setLineWidth(1);
    QPalette memoColours = Memo1->palette();
    memoColours.setColor(QPalette::Base, White);
    memoColours.setColor(QPalette::Text, Black);
    memoColours.setColor(QPalette::WindowText, Black); // the frame
    Memo1->setPalette(memoColours);
    Memo1->document()->setDocumentMargin(2);
    Memo1->setPlainText(
        QStringLiteral("Um die Bewegungsabläufe in realer Geschwindigkeit ablaufen \n"
                       "zu lassen, können Sie die Simulationsgeschwindigkeit so \n"
                       "einstellen, dass bei einem Mondsprung die angezeigte \n"
                       "Computerzeit für den Sprung mit der berechneten Zeit ungefähr \n"
                       "übereinstimmt."));
    Button21 = button(Panel11, "Button21", {400, 8, 27, 25}, QStringLiteral("X"),
                      LayoutFont(19, true));
    Panel11->hide();
}

void TForm1::BuildTitleScreen() {
    Panel8 = panel(this, "Panel8", {16, 8, 993, 713}, StripColour);
    Image1 = named(new PictureBox(Panel8, [](QPainter& painter) { PaintTitlePicture(painter); }),
                   "Image1");
    Image1->setGeometry(13, 8, 966, 647);
    Label44 = label(Panel8, "Label44", {832, 688}, AuthorCredit, LayoutFont(13), White);
    Button3 = button(Panel8, "Button3", {440, 670, 139, 29}, QStringLiteral("Zur Simulation"),
                     LayoutFont(13, true));
    setTextColour(Button3, Black);
}

} // namespace velquor::ui
