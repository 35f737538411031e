#pragma once

// File names between the file system's bytes and the text the window shows
// and takes: one pair of conversions, Qt's own for file names, so that a
// name shown and typed back is the same name.

#include <QString>

#include <string>

QString FileNameText(const std::string& bytes);
std::string FileNameBytes(const QString& text);
