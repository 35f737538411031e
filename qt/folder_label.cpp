#include "folder_label.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>

QString ElidePathToLines(const QString& path, const QFont& font, int width, int lines)
{
    const QFontMetrics metrics(font);
    if (lines <= 1)
        return metrics.elidedText(path, Qt::ElideMiddle, width);

    QTextLayout layout(path, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    QStringList shown;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (shown.size() == lines - 1) {
            // The last line: the rest of the path, its end always visible.
            shown << metrics.elidedText(path.mid(line.textStart()), Qt::ElideLeft, width);
            break;
        }
        shown << path.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return shown.join(QLatin1Char('\n'));
}

void ShowPathInLabel(QLabel& label, const QString& path)
{
    const int lines = std::max(1, label.height() / label.fontMetrics().lineSpacing());
    label.setWordWrap(false);
    label.setText(ElidePathToLines(path, label.font(), label.contentsRect().width(), lines));
    label.setToolTip(path);
}
