#include "ui/TitlePicture.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

using namespace velquor::ui;

namespace {

constexpr QRgb White = 0xFFFFFFFF;

std::string describe(const QRectF& r) {
    return QStringLiteral("(%1, %2, %3 x %4)")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

std::string shortText(const TitleText& t) { return t.text.left(40).toStdString(); }

// A stretch of pixels of one colour along a row or a column: `at` is the row (or column),
// [from, to) the columns (or rows) it covers.
struct Span {
    int at;
    int from;
    int to;
    int length() const { return to - from; }
};

std::vector<Span> spansOf(const QImage& image, QRgb colour, int minLength, bool rows) {
    std::vector<Span> spans;
    const int lines = rows ? image.height() : image.width();
    const int extent = rows ? image.width() : image.height();
    for (int line = 0; line < lines; ++line) {
        int start = -1;
        for (int i = 0; i <= extent; ++i) {
            const bool match =
                i < extent && (rows ? image.pixel(i, line) : image.pixel(line, i)) == colour;
            if (match && start < 0) {
                start = i;
            } else if (!match && start >= 0) {
                if (i - start >= minLength) {
                    spans.push_back({line, start, i});
                }
                start = -1;
            }
        }
    }
    return spans;
}

// Consecutive lines that each hold the same number of long spans, grouped; the frame's
// edges show up as such groups, each as thick as the line is drawn.
struct Band {
    int first;
    int last; // inclusive
    std::vector<Span> spans; // of the band's first line
};

std::vector<Band> bandsWith(const std::vector<Span>& spans, std::size_t count) {
    std::map<int, std::vector<Span>> byLine;
    for (const Span& s : spans) {
        byLine[s.at].push_back(s);
    }
    std::vector<Band> bands;
    for (const auto& [line, onLine] : byLine) {
        if (onLine.size() != count) {
            continue;
        }
        if (!bands.empty() && bands.back().last == line - 1) {
            bands.back().last = line;
        } else {
            bands.push_back({line, line, onLine});
        }
    }
    return bands;
}

QRect devicePixels(const QRectF& logical, qreal dpr) {
    return QRectF(logical.topLeft() * dpr, logical.size() * dpr).toAlignedRect();
}

class TitlePictureAtRatio : public ::testing::TestWithParam<qreal> {};

INSTANTIATE_TEST_SUITE_P(Ratios, TitlePictureAtRatio, ::testing::Values(1.0, 2.0));

TEST_P(TitlePictureAtRatio, HasTheLogicalSizeAndRatioDevicePixels) {
    const qreal dpr = GetParam();
    const QImage image = DrawTitlePicture(dpr);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.devicePixelRatio(), dpr);
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(966, 647));
    EXPECT_EQ(image.size(), QSize(qRound(966 * dpr), qRound(647 * dpr)));
}

TEST_P(TitlePictureAtRatio, MarginsAreWhiteAndContentReachesThemEvenly) {
    const qreal dpr = GetParam();
    const QImage image = DrawTitlePicture(dpr);
    const int margin = qRound(TitlePictureMargin * dpr);
    const QRect content(margin, margin, image.width() - 2 * margin, image.height() - 2 * margin);

    int inkLeft = image.width(), inkRight = -1, inkTop = image.height(), inkBottom = -1;
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == White) {
                continue;
            }
            if (!content.contains(x, y)) {
                ++stray;
            }
            inkLeft = std::min(inkLeft, x);
            inkRight = std::max(inkRight, x);
            inkTop = std::min(inkTop, y);
            inkBottom = std::max(inkBottom, y);
        }
    }
    EXPECT_EQ(stray, 0) << "non-white pixels in the margin";
    // The heading rule and the box frames run exactly from margin to margin.
    EXPECT_EQ(inkLeft, margin);
    EXPECT_EQ(image.width() - 1 - inkRight, margin);
    EXPECT_EQ(image.height() - 1 - inkBottom, margin);
    // The heading starts at the top margin, not somewhere below it.
    EXPECT_GE(inkTop, margin);
    EXPECT_LE(inkTop, margin + qRound(10 * dpr));
}

TEST_P(TitlePictureAtRatio, ThreeAlignedEqualBoxesWithSharpFrames) {
    const qreal dpr = GetParam();
    const QImage image = DrawTitlePicture(dpr);
    const int line = qRound(dpr); // the frame is one logical pixel wide
    const int longSpan = qRound(100 * dpr);

    // Horizontal edges: rows with three long frame-coloured spans, side by side.
    const std::vector<Band> rows =
        bandsWith(spansOf(image, TitleFrameColour, longSpan, true), 3);
    ASSERT_EQ(rows.size(), 2u) << "expected the top and bottom edges of three boxes";
    // Vertical edges: six columns, the left and right edge of each box.
    const std::vector<Band> columns =
        bandsWith(spansOf(image, TitleFrameColour, longSpan, false), 1);
    ASSERT_EQ(columns.size(), 6u) << "expected the left and right edges of three boxes";

    for (const Band& b : rows) {
        EXPECT_EQ(b.last - b.first + 1, line) << "horizontal edge at row " << b.first;
    }
    for (const Band& b : columns) {
        EXPECT_EQ(b.last - b.first + 1, line) << "vertical edge at column " << b.first;
    }

    const int margin = qRound(TitlePictureMargin * dpr);
    EXPECT_EQ(columns.front().first, margin);
    EXPECT_EQ(columns.back().last, image.width() - 1 - margin);
    EXPECT_EQ(rows.back().last, image.height() - 1 - margin);

    const int width = columns[1].last - columns[0].first;
    const int gap = columns[2].first - columns[1].last;
    for (int box = 0; box < 3; ++box) {
        const int left = columns[2 * box].first;
        const int right = columns[2 * box + 1].last;
        EXPECT_EQ(right - left, width) << "box " << box;
        if (box > 0) {
            EXPECT_EQ(left - columns[2 * box - 1].last, gap) << "gap before box " << box;
        }
        // Each horizontal edge joins this box's two sides, short only by its rounded
        // corners, and every side runs from the top edge down to the bottom one.
        for (const Band& edge : rows) {
            const Span& s = edge.spans[box];
            EXPECT_GT(s.from, left);
            EXPECT_LT(s.to - 1, right);
            EXPECT_LE(s.from - left, qRound(10 * dpr)) << "box " << box;
            EXPECT_LE(right - (s.to - 1), qRound(10 * dpr)) << "box " << box;
        }
        for (int side : {2 * box, 2 * box + 1}) {
            const Span& s = columns[side].spans.front();
            EXPECT_LE(s.from - rows.front().first, qRound(10 * dpr)) << "side " << side;
            EXPECT_LE(rows.back().last - (s.to - 1), qRound(10 * dpr)) << "side " << side;
        }
    }

    // Sharp edges: the pixels right beside a frame line are the page's white, not a
    // blurred shade of the frame.
    for (const Band& edge : rows) {
        for (const Span& s : edge.spans) {
            const int x = (s.from + s.to) / 2;
            EXPECT_EQ(image.pixel(x, edge.first - 1), White) << "above row " << edge.first;
            EXPECT_EQ(image.pixel(x, edge.last + 1), White) << "below row " << edge.last;
        }
    }
    for (const Band& edge : columns) {
        const int y = (edge.spans.front().from + edge.spans.front().to) / 2;
        EXPECT_EQ(image.pixel(edge.first - 1, y), White) << "left of column " << edge.first;
        EXPECT_EQ(image.pixel(edge.last + 1, y), White) << "right of column " << edge.last;
    }
}

TEST_P(TitlePictureAtRatio, EveryBoxHoldsItsOwnDrawing) {
    const qreal dpr = GetParam();
    const QImage image = DrawTitlePicture(dpr);
    const TitleLayout layout = LayoutTitlePicture();
    std::array<QImage, 3> drawings;
    for (int box = 0; box < 3; ++box) {
        drawings[box] = image.copy(devicePixels(layout.drawings[box], dpr));
        drawings[box].setDevicePixelRatio(1); // work in device pixels below
        // Blank the labels, so that only the lines tell one drawing from another.
        QPainter blank(&drawings[box]);
        for (const TitleText& t : layout.texts) {
            if (t.box == box && t.kind == TitleTextKind::Label) {
                const QRectF inDrawing = t.place.translated(-layout.drawings[box].topLeft());
                blank.fillRect(devicePixels(inDrawing, dpr), Qt::white);
            }
        }
        blank.end();
        int ink = 0;
        for (int y = 0; y < drawings[box].height(); ++y) {
            for (int x = 0; x < drawings[box].width(); ++x) {
                ink += drawings[box].pixel(x, y) != White;
            }
        }
        // A line drawing covers a few percent of its pane; an empty or nearly empty
        // pane means the drawing went missing or was drawn somewhere else.
        EXPECT_GT(ink, drawings[box].width() * drawings[box].height() / 50) << "box " << box;
    }
    EXPECT_NE(drawings[0], drawings[1]);
    EXPECT_NE(drawings[1], drawings[2]);
    EXPECT_NE(drawings[0], drawings[2]);
}

TEST_P(TitlePictureAtRatio, DrawnTextsStayInTheirPlaces) {
    const qreal dpr = GetParam();
    std::vector<QRectF> drawn;
    const QImage image = DrawTitlePicture(dpr, &drawn);
    const TitleLayout layout = LayoutTitlePicture();
    ASSERT_EQ(drawn.size(), layout.texts.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const TitleText& t = layout.texts[i];
        EXPECT_TRUE(t.place.contains(drawn[i]))
            << shortText(t) << ": drawn " << describe(drawn[i]) << " in " << describe(t.place);
        // The text really left ink where it was said to go.
        const QImage area = image.copy(devicePixels(drawn[i], dpr));
        bool inked = false;
        for (int y = 0; y < area.height() && !inked; ++y) {
            for (int x = 0; x < area.width() && !inked; ++x) {
                inked = area.pixel(x, y) != White;
            }
        }
        EXPECT_TRUE(inked) << shortText(t);
    }
}

// At twice the ratio the picture is painted anew, not a doubled copy of the small one:
// many 2x2 blocks then hold detail that a pixel-doubled picture cannot have.
TEST(TitlePicture, HighRatioIsPaintedAtFullResolution) {
    const QImage image = DrawTitlePicture(2.0);
    int inkedBlocks = 0, detailedBlocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = image.pixel(x + 1, y);
            const QRgb c = image.pixel(x, y + 1);
            const QRgb d = image.pixel(x + 1, y + 1);
            if (a == White && b == White && c == White && d == White) {
                continue;
            }
            ++inkedBlocks;
            detailedBlocks += !(a == b && b == c && c == d);
        }
    }
    ASSERT_GT(inkedBlocks, 0);
    EXPECT_GT(detailedBlocks * 4, inkedBlocks) << detailedBlocks << " of " << inkedBlocks;
}

TEST(TitleLayout, EveryTextFitsItsPlace) {
    const TitleLayout layout = LayoutTitlePicture();
    for (const TitleText& t : layout.texts) {
        EXPECT_TRUE(t.place.contains(t.needed))
            << shortText(t) << ": needs " << describe(t.needed) << " in " << describe(t.place)
            << " at " << t.font.pixelSize() << " px";
        // The measurement holds only for the font we meant; a stand-in font would have
        // other widths on the user's machine.
        EXPECT_EQ(QFontInfo(t.font).family(), QStringLiteral("Liberation Sans")) << shortText(t);
    }
}

TEST(TitleLayout, TextsOfOneKindShareOneSize) {
    // If one explanation had to shrink, its box would look out of step with the others.
    std::map<TitleTextKind, std::vector<int>> sizes;
    for (const TitleText& t : LayoutTitlePicture().texts) {
        sizes[t.kind].push_back(t.font.pixelSize());
    }
    ASSERT_EQ(sizes.size(), 5u);
    EXPECT_EQ(sizes[TitleTextKind::Heading].size(), 1u);
    EXPECT_EQ(sizes[TitleTextKind::Paragraph].size(), 2u);
    EXPECT_EQ(sizes[TitleTextKind::BoxTitle].size(), 3u);
    EXPECT_EQ(sizes[TitleTextKind::Explanation].size(), 3u);
    for (const auto& [kind, list] : sizes) {
        EXPECT_EQ(*std::min_element(list.begin(), list.end()),
                  *std::max_element(list.begin(), list.end()))
            << "kind " << static_cast<int>(kind);
    }
}

TEST(TitleLayout, PlacesKeepToTheirBoxesAndApart) {
    const TitleLayout layout = LayoutTitlePicture();
    const QRectF page(TitlePictureMargin, TitlePictureMargin,
                      TitlePictureWidth - 2 * TitlePictureMargin,
                      TitlePictureHeight - 2 * TitlePictureMargin);
    for (int box = 0; box < 3; ++box) {
        // Inside the frame line, not on it.
        EXPECT_TRUE(layout.frames[box].adjusted(1, 1, -1, -1).contains(layout.drawings[box]));
        EXPECT_TRUE(page.contains(layout.frames[box]));
    }
    for (std::size_t i = 0; i < layout.texts.size(); ++i) {
        const TitleText& t = layout.texts[i];
        QRectF container = page;
        if (t.kind == TitleTextKind::Label) {
            container = layout.drawings[t.box];
        } else if (t.box >= 0) {
            container = layout.frames[t.box].adjusted(1, 1, -1, -1);
        }
        EXPECT_TRUE(container.contains(t.place)) << shortText(t) << " in " << describe(t.place);
        for (int box = 0; box < 3; ++box) {
            if (t.box < 0) {
                EXPECT_FALSE(layout.frames[box].intersects(t.place)) << shortText(t);
            } else if (t.kind != TitleTextKind::Label) {
                EXPECT_FALSE(layout.drawings[box].intersects(t.place)) << shortText(t);
            }
        }
        for (std::size_t j = i + 1; j < layout.texts.size(); ++j) {
            EXPECT_FALSE(t.place.intersects(layout.texts[j].place))
                << shortText(t) << " / " << shortText(layout.texts[j]);
        }
    }
}

struct FitCase {
    const char* name;
    TitleTextKind kind;
    int pixelSize;
    const char* text;
    QSizeF room;
    bool shouldShrink;
    bool shouldFit;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitTitleTextCases : public ::testing::TestWithParam<FitCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, FitTitleTextCases,
    ::testing::Values(
        FitCase{"RoomyTextKeepsItsSize", TitleTextKind::Paragraph, 16, "Auf dem Mond",
                {400, 40}, false, true},
        FitCase{"OneLineTooLongShrinks", TitleTextKind::Heading, 30,
                "Mechanische Simulatoren für das Astronautentraining", {700, 40}, true, true},
        FitCase{"WrappedTextTooTallShrinks", TitleTextKind::Explanation, 14,
                "Ein Seil läuft über eine Rolle: an einem Ende hängt der Astronaut, am "
                "anderen ein Gegengewicht mit 5/6 seiner Masse.",
                {258, 46}, true, true},
        FitCase{"HopelessTextStopsAtTheFloor", TitleTextKind::BoxTitle, 18,
                "Schraubenfeder mit Gegengewicht und Seil", {60, 20}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(FitTitleTextCases, ShrinksOnlyAsFarAsNeeded) {
    const FitCase& c = GetParam();
    TitleText t;
    t.kind = c.kind;
    t.text = QString::fromUtf8(c.text);
    t.font = QFont(QStringLiteral("Liberation Sans"));
    t.font.setPixelSize(c.pixelSize);
    t.flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    t.place = QRectF(QPointF(10, 20), c.room);

    FitTitleText(t);

    const int size = t.font.pixelSize();
    EXPECT_EQ(size < c.pixelSize, c.shouldShrink) << size << " px";
    EXPECT_EQ(t.place.contains(t.needed), c.shouldFit) << describe(t.needed);
    // `needed` is the measure of the text at the size it ends up with.
    EXPECT_EQ(t.needed, QFontMetricsF(t.font).boundingRect(t.place, t.flags, t.text));
    if (c.shouldFit && c.shouldShrink) {
        // The largest size that fits: one pixel more would not.
        QFont larger = t.font;
        larger.setPixelSize(size + 1);
        EXPECT_FALSE(
            t.place.contains(QFontMetricsF(larger).boundingRect(t.place, t.flags, t.text)));
    }
    if (!c.shouldFit) {
        EXPECT_EQ(size, SmallestTitlePixelSize(c.kind));
    }
    EXPECT_GE(size, SmallestTitlePixelSize(c.kind));
}

} // namespace

int main(int argc, char** argv) {
    // The picture needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
