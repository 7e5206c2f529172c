// The class library inside a DLL loaded at run time, used from two threads,
// unloaded and loaded again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

typedef int(__cdecl *DescribeModuleProc)(char *, int);

std::string Call(DescribeModuleProc describe)
{
    char text[MAX_PATH + 64];
    int n = describe(text, sizeof text);
    return std::string(text, n);
}

TEST(FoundationInDll, WorksAfterEachLoadAndOnTwoThreads)
{
    for (int load = 0; load < 2; ++load) {
        HMODULE dll = LoadLibraryA("foundation_probe.dll");
        ASSERT_NE(nullptr, dll) << GetLastError();
        // Through void (*)(), the generic function type, which -Wextra accepts.
        auto describe = reinterpret_cast<DescribeModuleProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(dll, "DescribeModule")));
        ASSERT_NE(nullptr, describe);

        // The DLL's global string starts empty on every load.
        EXPECT_EQ("foundation_probe.dll|1970|0", Call(describe));
        EXPECT_EQ("foundation_probe.dll|1970|1", Call(describe));

        std::string first, second;
        std::thread a([&] { first = Call(describe); });
        std::thread b([&] { second = Call(describe); });
        a.join();
        b.join();
        EXPECT_EQ(0u, first.find("foundation_probe.dll|1970|"));
        EXPECT_EQ(0u, second.find("foundation_probe.dll|1970|"));
        EXPECT_TRUE(FreeLibrary(dll));
    }
}

} // namespace
