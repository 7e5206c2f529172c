// The list of overlapped receives that wait for their completion.
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include "PendingRecvList.h"

namespace {

PendingRecv Entry(SOCKET s, WSAOVERLAPPED *overlapped, DWORD length = 16)
{
    PendingRecv entry = {};
    entry.Socket = s;
    entry.FirstBuffer.len = length;
    entry.Overlapped = overlapped;
    return entry;
}

TEST(PendingRecvList, SameOverlappedKeepsTheLaterEntry)
{
    CPendingRecvList list;
    WSAOVERLAPPED key = {};
    EXPECT_EQ(1, list.Add(Entry(1, &key, 10)));
    EXPECT_EQ(1, list.Add(Entry(2, &key, 20)));
    EXPECT_EQ(1, list.Count());
    PendingRecv taken = {};
    ASSERT_TRUE(list.Take(&key, taken));
    EXPECT_EQ(2u, taken.Socket);
    EXPECT_EQ(20u, taken.FirstBuffer.len);
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(list.Take(&key, taken));
}

TEST(PendingRecvList, RemoveMovesLaterEntriesDown)
{
    CPendingRecvList list;
    WSAOVERLAPPED keys[3] = {};
    for (int i = 0; i < 3; ++i)
        list.Add(Entry(i + 1, &keys[i]));
    EXPECT_EQ(1, list.Find(&keys[1]));
    list.Remove(0);
    EXPECT_EQ(-1, list.Find(&keys[0]));
    EXPECT_EQ(0, list.Find(&keys[1]));
    EXPECT_EQ(1, list.Find(&keys[2]));
    list.Remove(5);
    EXPECT_EQ(2, list.Count());
}

// Threads that post and complete receives at once never take each other's
// entries.
TEST(PendingRecvList, ConcurrentThreadsTakeTheirOwnEntries)
{
    CPendingRecvList list;
    const int kThreads = 8, kRounds = 2000;
    std::vector<int> lost(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            WSAOVERLAPPED key = {};
            for (int round = 0; round < kRounds; ++round) {
                list.Add(Entry(static_cast<SOCKET>(t + 1), &key, static_cast<DWORD>(round)));
                PendingRecv taken = {};
                if (!list.Take(&key, taken) || taken.Socket != static_cast<SOCKET>(t + 1) ||
                    taken.FirstBuffer.len != static_cast<DWORD>(round))
                    ++lost[t];
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(0, lost[t]) << "thread " << t;
    EXPECT_EQ(0, list.Count());
}

} // namespace
