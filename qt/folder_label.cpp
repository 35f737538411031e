#include "folder_label.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <algorithm>

QString ElidePathToLines(const QString& path, const QFont& font, int width, int lines)
{
    const QFontMetrics metrics(font);
    const auto fits = [&](qsizetype start, qsizetype end) {
        return metrics.horizontalAdvance(path.mid(start, end - start)) <= width;
    };
    QStringList shown;
    qsizetype start = 0;
    while (start < path.size()) {
        if (shown.size() == std::max(lines, 1) - 1) {
            // The last line: the rest of the path, its end always visible.
            shown << metrics.elidedText(path.mid(start), lines <= 1 ? Qt::ElideMiddle : Qt::ElideLeft, width);
            break;
        }
        if (fits(start, path.size())) {
            shown << path.mid(start);
            break;
        }
        // As many whole folder names as fit, each line ending at a '/'; a
        // single name wider than the line is broken where it must be.
        qsizetype end = start;
        for (qsizetype slash = path.indexOf(QLatin1Char('/'), start); slash >= 0 && fits(start, slash + 1);
             slash = path.indexOf(QLatin1Char('/'), slash + 1))
            end = slash + 1;
        if (end == start) {
            end = start + 1;
            while (end < path.size() && fits(start, end + 1))
                ++end;
        }
        shown << path.mid(start, end - start);
        start = end;
    }
    return shown.join(QLatin1Char('\n'));
}

void ShowPathInLabel(QLabel& label, const QString& path)
{
    const int lines = std::max(1, label.height() / label.fontMetrics().lineSpacing());
    label.setWordWrap(false);
    label.setText(ElidePathToLines(path, label.font(), label.contentsRect().width(), lines));
    label.setToolTip(path);
}
