#pragma once

// Lets GoogleTest print QStrings in its failure messages.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
