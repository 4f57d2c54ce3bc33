#pragma once
// Pixel-exact comparison of pictures, with failures that say where they differ.

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace velquor::testing {

// "x 10..20, y 5..8", or "(none)" for an empty rectangle.
inline std::string Describe(const QRect& r) {
    if (r.isNull())
        return "(none)";
    return "x " + std::to_string(r.left()) + ".." + std::to_string(r.right()) + ", y " +
           std::to_string(r.top()) + ".." + std::to_string(r.bottom());
}

// "#RRGGBB".
inline std::string Hex(QRgb colour) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        text += digits[(colour >> shift) & 0xF];
    return text;
}

// Row by row, for two images of one 32-bit format: much faster than pixel() when they agree.
inline bool RowsEqual(const QImage& a, const QImage& b) {
    const std::size_t bytes = std::size_t(a.width()) * 4;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0)
            return false;
    return true;
}

// The same size and the same colour at every pixel; a failure names the first difference
// and the box around all of them.
inline ::testing::AssertionResult SamePixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << " instead of "
               << expected.width() << "x" << expected.height();
    if (actual.format() == expected.format() && actual.depth() == 32 && RowsEqual(actual, expected))
        return ::testing::AssertionSuccess();
    QRect differences;
    QPoint first(-1, -1);
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                if (differences.isNull())
                    first = QPoint(x, y);
                differences |= QRect(x, y, 1, 1);
            }
    if (differences.isNull())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "first difference at (" << first.x() << ", " << first.y()
           << "): " << Hex(actual.pixel(first)) << " instead of " << Hex(expected.pixel(first))
           << "; differences within " << Describe(differences);
}

} // namespace velquor::testing
