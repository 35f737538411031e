#pragma once

// Lets GoogleTest print QStrings, rectangles and sizes in its failure messages.

#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.width() << "x" << rect.height() << "+" << rect.x() << "+" << rect.y();
}

inline void PrintTo(const QSize& size, std::ostream* out)
{
    *out << size.width() << "x" << size.height();
}
