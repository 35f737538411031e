#pragma once

// What the window's tests share: captures to list and convert, and a folder
// holding a copy of the window's program and nothing else of ours.

#include "capture_builder.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

// `count` frames, told apart by `seed`.
CaptureBuilder Frames(unsigned count, unsigned seed);

// A capture of `megabytes` MiB of header-only entries: slow enough to show the
// progress dialog, yet nothing to write. One block written over and over, so
// that no test holds the whole capture in memory.
void WriteLongCapture(const std::string& path, unsigned megabytes);

std::wstring Wide(const std::string& utf8);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::string Folder() const;

    TempDir dir;
    std::wstring folder, program;  // the folder ends with its backslash
};
