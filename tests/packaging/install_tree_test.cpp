// `cmake --install` into a scratch prefix: both programs, the menu entry, the
// icons and the man page, where a desktop and man(1) look for them.

#include "run_command.h"
#include "test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The keys of a menu entry (a .desktop file); none when it is missing.
std::map<std::string, std::string> DesktopEntryKeys(const fs::path& entry)
{
    std::map<std::string, std::string> keys;
    if (!fs::is_regular_file(entry))
        return keys;
    std::istringstream lines(ReadText(entry));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && line[0] != '#')
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

bool IsExecutableFile(const fs::path& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXOTH) != 0;
}

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_prefix = std::make_unique<TempDir>();
        s_install = RunCommand({CMAKE_COMMAND_PATH, "--install", BUILD_DIR, "--prefix", s_prefix->path()});
    }
    static void TearDownTestSuite() { s_prefix.reset(); }
    void SetUp() override { ASSERT_EQ(s_install.exitCode, 0) << s_install.out << s_install.err; }

    static fs::path prefix() { return s_prefix->path(); }

    static std::unique_ptr<TempDir> s_prefix;
    static CommandResult s_install;
};

std::unique_ptr<TempDir> InstalledTree::s_prefix;
CommandResult InstalledTree::s_install;

TEST_F(InstalledTree, ProgramsLandInBinAndRunFromThere)
{
    const fs::path dt2pcap = prefix() / "bin/dt2pcap";
    ASSERT_TRUE(IsExecutableFile(dt2pcap));
    const CommandResult version = RunCommand({dt2pcap, "--version"});
    EXPECT_TRUE(std::regex_search(version.out, std::regex(R"(^dt2pcap \d+\.\d+\.\d+\.\d+\n)"))) << version.out;
    EXPECT_NE(version.out.find("\nLicense MIT: "), std::string::npos) << version.out;
    EXPECT_EQ(version.exitCode, 0);

    if (WITH_WINDOW)
        EXPECT_TRUE(IsExecutableFile(prefix() / "bin/tavrino-pcap-converter"));
    else
        EXPECT_FALSE(fs::exists(prefix() / "bin/tavrino-pcap-converter"));
}

// A name as a man page spells it: every '-' escaped.
std::string ManSpelling(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

TEST_F(InstalledTree, ManPageIsInSectionOneAndCoversEveryOption)
{
    const fs::path page = prefix() / "share/man/man1/dt2pcap.1.gz";
    ASSERT_TRUE(fs::is_regular_file(page));
    const CommandResult gunzip = RunCommand({"/usr/bin/env", "gzip", "-dc", page});
    EXPECT_EQ(gunzip.exitCode, 0) << gunzip.err;
    const std::string& text = gunzip.out;
    EXPECT_EQ(text.rfind(".TH DT2PCAP 1", 0), 0u);
    std::vector<std::string> manLines;
    std::istringstream manText(text);
    for (std::string line; std::getline(manText, line);)
        manLines.push_back(line);

    // Every option the installed program's --help lists is documented, a short
    // form on the same line as its long one.
    const CommandResult help = RunCommand({prefix() / "bin/dt2pcap", "--help"});
    ASSERT_EQ(help.exitCode, 0) << help.err;
    const std::regex option(R"(^ +(?:-([a-zA-Z]), )?--([a-z][a-z-]*))");
    std::istringstream helpLines(help.out);
    int options = 0;
    for (std::string line; std::getline(helpLines, line);) {
        std::smatch found;
        if (!std::regex_search(line, found, option))
            continue;
        ++options;
        const std::string longForm = ManSpelling("--" + found[2].str());
        const std::string shortForm = found[1].matched ? ManSpelling("-" + found[1].str()) : std::string();
        bool documented = false;
        for (const std::string& manLine : manLines)
            documented = documented || (manLine.find(longForm) != std::string::npos &&
                                        manLine.find(shortForm) != std::string::npos);
        EXPECT_TRUE(documented) << line;
    }
    EXPECT_GE(options, 2) << help.out;  // the help's option lines were read
}

TEST_F(InstalledTree, MenuEntryStartsTheWindowWithItsIcon)
{
    const fs::path entry = prefix() / "share/applications" / (std::string(APP_ID) + ".desktop");
    if (!WITH_WINDOW) {
        EXPECT_FALSE(fs::exists(entry)) << "a menu entry without the window it starts";
        return;
    }
    ASSERT_TRUE(fs::is_regular_file(entry));
    std::istringstream lines(ReadText(entry));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[Desktop Entry]");
    std::map<std::string, std::string> keys = DesktopEntryKeys(entry);
    EXPECT_EQ(keys["Type"], "Application");
    EXPECT_EQ(keys["Name"], "TAVRINO pcap converter");
    // Files chosen in a file manager arrive as arguments.
    EXPECT_EQ(keys["Exec"], "tavrino-pcap-converter %F");
    EXPECT_TRUE(IsExecutableFile(prefix() / "bin/tavrino-pcap-converter"));
    EXPECT_EQ(keys["MimeType"], "application/x-tavrino-capture;");
    EXPECT_EQ(keys["Icon"], "tavrino-pcap-converter");
    EXPECT_EQ(keys["Terminal"], "false");
    const std::string categories = ";" + keys["Categories"];
    EXPECT_NE(categories.find(";Network;"), std::string::npos) << categories;
    EXPECT_NE(categories.find(";Utility;"), std::string::npos) << categories;
}

// The PNG signature, then IHDR with the width and height `size`.
void ExpectPngOfSize(const std::string& png, int size, const fs::path& file)
{
    ASSERT_GE(png.size(), 24u) << file;
    EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << file;
    const auto u32At = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
    };
    EXPECT_EQ(u32At(16), static_cast<unsigned>(size)) << file;
    EXPECT_EQ(u32At(20), static_cast<unsigned>(size)) << file;
}

TEST_F(InstalledTree, IconsInTheHicolorThemeAtTheirSizes)
{
    if (!WITH_WINDOW)
        GTEST_SKIP() << "built without the window";
    const auto installedAt = [&](int size) {
        return prefix() / "share/icons/hicolor" / (std::to_string(size) + "x" + std::to_string(size)) / "apps" /
               "tavrino-pcap-converter.png";
    };
    for (int size : {16, 32}) {
        const fs::path source = fs::path(ICON_SOURCE_DIR) / ("icon" + std::to_string(size) + ".png");
        const fs::path installed = installedAt(size);
        if (!fs::exists(source)) {
            ADD_FAILURE() << source << " not drawn yet";
            continue;
        }
        ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
        const std::string png = ReadText(installed);
        EXPECT_TRUE(png == ReadText(source));
        ExpectPngOfSize(png, size, installed);
    }
    // Menus and launchers from 48 px up: rendered from the one drawing, which
    // is installed too.
    for (int size : {48, 64, 128, 256})
        ExpectPngOfSize(ReadText(installedAt(size)), size, installedAt(size));
    EXPECT_NE(ReadText(prefix() / "share/icons/hicolor/scalable/apps/tavrino-pcap-converter.svg").find("<svg"),
              std::string::npos);
}

// The release at the top of the installed changelog, which the build holds
// its version to: every other place that names a release names this one.
TEST_F(InstalledTree, EveryPlaceNamesTheChangelogsRelease)
{
    const CommandResult changelog =
        RunCommand({"/usr/bin/env", "gzip", "-dc", prefix() / "share/doc/tavrino-pcap-converter/changelog.gz"});
    std::smatch top;
    ASSERT_TRUE(std::regex_search(changelog.out, top, std::regex(R"(^tavrino-pcap-converter \(([0-9.]+)\) )")))
        << changelog.out << changelog.err;
    const std::string version = top[1];
    std::smatch trailer;
    ASSERT_TRUE(std::regex_search(changelog.out, trailer,
                                  std::regex(R"(\n -- .*>  [A-Z][a-z]{2}, (\d\d) ([A-Z][a-z]{2}) (\d{4}) )")))
        << changelog.out;
    const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const int month = static_cast<int>(months.find(trailer[2].str())) / 3 + 1;
    const std::string date = trailer[3].str() + (month < 10 ? "-0" : "-") + std::to_string(month) + "-" + trailer[1].str();

    const CommandResult dt2pcap = RunCommand({prefix() / "bin/dt2pcap", "--version"});
    EXPECT_EQ(dt2pcap.out.substr(0, dt2pcap.out.find('\n')), "dt2pcap " + version);
    const CommandResult page = RunCommand({"/usr/bin/env", "gzip", "-dc", prefix() / "share/man/man1/dt2pcap.1.gz"});
    EXPECT_NE(page.out.substr(0, page.out.find('\n')).find(" \"dt2pcap " + version + "\" "), std::string::npos)
        << page.out.substr(0, page.out.find('\n'));
    if (!WITH_WINDOW)
        return;
    const CommandResult windowPage =
        RunCommand({"/usr/bin/env", "gzip", "-dc", prefix() / "share/man/man1/tavrino-pcap-converter.1.gz"});
    const std::string header = windowPage.out.substr(0, windowPage.out.find('\n'));
    EXPECT_NE(header.find(" \"tavrino-pcap-converter " + version + "\" "), std::string::npos) << header;
    // What software centres list as its latest release.
    const std::string metainfo = ReadText(prefix() / "share/metainfo" / (std::string(APP_ID) + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<release version=\"" + version + "\" date=\"" + date + "\"/>"), std::string::npos)
        << metainfo;
}

TEST_F(InstalledTree, WindowHasAManPageAndThePackageItsCopyrightAndChangelog)
{
    const fs::path doc = prefix() / "share/doc/tavrino-pcap-converter";
    const std::string copyright = ReadText(doc / "copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    // The licence text is LICENSE's, each line indented, blank ones as " .".
    EXPECT_NE(copyright.find("\nLicense: Expat\n Permission is hereby granted"), std::string::npos) << copyright;
    EXPECT_NE(copyright.find("\n .\n THE SOFTWARE IS PROVIDED"), std::string::npos) << copyright;
    const CommandResult changelog = RunCommand({"/usr/bin/env", "gzip", "-dc", doc / "changelog.gz"});
    EXPECT_EQ(changelog.out.rfind("tavrino-pcap-converter (", 0), 0u) << changelog.err;
    if (!WITH_WINDOW)
        return;
    const CommandResult page =
        RunCommand({"/usr/bin/env", "gzip", "-dc", prefix() / "share/man/man1/tavrino-pcap-converter.1.gz"});
    EXPECT_EQ(page.out.rfind(".TH TAVRINO-PCAP-CONVERTER 1", 0), 0u) << page.err;
}

} // namespace

// The tools a desktop uses: the menu entry and the file type must pass their
// validators, and with the type database rebuilt (what the package triggers of
// shared-mime-info and desktop-file-utils do on installation) a capture is
// recognised by its name and by its header, and opens with the converter.
class InstalledFileType : public InstalledTree {
protected:
    void SetUp() override
    {
        InstalledTree::SetUp();
        if (!WITH_WINDOW)
            GTEST_SKIP() << "built without the window";
        for (const char* tool : {"desktop-file-validate", "xmllint", "update-mime-database",
                                 "update-desktop-database", "xdg-mime", "gio"}) {
            if (RunCommand({"/bin/sh", "-c", std::string("command -v ") + tool}).exitCode != 0)
                GTEST_SKIP() << tool << " is not installed (make deps)";
        }
    }

    // The scratch prefix in front of the system's data folders, and GNOME's
    // way (gio) of telling file types, which reads the shared-mime-info database.
    std::vector<std::string> DesktopEnvironment() const
    {
        return {"XDG_DATA_DIRS=" + (prefix() / "share").string() + ":/usr/share",
                "XDG_DATA_HOME=" + m_home.path(), "XDG_CURRENT_DESKTOP=GNOME"};
    }

    TempDir m_home;
};

TEST_F(InstalledFileType, MenuEntryAndTypeDefinitionValidate)
{
    const CommandResult desktop =
        RunCommand({"/usr/bin/env", "desktop-file-validate",
                    prefix() / "share/applications" / (std::string(APP_ID) + ".desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out << desktop.err;
    // Hints only (two main categories, on purpose: Network and Utilities).
    const std::string said = desktop.out + desktop.err;
    EXPECT_EQ(said.find("error:"), std::string::npos) << said;
    EXPECT_EQ(said.find("warning:"), std::string::npos) << said;
    const CommandResult xml =
        RunCommand({"/usr/bin/env", "xmllint", "--noout", prefix() / "share/mime/packages/tavrino-pcap-converter.xml"});
    EXPECT_EQ(xml.exitCode, 0) << xml.err;
}

TEST_F(InstalledFileType, SoftwareCentresValidateItsMetainfo)
{
    if (RunCommand({"/bin/sh", "-c", "command -v appstreamcli"}).exitCode != 0)
        GTEST_SKIP() << "appstreamcli is not installed (make deps)";
    const fs::path metainfo = prefix() / "share/metainfo" / (std::string(APP_ID) + ".metainfo.xml");
    const CommandResult validate = RunCommand({"/usr/bin/env", "appstreamcli", "validate", "--no-net", metainfo});
    EXPECT_EQ(validate.exitCode, 0) << validate.out << validate.err;
    const std::string text = ReadText(metainfo);
    // What a software centre launches is the installed menu entry of the window.
    const std::string launchableTag = "<launchable type=\"desktop-id\">";
    const std::size_t launchable = text.find(launchableTag);
    ASSERT_NE(launchable, std::string::npos) << text;
    const std::size_t idStart = launchable + launchableTag.size();
    const std::string desktopId = text.substr(idStart, text.find('<', idStart) - idStart);
    EXPECT_EQ(DesktopEntryKeys(prefix() / "share/applications" / desktopId)["Exec"], "tavrino-pcap-converter %F")
        << desktopId;
    EXPECT_NE(text.find("<mediatype>application/x-tavrino-capture</mediatype>"), std::string::npos);
}

TEST_F(InstalledFileType, CaptureIsRecognisedAndOpensWithTheConverter)
{
    const std::vector<std::string> env = DesktopEnvironment();
    const CommandResult mime = RunCommand({"/usr/bin/env", "update-mime-database", prefix() / "share/mime"}, "", env);
    ASSERT_EQ(mime.exitCode, 0) << mime.err;
    const CommandResult apps =
        RunCommand({"/usr/bin/env", "update-desktop-database", prefix() / "share/applications"}, "", env);
    ASSERT_EQ(apps.exitCode, 0) << apps.err;

    TempDir files;
    const std::string header = "TAVRINO DATA   ";
    std::vector<std::uint8_t> capture(header.begin(), header.end());
    capture.push_back(0);
    capture.resize(64, 0x55);
    for (const char* name : {"run.DT", "run.dt", "renamed.bin"}) {
        WriteFileBytes(files / name, capture);
        const CommandResult type = RunCommand({"/usr/bin/env", "xdg-mime", "query", "filetype", files / name}, "", env);
        EXPECT_EQ(type.out, "application/x-tavrino-capture\n") << name << type.err;
    }
    WriteFileBytes(files / "other.bin", std::vector<std::uint8_t>(64, 0x55));
    const CommandResult other = RunCommand({"/usr/bin/env", "xdg-mime", "query", "filetype", files / "other.bin"}, "", env);
    EXPECT_NE(other.out, "application/x-tavrino-capture\n");

    // The application a double-click uses is a menu entry that starts the
    // converter's window with the files.
    const CommandResult app =
        RunCommand({"/usr/bin/env", "xdg-mime", "query", "default", "application/x-tavrino-capture"}, "", env);
    ASSERT_EQ(app.exitCode, 0) << app.err;
    const std::string desktopId = app.out.substr(0, app.out.find('\n'));
    ASSERT_FALSE(desktopId.empty()) << "no application opens a capture";
    EXPECT_EQ(DesktopEntryKeys(prefix() / "share/applications" / desktopId)["Exec"], "tavrino-pcap-converter %F")
        << desktopId;
}
