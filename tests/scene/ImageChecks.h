#pragma once
// Pixel-level checks shared by the scene tests. Rectangles are in device pixels.

#include "PixelChecks.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include <cmath>
#include <string>

namespace velquor::scene::testing {

using velquor::testing::Describe;
using velquor::testing::SamePixels;

enum class Pose { Crouch, Stretch };

inline const char* NameOf(Pose pose) {
    return pose == Pose::Crouch ? "Crouch" : "Stretch";
}

inline void Draw(Scene& scene, Pose pose, int x, int b, QRgb colour) {
    if (pose == Pose::Crouch) {
        scene.DrawCrouchFigure(x, b, colour);
    } else {
        scene.DrawStretchFigure(x, b, colour);
    }
}

// The extents of a figure's path before the pen, both ends included, in logical pixels,
// as the figure tables give them.
inline QRect PathExtents(Pose pose, int x, int b) {
    return pose == Pose::Crouch ? QRect(QPoint(x - 30, 334 - b), QPoint(x + 27, 494 - b))
                                : QRect(QPoint(x - 40, 317 - b), QPoint(x + 20, 504 - b));
}

// Device pixels the 3-px pen may colour around a logical path box: the path's points
// scale with the ratio, and the stroke reaches half the (scaled) pen width beyond them.
inline QRect PenReachInDevice(const QRect& path, qreal ratio) {
    const qreal reach = 1.5 * ratio;
    const int left = static_cast<int>(std::ceil(path.left() * ratio - reach));
    const int top = static_cast<int>(std::ceil(path.top() * ratio - reach));
    const int right = static_cast<int>(std::floor(path.right() * ratio + reach));
    const int bottom = static_cast<int>(std::floor(path.bottom() * ratio + reach));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Device pixels the path itself passes through, which the pen is sure to cover.
inline QRect PathInDevice(const QRect& path, qreal ratio) {
    return QRect(QPoint(qRound(path.left() * ratio), qRound(path.top() * ratio)),
                 QPoint(qRound(path.right() * ratio), qRound(path.bottom() * ratio)));
}

// Bounding box of every pixel that is not white; null when the image is all white.
inline QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] != White) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

inline ::testing::AssertionResult AllWhite(const QImage& image) {
    const QRect ink = InkBounds(image);
    if (ink.isNull()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "non-white pixels at " << Describe(ink);
}

inline ::testing::AssertionResult OnlyBlackAndWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] != White && row[x] != Black) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << row[x];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace velquor::scene::testing
