// The console's windows in this test program: one application object (its
// start-up is not run), bound to a fresh program folder for each test, with
// a recording provider entry in place of the provider's control entry.
#pragma once

#include <ConsoleApp.h>
#include <ProgramFolderFixture.h>
#include <SpiIoBlock.h>

#include <gtest/gtest.h>

#include <vector>

struct SpiCall {
    DWORD code;
    SpiIoBlock block;
};

// Every call the windows made to the provider's control entry.
std::vector<SpiCall> &SpiCalls();
DWORD WINAPI RecordSpiIoControl(DWORD code, SpiIoBlock *block);

CConsoleApp &TheConsole();

// Whether the end of the main window asked the message loop to end.
bool QuitPosted();

class ConsoleWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the main window as start-up does: hidden, the application's
    // main window. False when it could not be made.
    bool MakeMainWindow();
    // Made, shown and brought to the front.
    bool ShowMainWindow();
    // Destroys the main window when it is there, and lets this thread's
    // message loops go on, so that a test can make it again.
    void EndMainWindow();
    HWND Main() const { return TheConsole().MainFrame().GetSafeHwnd(); }
    HWND Control(UINT id) const { return ::GetDlgItem(Main(), id); }

    CString Setting(LPCTSTR key, LPCTSTR table);

    CProgramFolderFixture m_folder;
};
