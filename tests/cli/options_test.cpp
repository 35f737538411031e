// The command line's forms, read without running the program.

#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParseResult Parse(std::vector<std::string> args, Options& options)
{
    args.insert(args.begin(), "dt2pcap");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    std::string error;
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
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
