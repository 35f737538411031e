#pragma once

#include <QFont>

// The template's face at its size where it is installed, otherwise the
// system's sans-serif at the same size.
QFont DialogFont(const char* typefaceUtf8, int pointSize);
