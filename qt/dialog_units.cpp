#include "dialog_units.h"

#include <QFontMetrics>
#include <QString>

#include <cstdint>
#include <cstdlib>

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average over 52 letters, rounded as the platform rounds it.
    return {(width / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int number, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

PixelRect MapDialogRect(int x, int y, int cx, int cy, DialogBaseUnits base)
{
    const int left = MulDiv(x, base.cx, 4);
    const int top = MulDiv(y, base.cy, 8);
    const int right = MulDiv(x + cx, base.cx, 4);
    const int bottom = MulDiv(y + cy, base.cy, 8);
    return {left, top, right - left, bottom - top};
}
