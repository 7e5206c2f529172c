#include "ForeignBoxes.h"
#include "GuiPump.h"
#include "HostDialog.h"
#include "PercentBar.h"
#include "RealInput.h"
#include "TestScreens.h"
#include "UpdateDialog.h"
#include "UpdateMarkers.h"
#include "UpdateResources.h"
#include "FolderTree.h"
#include "UpdateRunFixture.h"

#include "PathText.h"

namespace {

// The shipped texts and picture, from <build>/program beside <build>/bin.
std::string ShippedFile(const char *name)
{
    return std::string(GetModuleDir(nullptr, false)) + "..\\program\\" + name;
}

std::string ShippedText(const char *key)
{
    char text[1024] = {};
    GetPrivateProfileStringA("UPDATE", key, "", text, sizeof text - 1,
                             ShippedFile("Language.ini").c_str());
    return text;
}

// The real Update.exe in the program folder of the release fixture.
class UpdaterApp : public UpdateRunFixture
{
public:
    std::unique_ptr<ProgramCopy> updater;

    void LayOutProgramFolder(bool withShippedFiles = true)
    {
        if (withShippedFiles) {
            program.Write("Language.ini", UpdateTestFolder::Read(ShippedFile("Language.ini")));
            program.Write("Skins\\Default\\BigIcon.bmp",
                          UpdateTestFolder::Read(ShippedFile("Skins\\Default\\BigIcon.bmp")));
        }
        updater.reset(new ProgramCopy(program.Path(), "Update.exe", "Update.exe"));
    }

    // Starts Update.exe and waits for its dialog.
    HWND StartUpdater()
    {
        EXPECT_TRUE(updater->Launch());
        HWND dialog = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] { return (dialog = updater->WindowWithProperty(UPDATE_INSTANCE_MARKER)) != nullptr; },
            10000));
        return dialog;
    }

    std::string StepText(HWND dialog) { return WindowText(GetDlgItem(dialog, IDC_STEP_TEXT)); }

    bool WaitForStepText(HWND dialog, const char *key, DWORD milliseconds = 30000)
    {
        return PumpUntil([&] { return StepText(dialog) == ShippedText(key); }, milliseconds);
    }

    // Waits for the box, saves it, checks its text and caption, clicks OK
    // and waits for the updater to end.
    void AnswerBox(const char *key, DWORD milliseconds = 60000)
    {
        ForeignBox box;
        ASSERT_TRUE(WaitForForeignBox(updater->ProcessId(), box, milliseconds)) << key;
        SaveTestScreen(box.window, key);
        EXPECT_EQ(ShippedText(key), box.text);
        EXPECT_EQ("Update", box.caption);
        ClickOk(box);
        EXPECT_EQ(0u, updater->WaitForExit(10000));
    }
};

TEST(UpdateDialogPlacement, CentresTheDialogOnTheFullScreenArea)
{
    CRect place = CUpdateDialog::Placement(1024, 738, 18);
    EXPECT_EQ(248, place.left);
    EXPECT_EQ(293, place.top);
    EXPECT_EQ(527, place.Width());
    EXPECT_EQ(152, place.Height());
}

// What a bar at the position must show: the filled part and the centred
// percent, drawn the way a person expects to read them.
CDib ExpectedBar(HWND bar, int filled, const char *text)
{
    RECT client;
    GetClientRect(bar, &client);
    HDC screen = GetDC(bar);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT part = {0, 0, filled, client.bottom};
    HBRUSH brush = CreateSolidBrush(CPercentBar::BAR_COLOR);
    FillRect(dc, &part, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    CDib dib(client.right, client.bottom);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            dib.SetPixel(x, y, GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(bar, screen);
    return dib;
}

int DifferingPixels(const CDib &a, const CDib &b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return -1;
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            differing += a.Pixel(x, y) != b.Pixel(x, y);
    return differing;
}

TEST(PercentBar, ShowsItsPositionAndIgnoresValuesOutsideItsRange)
{
    CHostDialog host;
    host.Show();
    CPercentBar bar;
    ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 325, 28),
                           CWnd::FromHandle(host.Handle()), IDC_CURRENT_BAR));
    EXPECT_EQ(37, bar.SetPos(37));
    PumpFor(200);
    CDib shown = SaveTestScreen(bar.GetSafeHwnd(), "at-37");
    EXPECT_EQ(0, DifferingPixels(shown, ExpectedBar(bar.GetSafeHwnd(), 116, "37%")));
    // The filled part ends at 116 pixels, text or no text.
    EXPECT_EQ(CPercentBar::BAR_COLOR, shown.Pixel(115, 1));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), shown.Pixel(116, 1));

    for (int ignored : {-1, 150, 101}) {
        EXPECT_EQ(37, bar.SetPos(ignored)) << ignored;
        PumpFor(100);
        EXPECT_EQ(0, DifferingPixels(CaptureWindow(bar.GetSafeHwnd()), shown)) << ignored;
    }
    for (int accepted : {0, 100}) {
        EXPECT_EQ(accepted, bar.SetPos(accepted));
        PumpFor(100);
        EXPECT_EQ(0, DifferingPixels(CaptureWindow(bar.GetSafeHwnd()),
                                     ExpectedBar(bar.GetSafeHwnd(), accepted ? 315 : 0,
                                                 accepted ? "100%" : "0%")));
    }
    bar.DestroyWindow();
}

TEST_F(UpdaterApp, TheDialogHasItsSizePlaceControlsAndTexts)
{
    installed.checkUrl = "";  // the run waits at its first step
    Publish();
    LayOutProgramFolder();
    HWND dialog = StartUpdater();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitForStepText(dialog, "MINFOR_CHECK"));
    CDib shot = SaveTestScreen(dialog, "start");

    RECT window;
    GetWindowRect(dialog, &window);
    CRect expected = CUpdateDialog::Placement(GetSystemMetrics(SM_CXFULLSCREEN),
                                              GetSystemMetrics(SM_CYFULLSCREEN),
                                              GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(expected, CRect(window));

    const struct {
        int id;
        RECT rect;
        std::string text;
    } controls[] = {
        {IDC_STEP_TEXT, {105, 13, 510, 33}, ShippedText("MINFOR_CHECK")},
        {IDC_FILE_TEXT, {105, 35, 510, 49}, "Static"},
        {IDC_STOP, {424, 91, 512, 113}, ShippedText("BUT_STOP")},
        {IDC_CURRENT_LABEL, {0, 74, 102, 88}, ShippedText("L_P1")},
        {IDC_TOTAL_LABEL, {5, 97, 102, 111}, ShippedText("L_P2")},
        {IDC_CURRENT_BAR, {105, 71, 420, 89}, ""},
        {IDC_TOTAL_BAR, {105, 94, 420, 112}, ""},
    };
    for (const auto &control : controls) {
        HWND item = GetDlgItem(dialog, control.id);
        ASSERT_TRUE(item) << control.id;
        RECT rect;
        GetWindowRect(item, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
        EXPECT_EQ(CRect(control.rect), CRect(rect)) << control.id;
        EXPECT_EQ(control.text, WindowText(item)) << control.id;
    }
    EXPECT_EQ(ShippedText("L_Title"), WindowText(dialog));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_STEP_TEXT)));

    // The picture at (20, 10) of the client area: not the dialog's face.
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    RECT picture = {origin.x - window.left + 20, origin.y - window.top + 10,
                    origin.x - window.left + 68, origin.y - window.top + 58};
    int area = (picture.right - picture.left) * (picture.bottom - picture.top);
    EXPECT_LT(shot.CountColour(GetSysColor(COLOR_BTNFACE), picture), area / 2);

    // The stop button stops nothing.
    ClickControl(GetDlgItem(dialog, IDC_STOP));
    PumpFor(300);
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), updater->WaitForExit(0));

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, updater->WaitForExit(10000));
    EXPECT_EQ(kOldFiles, ProgramFiles());
}

TEST_F(UpdaterApp, WithoutTextsOrPictureTheDialogStillRuns)
{
    installed.checkUrl = "";
    Publish();
    LayOutProgramFolder(false);
    HWND dialog = StartUpdater();
    ASSERT_TRUE(dialog);
    PumpFor(500);
    SaveTestScreen(dialog, "no-texts");
    EXPECT_EQ("", WindowText(dialog));
    EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_STOP)));
    EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_CURRENT_LABEL)));
    EXPECT_EQ("", StepText(dialog));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, updater->WaitForExit(10000));
}

TEST_F(UpdaterApp, AWholeUpdateEndsWithTheConsoleRunningAgain)
{
    std::string bigCore = PatternBytes(600 * 1024, 'u');
    server.files[0] = FileOf("core.dll", "2004-02-01 10:00", bigCore);
    Publish();
    http.Serve("/mirror/core.dll", bigCore, LoopbackHttpServer::SLOW);
    LayOutProgramFolder();
    StartConsole();
    HWND dialog = StartUpdater();
    ASSERT_TRUE(WaitForStepText(dialog, "STEP_DOWNLOAD"));
    PumpUntil([&] { return WindowText(GetDlgItem(dialog, IDC_FILE_TEXT)).find("core.dll") !=
                           std::string::npos; },
              10000);
    PumpFor(1000);
    SaveTestScreen(dialog, "mid-download");
    EXPECT_EQ("Downloading core.dll", WindowText(GetDlgItem(dialog, IDC_FILE_TEXT)));
    EXPECT_EQ(0u, updater->WaitForExit(60000));
    EXPECT_EQ("core.dll:other keep.dll:kept Skins\\Default\\New.bmp:new", ProgramFiles());
    EXPECT_EQ(bigCore, UpdateTestFolder::Read(program.File("core.dll")));
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
    EXPECT_FALSE(program.Exists("UpdateTemp"));
}

TEST_F(UpdaterApp, EscapeMidDownloadEndsTheUpdaterWithNothingChanged)
{
    std::string bigCore = PatternBytes(2 * 1024 * 1024, 'e');
    server.files[0] = FileOf("core.dll", "2004-02-01 10:00", bigCore);
    Publish();
    http.Serve("/mirror/core.dll", bigCore, LoopbackHttpServer::SLOW);
    LayOutProgramFolder();
    HWND dialog = StartUpdater();
    ASSERT_TRUE(WaitForStepText(dialog, "STEP_DOWNLOAD"));
    PumpFor(500);
    BringToFront(dialog);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(0u, updater->WaitForExit(5000));
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
}

TEST_F(UpdaterApp, EachBoxIsShownAndAnswered)
{
    struct Row {
        const char *key;
        std::function<void(UpdaterApp &)> setUp;
    } rows[] = {
        {"ERROR_BAD_LOCAL_CONFIG_FILE",
         [](UpdaterApp &f) { DeleteFileA(f.program.File("QfwUpdate.ini").c_str()); }},
        {"ERR_CHECK_FAILED",
         [](UpdaterApp &f) {
             f.http.Serve("/release/QfwUpdate.ini", "", LoopbackHttpServer::NOT_FOUND);
         }},
        {"ERR_DOWNLOAD_FAILED",
         [](UpdaterApp &f) {
             f.http.Serve("/mirror/core.dll", "", LoopbackHttpServer::NOT_FOUND);
         }},
        {"INF_NO_NEW_VERSION",
         [](UpdaterApp &f) { f.http.Serve("/release/QfwUpdate.ini", f.installed.Text()); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        UpdateTestFolder::RemoveTree(program.Path());
        CreateDirectoryA(program.Path().c_str(), nullptr);
        Publish();
        LayOutProgramFolder();
        row.setUp(*this);
        ASSERT_TRUE(updater->Launch());
        AnswerBox(row.key);
        EXPECT_EQ(kOldFiles, ProgramFiles());
    }
}

TEST_F(UpdaterApp, WithoutAConsoleToStartTheRestartFailsInABox)
{
    Publish();
    LayOutProgramFolder();
    ASSERT_TRUE(updater->Launch());
    AnswerBox("ERR_RESTART_FAILED", 90000);
    EXPECT_EQ(kNewFiles, ProgramFiles());
}

TEST_F(UpdaterApp, TheRunsThatStopShowTheirLastStep)
{
    // Step 7: only leftovers of an earlier run.
    Publish();
    http.Serve("/release/QfwUpdate.ini", installed.Text());
    program.Write("UpdateTemp\\left.dll", "left");
    LayOutProgramFolder();
    HWND dialog = StartUpdater();
    ASSERT_TRUE(WaitForStepText(dialog, "STEP_STOP_EXX"));
    SaveTestScreen(dialog, "step-7");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, updater->WaitForExit(10000));

    // Step 22: a file that cannot be replaced; the back-up is put back.
    DeleteTree(program.File("UpdateTemp").c_str());
    http.Serve("/release/QfwUpdate.ini", server.Text());
    ProgramCopy console(program.Path(), "QFW.exe");
    FileLock held(program.File("core.dll"), FILE_SHARE_READ);
    updater.reset(new ProgramCopy(program.Path(), "Update.exe", "Update.exe"));
    dialog = StartUpdater();
    ASSERT_TRUE(WaitForStepText(dialog, "STEP_UPDATE"));
    PumpFor(2500);
    SaveTestScreen(dialog, "step-22");
    EXPECT_EQ(ShippedText("STEP_UPDATE"), StepText(dialog));
    EXPECT_FALSE(program.Exists("UpdateBack"));
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, updater->WaitForExit(10000));
}

TEST_F(UpdaterApp, ASecondStartClosesTheFirstAndStartsNothing)
{
    installed.checkUrl = "";
    Publish();
    LayOutProgramFolder();
    HWND dialog = StartUpdater();
    ASSERT_TRUE(dialog);
    ProgramCopy second(program.Path(), "Update.exe", "Update.exe");
    ASSERT_TRUE(second.Launch());
    EXPECT_EQ(0u, second.WaitForExit(10000));
    EXPECT_EQ(0u, updater->WaitForExit(10000));
}

TEST_F(UpdaterApp, AMutexWithoutTheDialogStartsANormalUpdate)
{
    installed.checkUrl = "";
    Publish();
    LayOutProgramFolder();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, UPDATE_INSTANCE_MARKER);
    HWND dialog = StartUpdater();
    EXPECT_TRUE(dialog);
    EXPECT_TRUE(WaitForStepText(dialog, "MINFOR_CHECK"));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, updater->WaitForExit(10000));
    CloseHandle(mutex);
}

TEST_F(UpdaterApp, AProgramThatCannotBeStoppedEndsInABox)
{
    Publish();
    LayOutProgramFolder();
    program.Write("standin.mode", "ignore");
    program.Write("second\\standin.mode", "ignore");
    StartConsole();
    ProgramCopy second(program.File("second\\"), "QFW.exe");
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(updater->Launch());
    AnswerBox("ERR_STOP_FAILED", 90000);
    EXPECT_EQ(kOldFiles, ProgramFiles());
}

} // namespace
