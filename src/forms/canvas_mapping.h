#pragma once

#include <QPoint>
#include <QSize>

#include <algorithm>

namespace forms {

// Far outside any canvas, yet small enough for the painter's integer arithmetic.
inline constexpr double kDeviceLimit = 1.0e6;

// A logical coordinate narrowed to single precision and mapped onto `pixels` pixels across
// `units` units: the pixel that contains it. Where units and pixels are alike the mapping is the
// coordinate itself (the division would give it back exactly), and costs no division.
inline int toPixel(double units, int pixels, double across)
{
    const double narrowed = static_cast<float>(units);
    const double at = std::clamp(across == pixels ? narrowed : narrowed * pixels / across,
                                 -kDeviceLimit, kDeviceLimit);
    const int truncated = static_cast<int>(at); // towards zero: one less below zero, as floor
    return at < truncated ? truncated - 1 : truncated;
}

// Logical units to the pixels of one canvas size and scale. A plain value, so that another thread
// can map a trace's points while the window's thread goes on.
struct CanvasMapping {
    QSize pixels;
    double scaleWidth = 1;
    double scaleHeight = 1;

    QPoint toDevice(double x, double y) const
    {
        return {toPixel(x, pixels.width(), scaleWidth), toPixel(y, pixels.height(), scaleHeight)};
    }
    bool operator==(const CanvasMapping& other) const
    {
        return pixels == other.pixels && scaleWidth == other.scaleWidth
            && scaleHeight == other.scaleHeight;
    }
};

} // namespace forms
