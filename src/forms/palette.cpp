#include "forms/palette.h"

#include <array>

namespace forms {

QColor paletteColour(int index)
{
    static constexpr std::array<QRgb, 16> kPalette = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    return QColor(kPalette.at(static_cast<std::size_t>(index & 15)));
}

QColor bareNumberColour(long number)
{
    return QColor(static_cast<int>(number % 256), static_cast<int>((number / 256) % 256),
                  static_cast<int>((number / 65536) % 256));
}

} // namespace forms
