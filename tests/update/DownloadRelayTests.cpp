#include "ConsoleMessages.h"
#include "DownloadCallback.h"
#include "LoopbackHttpServer.h"
#include "ProgressTally.h"
#include "StepsHarness.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(DownloadCallback, AnswersItsInterfacesAndCountsWithoutFreeing)
{
    CDownloadCallback callback(nullptr, nullptr);
    struct Row {
        const IID *iid;
        HRESULT result;
    } rows[] = {{&IID_IUnknown, S_OK}, {&IID_IBindStatusCallback, S_OK},
                {&IID_IStream, E_NOINTERFACE}, {&IID_IBinding, E_NOINTERFACE}};
    ULONG expectedCount = 1;
    for (const Row &row : rows) {
        void *object = reinterpret_cast<void *>(1);
        EXPECT_EQ(row.result, callback.QueryInterface(*row.iid, &object));
        if (row.result == S_OK) {
            EXPECT_EQ(static_cast<IBindStatusCallback *>(&callback), object);
            ++expectedCount;
        } else {
            EXPECT_EQ(nullptr, object);
        }
    }
    EXPECT_EQ(expectedCount + 1, callback.AddRef());
    for (ULONG count = expectedCount; count > 0; --count)
        EXPECT_EQ(count, callback.Release());
    EXPECT_EQ(0u, callback.Release());  // never freed: it lives on the stack
    LONG priority = 0;
    EXPECT_EQ(E_NOTIMPL, callback.GetPriority(&priority));
    EXPECT_EQ(S_OK, callback.OnStartBinding(0, nullptr));
    EXPECT_EQ(S_OK, callback.OnLowResource(0));
    EXPECT_EQ(S_OK, callback.OnStopBinding(S_OK, nullptr));
    DWORD flags = 7;
    EXPECT_EQ(S_OK, callback.GetBindInfo(&flags, nullptr));
    EXPECT_EQ(7u, flags);
    EXPECT_EQ(S_OK, callback.OnDataAvailable(0, 0, nullptr, nullptr));
    EXPECT_EQ(S_OK, callback.OnObjectAvailable(IID_IUnknown, nullptr));
    EXPECT_EQ(S_OK, callback.OnProgress(1, 2, 0, nullptr));  // no window, no event
}

TEST(DownloadCallback, RelaysProgressSynchronouslyAndTurnsAStopIntoAnAbort)
{
    StepsHarness harness(false);
    harness.Steps().StartDownload("", ULONG_MAX);  // the current bar starts from 0
    CEvent stop;
    CDownloadCallback callback(harness.Window(), stop);
    HRESULT results[3] = {};
    bool finished = false;
    std::thread download([&] {
        results[0] = callback.OnProgress(50, 200, BINDSTATUS_DOWNLOADINGDATA, L"");
        stop.SetEvent();
        results[1] = callback.OnProgress(150, 200, BINDSTATUS_DOWNLOADINGDATA, L"");
        results[2] = callback.OnProgress(200, 200, BINDSTATUS_ENDDOWNLOADDATA, L"");
        finished = true;
    });
    EXPECT_TRUE(harness.PumpUntil([&] { return finished; }, 5000));
    download.join();
    EXPECT_EQ(S_OK, results[0]);
    EXPECT_EQ(E_ABORT, results[1]);
    EXPECT_EQ(S_OK, results[2]);  // the event is consumed by the report that saw it
    EXPECT_TRUE(harness.Steps().StopNoted());
    EXPECT_EQ("current:0 current:25 current:75 current:100", harness.View().Only("current:"));
}

struct TallyRow {
    const char *name;
    int totalSize;
    std::vector<std::pair<ULONG, ULONG>> reports;  // progress, max
    bool newFileBeforeLast;
    const char *bars;                              // "current/total" per moving report
    int bytesSoFar;
};

const TallyRow kTallyRows[] = {
    {"two reports of one file", 400, {{50, 200}, {150, 200}}, false, "25/12 75/37", 150},
    {"unknown length moves nothing", 400, {{50, 0}, {150, 0}}, false, "", 0},
    {"no progress yet moves nothing", 400, {{0, 200}}, false, "", 0},
    {"no total leaves the total bar at 0", 0, {{100, 200}}, false, "50/0", 100},
    {"a second file counts from 0", 400, {{200, 200}, {100, 200}}, true, "100/50 50/75", 300},
    {"a report beyond the length gives a value the bar ignores", 200, {{300, 200}}, false,
     "150/150", 300},
};

TEST(ProgressTally, Table)
{
    for (const TallyRow &row : kTallyRows) {
        SCOPED_TRACE(row.name);
        CProgressTally tally;
        tally.StartRun(row.totalSize);
        tally.StartFile();
        std::string bars;
        for (size_t i = 0; i < row.reports.size(); ++i) {
            if (row.newFileBeforeLast && i + 1 == row.reports.size())
                tally.StartFile();
            DownloadProgress report = {row.reports[i].first, row.reports[i].second, 0, nullptr};
            int current = -1, total = -1;
            if (tally.Take(report, current, total))
                bars += (bars.empty() ? "" : " ") + std::to_string(current) + "/" +
                        std::to_string(total);
        }
        EXPECT_EQ(row.bars, bars);
        EXPECT_EQ(row.bytesSoFar, tally.BytesSoFar());
    }
}

class RealDownload : public ::testing::Test
{
protected:
    LoopbackHttpServer server;
    StepsHarness harness{false};

    // Fetches the url; the result path, empty on failure.
    std::string Fetch(const std::string &url)
    {
        int before = harness.StepMessages();
        EXPECT_TRUE(harness.Steps().StartDownload(url.c_str(), ULONG_MAX));
        EXPECT_TRUE(harness.PumpUntil([&] { return harness.StepMessages() > before; }, 30000));
        EXPECT_FALSE(harness.Steps().DownloadRunning());
        return static_cast<LPCSTR>(harness.Steps().DownloadResult());
    }
};

TEST_F(RealDownload, A200KFileArrivesWholeWithTheBarsFollowingIt)
{
    std::string body = PatternBytes(200 * 1024, 'a');
    server.Serve("/release/big.bin", body);
    std::string result = Fetch(server.Url("/release/big.bin"));
    ASSERT_FALSE(result.empty());
    EXPECT_TRUE(UpdateTestFolder::Read(result) == body);
    EXPECT_EQ("name:big.bin", harness.View().Only("name:"));
    EXPECT_EQ(200 * 1024, harness.Steps().Tally().BytesSoFar());
    std::string current = harness.View().Only("current:");
    EXPECT_EQ(0u, current.find("current:0 current:0"));
    EXPECT_EQ(current.size() - 11, current.rfind("current:100"));
    DeleteFileA(result.c_str());
}

TEST_F(RealDownload, WithoutALengthTheBarsStay)
{
    server.Serve("/nolength.bin", PatternBytes(50000, 'b'), LoopbackHttpServer::NO_LENGTH);
    std::string result = Fetch(server.Url("/nolength.bin"));
    EXPECT_EQ(50000u, UpdateTestFolder::Read(result).size());
    EXPECT_EQ("current:0 current:0", harness.View().Only("current:"));
    EXPECT_EQ("", harness.View().Only("total:"));
    DeleteFileA(result.c_str());
}

TEST_F(RealDownload, ABodyThatRunsPastItsLimitFailsTheDownload)
{
    struct Row {
        const char *name;
        LoopbackHttpServer::Way way;
        size_t length;
        ULONG limit;
    } rows[] = {{"endless", LoopbackHttpServer::ENDLESS, 0, 100 * 1024},
                {"endless past a small limit", LoopbackHttpServer::ENDLESS, 1, 3000},
                {"longer than its limit", LoopbackHttpServer::WITH_LENGTH, 300 * 1024, 100 * 1024},
                {"without a length", LoopbackHttpServer::NO_LENGTH, 300 * 1024, 100 * 1024}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::string path = std::string("/") + (row.way == LoopbackHttpServer::ENDLESS ? "e" : "l") +
                           std::to_string(row.length) + ".bin";
        server.Serve(path, PatternBytes(row.length, 'l'), row.way);
        int before = harness.StepMessages();
        ASSERT_TRUE(harness.Steps().StartDownload(server.Url(path).c_str(), row.limit));
        // A binding that reads on without reporting is ended by the rule
        // for downloads that tell nothing.
        EXPECT_TRUE(harness.PumpUntil([&] { return harness.StepMessages() > before; },
                                      CUpdateSteps::DOWNLOAD_STALL_LIMIT + 15000));
        EXPECT_TRUE(harness.Steps().DownloadResult().IsEmpty());
        EXPECT_FALSE(harness.Steps().StopNoted());
    }
}

TEST_F(RealDownload, ASecondStartStopsTheRunningDownload)
{
    server.Serve("/slow.bin", PatternBytes(400 * 1024, 'c'), LoopbackHttpServer::SLOW);
    ASSERT_TRUE(harness.Steps().StartDownload(server.Url("/slow.bin").c_str(), ULONG_MAX));
    EXPECT_TRUE(harness.PumpUntil([&] { return !harness.View().Only("total:").empty(); }, 10000));
    DWORD start = GetTickCount();
    EXPECT_TRUE(harness.Steps().StartDownload("http://127.0.0.1:1/other.bin", ULONG_MAX));
    EXPECT_TRUE(harness.PumpUntil([&] { return harness.StepMessages() > 0; }, 10000));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_TRUE(harness.Steps().StopNoted());
    EXPECT_TRUE(harness.Steps().DownloadResult().IsEmpty());
    EXPECT_EQ(1, harness.Steps().Step());
    EXPECT_EQ("name:slow.bin", harness.View().Only("name:"));
    EXPECT_EQ("", harness.View().Only("box:"));
}

TEST_F(RealDownload, AStopEndsADownloadThatHearsNothingWithinTheSecond)
{
    for (LoopbackHttpServer::Way way : {LoopbackHttpServer::STALL, LoopbackHttpServer::DRIP}) {
        SCOPED_TRACE(way == LoopbackHttpServer::STALL ? "stall" : "drip");
        std::string path = way == LoopbackHttpServer::STALL ? "/quiet.bin" : "/drip.bin";
        server.Serve(path, PatternBytes(1000, 'q'), way);
        StepsHarness stopped(false);
        ASSERT_TRUE(stopped.Steps().StartDownload(server.Url(path).c_str(), ULONG_MAX));
        stopped.PumpUntil([] { return false; }, 1500);
        DWORD start = GetTickCount();
        EXPECT_TRUE(stopped.Steps().StartDownload("http://127.0.0.1:1/other.bin", ULONG_MAX));
        EXPECT_TRUE(stopped.PumpUntil([&] { return stopped.StepMessages() > 0; }, 10000));
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_FALSE(stopped.Steps().DownloadRunning());
        EXPECT_TRUE(stopped.Steps().StopNoted());
        EXPECT_EQ(1, stopped.Steps().Step());
    }
}

TEST_F(RealDownload, AnEmptyUrlStartsNothing)
{
    EXPECT_FALSE(harness.Steps().StartDownload("", ULONG_MAX));
    EXPECT_FALSE(harness.Steps().DownloadRunning());
    harness.PumpUntil([] { return false; }, 300);
    EXPECT_EQ(0, harness.StepMessages());
    EXPECT_EQ("current:0", harness.View().Only("current:"));
    EXPECT_EQ("", harness.View().Only("name:"));
}

TEST_F(RealDownload, AUrlWithoutASlashIsShownWhole)
{
    // Not fetchable, but valid enough to start: the label names it whole.
    harness.Steps().StartDownload("about:blank.bin", ULONG_MAX);
    harness.PumpUntil([&] { return harness.StepMessages() > 0; }, 10000);
    EXPECT_EQ("name:about:blank.bin", harness.View().Only("name:"));
}

TEST(RealDownloadClose, AClosingDialogStopsTheDownloadAndWaitsForIt)
{
    LoopbackHttpServer server;
    server.Serve("/slow.bin", PatternBytes(1024 * 1024, 'd'), LoopbackHttpServer::SLOW);
    StepsHarness harness(false);
    ASSERT_TRUE(harness.Steps().StartDownload(server.Url("/slow.bin").c_str(), ULONG_MAX));
    EXPECT_TRUE(harness.PumpUntil([&] { return !harness.View().Only("total:").empty(); }, 10000));
    DWORD start = GetTickCount();
    EXPECT_TRUE(harness.Close());
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(harness.Steps().DownloadRunning());
    // The thread's end message finds nothing left to do.
    harness.PumpUntil([] { return false; }, 300);
    EXPECT_EQ(0, harness.StepMessages());
}

} // namespace
