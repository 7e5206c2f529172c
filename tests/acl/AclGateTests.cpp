// The writer flag and reader count, within one process and across two
// processes that share the header through a named mapping.
#include <AclGate.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kHoldReader[] = "--hold-reader";
const char kTryReader[] = "--try-reader";

enum { CHILD_ENTERED = 1, CHILD_REFUSED = 2, CHILD_NO_MAPPING = 3 };

// Counts the steps of a wait instead of sleeping them.
int g_steps;
void (*g_onStep)(int step);
void CountStep(DWORD milliseconds)
{
    EXPECT_EQ(DWORD(ACL_WAIT_STEP_MS), milliseconds);
    ++g_steps;
    if (g_onStep)
        g_onStep(g_steps);
}

class GateTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_steps = 0;
        g_onStep = nullptr;
    }
    AclHeader m_header = {};
};

TEST_F(GateTest, ReadersAreCountedWhileNoWriterIsInside)
{
    CAclGate gate(&m_header, CountStep);
    ASSERT_TRUE(gate.TryEnterRead());
    ASSERT_TRUE(gate.TryEnterRead());
    EXPECT_EQ(2, m_header.ReaderCount);
    gate.LeaveRead();
    gate.LeaveRead();
    EXPECT_EQ(0, m_header.ReaderCount);
    EXPECT_EQ(0, m_header.WriterFlag);
}

TEST_F(GateTest, AReaderIsRefusedWhileTheWriterFlagIsSet)
{
    CAclGate gate(&m_header, CountStep);
    gate.LockForWrite();
    EXPECT_EQ(1, m_header.WriterFlag);
    EXPECT_FALSE(gate.TryEnterRead());
    EXPECT_EQ(0, m_header.ReaderCount);
    gate.Unlock();
    EXPECT_EQ(0, m_header.WriterFlag);
    EXPECT_TRUE(gate.TryEnterRead());
    EXPECT_EQ(0, g_steps);
}

TEST_F(GateTest, LeavingNeverTakesTheCountBelowZero)
{
    CAclGate gate(&m_header, CountStep);
    gate.LeaveRead();
    EXPECT_EQ(0, m_header.ReaderCount);
    // A reader inside while the writer forced the count to 0 leaves later.
    ASSERT_TRUE(gate.TryEnterRead());
    gate.TakeOver();
    EXPECT_EQ(0, m_header.ReaderCount);
    gate.LeaveRead();
    EXPECT_EQ(0, m_header.ReaderCount);
    EXPECT_EQ(0, m_header.WriterFlag);
}

TEST_F(GateTest, TheWriterWaitsForTheReaderToLeave)
{
    static CAclGate *reader;
    CAclGate gate(&m_header, CountStep);
    reader = &gate;
    ASSERT_TRUE(gate.TryEnterRead());
    g_onStep = [](int step) {
        if (step == 3)
            reader->LeaveRead();
    };
    gate.LockForWrite();
    EXPECT_EQ(3, g_steps);
    EXPECT_EQ(1, m_header.WriterFlag);
    EXPECT_EQ(0, m_header.ReaderCount);
}

TEST_F(GateTest, AReaderThatNeverLeavesIsDroppedAfterFiftySteps)
{
    CAclGate gate(&m_header, CountStep);
    ASSERT_TRUE(gate.TryEnterRead());
    ASSERT_TRUE(gate.TryEnterRead());
    gate.TakeOver();
    EXPECT_EQ(ACL_READER_WAIT_STEPS, g_steps);
    EXPECT_EQ(0, m_header.ReaderCount);
    EXPECT_EQ(0, m_header.WriterFlag);
}

TEST_F(GateTest, ASecondWriterWaitsForTheFirst)
{
    static CAclGate *first;
    CAclGate gate(&m_header, CountStep);
    first = &gate;
    gate.LockForWrite();
    g_onStep = [](int step) {
        if (step == 2)
            first->Unlock();
    };
    gate.LockForWrite();
    EXPECT_EQ(2, g_steps);
    EXPECT_EQ(1, m_header.WriterFlag);
}

// Readers on several threads never find the writer inside with them.
TEST_F(GateTest, NoReaderIsInsideWhileTheWriterWrites)
{
    std::atomic<bool> writing(false), stop(false);
    std::atomic<int> violations(0), reads(0);
    auto sleepBriefly = [](DWORD) { Sleep(1); };
    CAclGate writer(&m_header, sleepBriefly);
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i)
        readers.emplace_back([&] {
            CAclGate gate(&m_header, sleepBriefly);
            while (!stop) {
                if (!gate.TryEnterRead())
                    continue;
                if (writing)
                    ++violations;
                ++reads;
                gate.LeaveRead();
            }
        });
    for (int i = 0; i < 200 || reads < 1000; ++i) {
        writer.LockForWrite();
        writing = true;
        Sleep(0);
        writing = false;
        writer.Unlock();
        Sleep(0);
    }
    stop = true;
    for (std::thread &t : readers)
        t.join();
    EXPECT_EQ(0, violations.load());
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(0, m_header.ReaderCount);
    EXPECT_EQ(0, m_header.WriterFlag);
}

// A header in a named mapping, shared with child processes of this program.
class SharedGateTest : public GateTest {
protected:
    void SetUp() override
    {
        GateTest::SetUp();
        wsprintfA(m_name, "qfw-acl-gate-%lu", GetCurrentProcessId());
        m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(AclHeader), m_name);
        ASSERT_NE(nullptr, m_mapping);
        m_shared = static_cast<AclHeader *>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_NE(nullptr, m_shared);
    }
    void TearDown() override
    {
        UnmapViewOfFile(m_shared);
        CloseHandle(m_mapping);
    }
    DWORD RunChild(const char *mode)
    {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string command = std::string("\"") + self + "\" " + mode + " " + m_name;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi))
            return DWORD(-1);
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = DWORD(-1);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    char m_name[64];
    HANDLE m_mapping = nullptr;
    AclHeader *m_shared = nullptr;
};

TEST_F(SharedGateTest, AReaderInAnotherProcessStaysOutWhileTheWriterWrites)
{
    CAclGate gate(m_shared, CountStep);
    gate.LockForWrite();
    EXPECT_EQ(DWORD(CHILD_REFUSED), RunChild(kTryReader));
    EXPECT_EQ(0, m_shared->ReaderCount);
    gate.Unlock();
    EXPECT_EQ(DWORD(CHILD_ENTERED), RunChild(kTryReader));
    EXPECT_EQ(0, m_shared->ReaderCount);
}

TEST_F(SharedGateTest, AReaderWhoseProcessDiedInsideIsDropped)
{
    ASSERT_EQ(DWORD(CHILD_ENTERED), RunChild(kHoldReader));
    EXPECT_EQ(1, m_shared->ReaderCount);
    CAclGate gate(m_shared, CountStep);
    gate.LockForWrite();
    EXPECT_EQ(ACL_READER_WAIT_STEPS, g_steps);
    EXPECT_EQ(0, m_shared->ReaderCount);
    EXPECT_EQ(1, m_shared->WriterFlag);
    gate.Unlock();
}

// Child mode: enter as a reader of the named header; leave again unless the
// mode is to hold, in which case the process ends inside.
int RunReader(const char *mode, const char *name)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!mapping)
        return CHILD_NO_MAPPING;
    AclHeader *header = static_cast<AclHeader *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!header)
        return CHILD_NO_MAPPING;
    CAclGate gate(header);
    if (!gate.TryEnterRead())
        return CHILD_REFUSED;
    if (strcmp(mode, kHoldReader) != 0)
        gate.LeaveRead();
    return CHILD_ENTERED;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && (strcmp(argv[1], kHoldReader) == 0 || strcmp(argv[1], kTryReader) == 0))
        return RunReader(argv[1], argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
