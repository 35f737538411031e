#pragma once

// The folder label: a path too long for its lines keeps its start and its end,
// the middle gives way to an ellipsis; the whole path is the tooltip.

#include <QString>

class QFont;
class QLabel;

// `path` broken into lines at most `width` pixels wide, each ending at a '/'
// where one fits; when it needs more than `lines` lines, the last one shows
// only the path's end after "…" (one line: its start and end, "…" between).
QString ElidePathToLines(const QString& path, const QFont& font, int width, int lines);

// Shows `path` in as many lines as the label is high, the full path as its tooltip.
void ShowPathInLabel(QLabel& label, const QString& path);
