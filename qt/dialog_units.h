#pragma once

// Dialog units to pixels, the way the original dialog manager maps a template:
// a horizontal unit is a quarter of the font's average letter width, a vertical
// unit an eighth of its height.

class QFont;

struct DialogBaseUnits {
    int cx;  // average width of "A".."Z" and "a".."z"
    int cy;  // the font's height
};

struct PixelRect {
    int x, y, width, height;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// number * numerator / denominator, rounded half away from zero (the platform's MulDiv).
int MulDiv(int number, int numerator, int denominator);

// Left, top, right and bottom are mapped on their own, so neighbouring controls
// share their edges exactly.
PixelRect MapDialogRect(int x, int y, int cx, int cy, DialogBaseUnits base);
