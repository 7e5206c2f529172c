#include <gtest/gtest.h>
#include <vector>
#include "ReadableMemory.h"

namespace {

TEST(ReadableMemory, TellsWhatCanBeReadNow)
{
    char onStack[64] = {};
    std::vector<char> onHeap(64);
    EXPECT_TRUE(IsReadableMemory(onStack, sizeof onStack));
    EXPECT_TRUE(IsReadableMemory(onHeap.data(), onHeap.size()));
    EXPECT_TRUE(IsReadableMemory(onStack, 0));
    EXPECT_FALSE(IsReadableMemory(nullptr, 1));

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    BYTE *pages = static_cast<BYTE *>(VirtualAlloc(nullptr, 3 * page, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(nullptr, pages);
    ASSERT_NE(nullptr, VirtualAlloc(pages, page, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, VirtualAlloc(pages + page, page, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD));
    EXPECT_TRUE(IsReadableMemory(pages, page));
    EXPECT_FALSE(IsReadableMemory(pages + page - 4, 8)) << "into a guard page";
    EXPECT_FALSE(IsReadableMemory(pages + 2 * page, 1)) << "reserved only";
    VirtualFree(pages, 0, MEM_RELEASE);
}

} // namespace
