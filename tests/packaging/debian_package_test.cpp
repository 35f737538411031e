// The Debian package as a distribution would check it: lintian, Debian's own
// package checker, finds no error and no warning.

#include "run_command.h"
#include "test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

TEST(DebianPackage, LintianReportsNoErrorOrWarning)
{
    if (RunCommand({"/bin/sh", "-c", "command -v lintian && command -v dpkg-deb"}).exitCode != 0)
        GTEST_SKIP() << "lintian is not installed (make deps)";
    // Built into a scratch folder, so `make package`'s own stays as it was.
    TempDir out;
    const CommandResult pack = RunCommand(
        {CPACK_COMMAND_PATH, "-G", "DEB", "--config", std::string(BUILD_DIR) + "/CPackConfig.cmake", "-B", out.path()});
    ASSERT_EQ(pack.exitCode, 0) << pack.out << pack.err;
    std::string deb;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
        if (entry.path().extension() == ".deb")
            deb = entry.path();
    }
    ASSERT_FALSE(deb.empty()) << pack.out;

    const CommandResult lintian = RunCommand({"/usr/bin/env", "lintian", "--fail-on", "error,warning", deb});
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out << lintian.err;
    std::istringstream lines(lintian.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
        EXPECT_NE(line.rfind("W: ", 0), 0u) << line;
    }
}

} // namespace
