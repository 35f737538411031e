// The command line's forms, read without running the program.

#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParseResult Parse(std::vector<std::string> args, Options& options, std::string& error)
{
    args.insert(args.begin(), "dt2pcap");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

ParseResult Parse(const std::vector<std::string>& args, Options& options)
{
    std::string error;
    return Parse(args, options, error);
}

// The usage error's reason, or "" when the command line was accepted.
std::string ErrorOf(const std::vector<std::string>& args)
{
    Options options;
    std::string error;
    return Parse(args, options, error) == ParseResult::UsageError ? error : "";
}

} // namespace

TEST(OptionForms, ShortOnesBundleAndTakeTheirArgumentAttachedOrNext)
{
    Options bundled;
    ASSERT_EQ(Parse({"-kqoout.pcap", "a.DT"}, bundled), ParseResult::Run);
    EXPECT_TRUE(bundled.keepGoing);
    EXPECT_TRUE(bundled.quiet);
    EXPECT_EQ(bundled.output, "out.pcap");
    EXPECT_EQ(bundled.files, std::vector<std::string>{"a.DT"});

    Options next;
    ASSERT_EQ(Parse({"a.DT", "-qo", "-k.pcap"}, next), ParseResult::Run);
    EXPECT_FALSE(next.keepGoing);  // "-k.pcap" is -o's argument
    EXPECT_EQ(next.output, "-k.pcap");
    EXPECT_EQ(next.files, std::vector<std::string>{"a.DT"});
}

TEST(OptionForms, LongOnesMayBeShortenedAndTakeArgumentsWithOrWithoutEquals)
{
    Options options;
    ASSERT_EQ(Parse({"--keep", "--qu", "--out=x=y.pcap", "--tz", "Asia/Tokyo", "a.DT"}, options), ParseResult::Run);
    EXPECT_TRUE(options.keepGoing);
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.output, "x=y.pcap");
    EXPECT_EQ(options.timeZone, std::optional<std::string>("Asia/Tokyo"));

    Options empty;
    ASSERT_EQ(Parse({"--tz=", "a.DT"}, empty), ParseResult::Run);
    EXPECT_EQ(empty.timeZone, std::optional<std::string>(""));

    Options standardOutput;
    ASSERT_EQ(Parse({"-o-", "-"}, standardOutput), ParseResult::Run);
    EXPECT_EQ(standardOutput.output, "-");
    EXPECT_EQ(standardOutput.files, std::vector<std::string>{"-"});
}

// As glibc 2.36's getopt_long words it, candidates in the options' order.
TEST(OptionForms, AShortenedNameOfTwoOptionsIsAmbiguousAndNamesBoth)
{
    EXPECT_EQ(ErrorOf({"--ver", "a.DT"}), "option '--ver' is ambiguous; possibilities: '--verbose' '--version'");
    EXPECT_EQ(ErrorOf({"a.DT", "--ver=x"}), "option '--ver=x' is ambiguous; possibilities: '--verbose' '--version'");
    EXPECT_EQ(ErrorOf({"--v", "a.DT"}), "option '--v' is ambiguous; possibilities: '--verbose' '--version'");
    EXPECT_EQ(ErrorOf({"--vex", "a.DT"}), "unrecognized option '--vex'");

    // One letter more and each is its own.
    Options verbose;
    ASSERT_EQ(Parse({"--verb", "a.DT"}, verbose), ParseResult::Run);
    EXPECT_TRUE(verbose.verbose);
    Options version;
    EXPECT_EQ(Parse({"--vers", "a.DT"}, version), ParseResult::Version);
}
