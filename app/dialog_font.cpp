#include "dialog_font.h"

#include <QFontDatabase>
#include <QString>

QFont DialogFont(const char* typefaceUtf8, int pointSize)
{
    const QString face = QString::fromUtf8(typefaceUtf8);
    if (QFontDatabase::hasFamily(face))
        return QFont(face, pointSize);
    QFont font(QStringLiteral("Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
