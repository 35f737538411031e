// The batch both windows run, against a host that records every call in order.

#include "batch.h"
#include "capture_builder.h"
#include "convert_capture_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

class RecordingBatchHost : public BatchHost {
public:
    int ConvertCaptureFile(std::string path) override { return ::ConvertCaptureFile(path, *this); }
    void ShowMessage(const std::string& text) override { calls.push_back("message " + text); }
    void BatchStarted(std::size_t fileCount) override { calls.push_back("start " + std::to_string(fileCount)); }
    void FileStarted(std::size_t number, const std::string& name) override
    {
        calls.push_back("file " + std::to_string(number) + " " + name);
        filesStarted = static_cast<int>(number);
    }
    bool Cancelled() const override { return cancelAfterFiles >= 0 && filesStarted >= cancelAfterFiles; }
    void BatchEnded() override { calls.push_back("end"); }

    int filesStarted = 0;
    int cancelAfterFiles = -1;
    Calls calls;
};

class Batch : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.DT", "b.DT", "c.DT"}) {
            EntryLog log;
            log.Frame({Bytes(60), 0});
            CaptureBuilder().Dinf().Monl(log).WriteTo(folder + name);
        }
    }

    TempDir dir;
    const std::string folder = dir.path() + "/";
    RecordingBatchHost host;
};

} // namespace

TEST_F(Batch, ConvertsInTheGivenOrderAndEndsBeforeDone)
{
    EXPECT_TRUE(RunBatch(folder, {"c.DT", "a.DT"}, host));
    EXPECT_EQ(host.calls, (Calls{"start 2", "file 1 c.DT", "file 2 a.DT", "end", "message Done."}));
    EXPECT_TRUE(PathExists(folder + "c.pcap"));
    EXPECT_FALSE(PathExists(folder + "b.pcap"));
}

TEST_F(Batch, FirstFailureOrCancelEndsItWithoutDone)
{
    WriteFileBytes(folder + "b.DT", {'n', 'o'});
    EXPECT_FALSE(RunBatch(folder, {"a.DT", "b.DT", "c.DT"}, host));
    EXPECT_EQ(host.calls, (Calls{"start 3", "file 1 a.DT", "file 2 b.DT",
                                 "message " + folder + "b.DT Read error:TAVRINO Header", "end"}));
    EXPECT_FALSE(PathExists(folder + "c.pcap"));

    // Cancel pressed while the first file was converted: it is the last.
    RecordingBatchHost cancelling;
    cancelling.cancelAfterFiles = 1;
    EXPECT_FALSE(RunBatch(folder, {"c.DT", "a.DT"}, cancelling));
    EXPECT_EQ(cancelling.calls, (Calls{"start 2", "file 1 c.DT", "end"}));
}
