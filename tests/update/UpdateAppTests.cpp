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
#include "UpdateManifest.h"

#include <shlobj.h>
#include <wininet.h>

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
    // The text is the key's, or the one given.
    void AnswerBox(const char *key, DWORD milliseconds = 60000, std::string text = "")
    {
        AnswerBoxAndGoOn(key, milliseconds, text);
        EXPECT_EQ(0u, updater->WaitForExit(10000));
    }

    // The same for a box after which the updater runs on.
    void AnswerBoxAndGoOn(const char *key, DWORD milliseconds = 60000, std::string text = "")
    {
        ForeignBox box;
        ASSERT_TRUE(WaitForForeignBox(updater->ProcessId(), box, milliseconds)) << key;
        SaveTestScreen(box.window, key);
        EXPECT_EQ(text.empty() ? ShippedText(key) : text, box.text);
        EXPECT_EQ("Update", box.caption);
        ClickOk(box);
        // The box is gone before the next one is looked for.
        PumpUntil([&] { return !IsWindow(box.window); }, 5000);
    }

    // The box text that names the back-up folder.
    std::string RestoreFailedText()
    {
        std::string text = ShippedText("ERR_RESTORE_FAILED");
        return text.replace(text.find("%s"), 2,
                            UpdateTestFolder::LongPath(program.Path()) + "UpdateBack");
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

TEST_F(UpdaterApp, WhatAFailedRunLeftIsClearedAndTheReleaseInstalled)
{
    // A failed run's working copy lists every file as fetched, and one of
    // its files is still there.
    Publish();
    ReleaseDescription leftover = server;
    leftover.programs.clear();
    leftover.mirrors.clear();
    program.Write("UpdateTemp\\QfwUpdate.ini", leftover.Text());
    program.Write("UpdateTemp\\core.dll", newCore);
    LayOutProgramFolder();
    StartConsole();
    // A run that ends well closes by itself; a box would hold it.
    ASSERT_TRUE(StartUpdater());
    EXPECT_EQ(0u, updater->WaitForExit(60000));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("/release/QfwUpdate.ini /mirror/core.dll /mirror/Skins/Default/New.bmp", Requests());
    EXPECT_FALSE(program.Exists("UpdateTemp"));
}

TEST_F(UpdaterApp, AFailedInstallSaysSoAndTheNextRunInstallsTheRelease)
{
    Publish();
    LayOutProgramFolder();
    StartConsole();
    {
        // Readable, so the back-up takes it, but not replaceable.
        FileLock held(program.File("core.dll"), FILE_SHARE_READ);
        HWND dialog = StartUpdater();
        ASSERT_TRUE(WaitForStepText(dialog, "STEP_UPDATE"));
        SaveTestScreen(dialog, "installing");
        AnswerBox("ERR_INSTALL_FAILED");
    }
    EXPECT_EQ("core.dll:old keep.dll:kept Skins\\Default\\New.bmp:new", ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    EXPECT_FALSE(program.Exists("UpdateBack"));
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));

    updater.reset(new ProgramCopy(program.Path(), "Update.exe", "Update.exe"));
    ASSERT_TRUE(updater->Launch());
    EXPECT_EQ(0u, updater->WaitForExit(60000));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_FALSE(program.Exists("UpdateTemp"));
    EXPECT_TRUE(StandinLogReads(program.Path(),
                                "start A, exit-request A, quit A, start B, exit-request B, quit B, "
                                "start C"));
}

TEST_F(UpdaterApp, ARestoreThatFailsKeepsTheBackUpAndSaysWhere)
{
    const std::string oldMore = "more 1.0", newMore = "more 2.0, with more in it";
    installed.files.push_back(FileOf("more.dll", "2004-01-01 10:00", oldMore));
    server.files.push_back(FileOf("more.dll", "2004-02-01 10:00", newMore));
    Publish();
    program.Write("more.dll", oldMore);
    http.Serve("/mirror/more.dll", newMore);
    LayOutProgramFolder();

    // core.dll cannot be replaced, and the new more.dll is taken by a
    // program before it can be put back.
    FileLock heldOld(program.File("core.dll"), FILE_SHARE_READ);
    std::unique_ptr<FileLock> heldNew;
    ASSERT_TRUE(updater->Launch());
    ASSERT_TRUE(PumpUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (!GetFileAttributesExA(program.File("more.dll").c_str(), GetFileExInfoStandard,
                                      &data) ||
                data.nFileSizeLow != newMore.size())
                return false;
            heldNew.reset(new FileLock(program.File("more.dll")));
            return heldNew->Held();
        },
        60000));

    AnswerBox("ERR_RESTORE_FAILED", 60000, RestoreFailedText());
    heldNew.reset();
    EXPECT_EQ(newMore, UpdateTestFolder::Read(program.File("more.dll")));
    EXPECT_EQ(oldCore, UpdateTestFolder::Read(program.File("core.dll")));
    EXPECT_EQ(oldMore, UpdateTestFolder::Read(program.File("UpdateBack\\more.dll")));
    EXPECT_EQ(oldCore, UpdateTestFolder::Read(program.File("UpdateBack\\core.dll")));
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("UpdateBack\\QfwUpdate.ini")));
}

TEST_F(UpdaterApp, AServerThatGoesQuietAfterItsHeadersFailsTheCheckInABox)
{
    Publish();
    http.Serve("/release/QfwUpdate.ini", server.Text(), LoopbackHttpServer::STALL);
    LayOutProgramFolder();
    ASSERT_TRUE(updater->Launch());
    AnswerBox("ERR_CHECK_FAILED", 90000);
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
}

TEST_F(UpdaterApp, EscapeEndsTheUpdaterWhileADownloadHearsLittleOrNothing)
{
    for (LoopbackHttpServer::Way way : {LoopbackHttpServer::STALL, LoopbackHttpServer::DRIP}) {
        SCOPED_TRACE(way == LoopbackHttpServer::STALL ? "stall" : "drip");
        UpdateTestFolder::RemoveTree(program.Path());
        CreateDirectoryA(program.Path().c_str(), nullptr);
        Publish();
        http.Serve("/mirror/core.dll", newCore, way);
        LayOutProgramFolder();
        HWND dialog = StartUpdater();
        ASSERT_TRUE(PumpUntil(
            [&] {
                return WindowText(GetDlgItem(dialog, IDC_FILE_TEXT)).find("core.dll") !=
                       std::string::npos;
            },
            30000));
        PumpFor(1500);
        BringToFront(dialog);
        PressKey(VK_ESCAPE);
        EXPECT_EQ(0u, updater->WaitForExit(5000));
        EXPECT_EQ(kOldFiles, ProgramFiles());
    }
}

// Whether the download cache still holds a file for the url.
bool CacheHoldsCopyOf(const std::string &url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    std::vector<char> buffer(size);
    auto *entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buffer.data());
    return GetUrlCacheEntryInfoA(url.c_str(), entry, &size) && entry->lpszLocalFileName &&
           GetFileAttributesA(entry->lpszLocalFileName) != INVALID_FILE_ATTRIBUTES;
}

// The download cache's files whose names start with the text, also those
// no cache entry names any more; removed first when asked.
int CacheFilesNamed(const char *start, bool remove = false)
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, folder);
    CString root = CString(folder) + "\\";
    int count = 0;
    for (const CString &relative : ListTreeFiles(root)) {
        CString name = relative.Mid(relative.ReverseFind('\\') + 1);
        if (name.Left(static_cast<int>(strlen(start))) != start)
            continue;
        if (!remove || !DeleteFileA(root + relative))
            ++count;
    }
    return count;
}

TEST_F(UpdaterApp, ADownloadThatRunsPastItsSizeFailsAndNoFetchedCopyStays)
{
    CacheFilesNamed("core", true);
    Publish();
    http.Serve("/mirror/core.dll", "", LoopbackHttpServer::ENDLESS);
    LayOutProgramFolder();
    ASSERT_TRUE(updater->Launch());
    AnswerBox("ERR_DOWNLOAD_FAILED", 60000);
    EXPECT_EQ(kOldFiles, ProgramFiles());
    for (const char *path :
         {"/release/QfwUpdate.ini", "/mirror/core.dll", "/mirror/Skins/Default/New.bmp"})
        EXPECT_FALSE(CacheHoldsCopyOf(http.Url(path))) << path;
    // Not even a part of the body that ran on.
    EXPECT_EQ(0, CacheFilesNamed("core"));
}

TEST_F(UpdaterApp, AConsoleThatHangsWhileHiddenIsEndedAndTheUpdateGoesOn)
{
    Publish();
    LayOutProgramFolder();
    program.Write("standin.mode", "frozen");
    StartConsole();
    ASSERT_TRUE(updater->Launch());
    EXPECT_EQ(0u, updater->WaitForExit(120000));
    // Ended by the updater: left alone, it would have quit by itself after
    // its hang.
    EXPECT_EQ(1u, console->WaitForExit(0));
    EXPECT_EQ(kNewFiles, ProgramFiles());
}

TEST_F(UpdaterApp, ADescriptionThatNamesWhatTheServerMustNotChooseIsRefused)
{
    UpdateTestFolder elsewhere("elsewhere");
    elsewhere.Write("standin.mode", "other ignore");
    ProgramCopy unrelated(elsewhere.Path(), "zzunrelated.exe");
    ASSERT_TRUE(unrelated.Start("{zz-other-program}"));
    struct Row {
        const char *name;
        std::function<void(ReleaseDescription &)> change;
    } rows[] = {
        {"a part of a program name",
         [](ReleaseDescription &d) { d.programs.push_back({"zz", "{zz-other-program}", "2357"}); }},
        {"a program in another folder",
         [](ReleaseDescription &d) {
             d.programs.push_back({"..\\elsewhere\\zzunrelated.exe", "{zz-other-program}", "1"});
         }},
        {"a program that is no program file",
         [](ReleaseDescription &d) { d.programs.push_back({"zzunrelated", "", "0"}); }},
        {"the check address empty", [](ReleaseDescription &d) { d.checkUrl = ""; }},
        {"the check address of no web server",
         [](ReleaseDescription &d) { d.checkUrl = "ftp://127.0.0.1/QfwUpdate.ini"; }},
        {"the check address a file", [](ReleaseDescription &d) { d.checkUrl = "C:\\x.ini"; }},
        {"the check address without a host",
         [](ReleaseDescription &d) { d.checkUrl = "http:///QfwUpdate.ini"; }},
    };
    std::vector<Row> all(std::begin(rows), std::end(rows));
    for (const char *reserved :
         {"UpdateTemp", "updateback\\core.dll", "QfwUpdate.ini", "Config.dat", "ProgramLogs.dat",
          "FIREWALL.DAT", "ProgramsRule.dat", "sqlite_err.log", "kv_err.log"}) {
        std::string file = reserved;
        all.push_back({reserved, [file](ReleaseDescription &d) {
                           d.files.push_back(FileOf(file, "2004-02-01", "x"));
                       }});
    }
    for (const Row &row : all) {
        SCOPED_TRACE(row.name);
        UpdateTestFolder::RemoveTree(program.Path());
        CreateDirectoryA(program.Path().c_str(), nullptr);
        Publish();
        ReleaseDescription refused = server;
        row.change(refused);
        http.Serve("/release/QfwUpdate.ini", refused.Text());
        LayOutProgramFolder();
        ASSERT_TRUE(updater->Launch());
        AnswerBox("ERR_CHECK_FAILED");
        EXPECT_EQ(kOldFiles, ProgramFiles());
        EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    }
    EXPECT_TRUE(unrelated.Running());
    EXPECT_EQ("start A", StandinLog(elsewhere.Path()));
}

TEST_F(UpdaterApp, AProgramOfTheSameNameInAnotherFolderIsLeftAlone)
{
    UpdateTestFolder elsewhere("elsewhere");
    elsewhere.Write("standin.mode", "other ignore");
    ProgramCopy unrelated(elsewhere.Path(), "zzunrelated.exe");
    ASSERT_TRUE(unrelated.Start("{zz-other-program}"));
    server.programs.push_back({"zzunrelated.exe", "{zz-other-program}", "2357"});
    Publish();
    LayOutProgramFolder();
    StartConsole();
    ASSERT_TRUE(StartUpdater());
    EXPECT_EQ(0u, updater->WaitForExit(60000));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_TRUE(unrelated.Running());
    EXPECT_EQ("start A", StandinLog(elsewhere.Path()));
}

TEST_F(UpdaterApp, AConsoleThatNeverShowsItsWindowIsNoRestart)
{
    Publish();
    LayOutProgramFolder();
    program.Write("standin.mode", "windowless");
    ProgramCopy copy(program.Path(), "QFW.exe");
    ASSERT_TRUE(updater->Launch());
    AnswerBox("ERR_RESTART_FAILED", 90000);
    EXPECT_EQ(kNewFiles, ProgramFiles());
}

TEST_F(UpdaterApp, FilesInUseAreRenamedAsideAndReplaced)
{
    // The release replaces the running updater itself and the provider,
    // which every program that uses sockets has loaded.
    std::string oldUpdater =
        UpdateTestFolder::Read(std::string(GetModuleDir(nullptr, false)) + "Update.exe");
    std::string newUpdater = oldUpdater + std::string("\0release 2.0", 12);
    const std::string oldProvider = "provider 1.0", newProvider = "provider 2.0, larger";
    installed.files.push_back(FileOf("Update.exe", "2004-01-01 10:00", oldUpdater));
    installed.files.push_back(FileOf("QFW.DLL", "2004-01-01 10:00", oldProvider));
    server.files.push_back(FileOf("Update.exe", "2004-02-01 10:00", newUpdater));
    server.files.push_back(FileOf("QFW.DLL", "2004-02-01 10:00", newProvider));
    Publish();
    http.Serve("/mirror/Update.exe", newUpdater);
    http.Serve("/mirror/QFW.DLL", newProvider);
    program.Write("QFW.DLL", oldProvider);
    LayOutProgramFolder();
    StartConsole();
    {
        // A loaded library: it can be renamed, but not deleted and replaced.
        FileLock loaded(program.File("QFW.DLL"), FILE_SHARE_READ | FILE_SHARE_DELETE);
        ASSERT_TRUE(loaded.Held());
        ASSERT_TRUE(StartUpdater());
        EXPECT_EQ(0u, updater->WaitForExit(60000));
        EXPECT_EQ(kNewFiles, ProgramFiles());
        EXPECT_EQ(newProvider, UpdateTestFolder::Read(program.File("QFW.DLL")));
        EXPECT_TRUE(newUpdater == UpdateTestFolder::Read(program.File("Update.exe")));
        EXPECT_EQ(oldProvider, UpdateTestFolder::Read(program.File("UpdateBack\\QFW.DLL")));
        EXPECT_TRUE(oldUpdater == UpdateTestFolder::Read(program.File("UpdateBack\\Update.exe")));
        CUpdateManifest manifest;
        ASSERT_TRUE(manifest.ReadLocal(program.File("QfwUpdate.ini").c_str()));
        EXPECT_STREQ("2.0", manifest.m_strVersion);
    }
    // The next start removes what was put aside and is free now.
    http.Serve("/release/QfwUpdate.ini", installed.Text());
    updater.reset(new ProgramCopy(program.Path(), "Update.exe", nullptr));
    ASSERT_TRUE(updater->Launch());
    AnswerBox("INF_NO_NEW_VERSION");
    EXPECT_FALSE(program.Exists("QFW.DLL.qfwold"));
    EXPECT_FALSE(program.Exists("Update.exe.qfwold"));
}

TEST_F(UpdaterApp, AnInstallCutShortIsUndoneAtTheNextStart)
{
    // The state a power loss leaves half-way through an install: the
    // back-up whole, one file replaced, the mark of the install.
    Publish();
    program.Write("UpdateBack\\core.dll", oldCore);
    program.Write("UpdateBack\\QfwUpdate.ini", installed.Text());
    program.Write("core.dll", newCore);
    program.Write("UpdateInstalling", "");
    http.Serve("/release/QfwUpdate.ini", installed.Text());
    LayOutProgramFolder();
    {
        // A file that cannot be put back keeps the back-up and the mark.
        FileLock held(program.File("core.dll"));
        ASSERT_TRUE(updater->Launch());
        AnswerBox("ERR_RESTORE_FAILED", 60000, RestoreFailedText());
    }
    EXPECT_EQ(newCore, UpdateTestFolder::Read(program.File("core.dll")));
    EXPECT_EQ(oldCore, UpdateTestFolder::Read(program.File("UpdateBack\\core.dll")));
    EXPECT_TRUE(program.Exists("UpdateInstalling"));
    EXPECT_EQ("", Requests());  // nothing else was done

    updater.reset(new ProgramCopy(program.Path(), "Update.exe", "Update.exe"));
    ASSERT_TRUE(updater->Launch());
    AnswerBoxAndGoOn("INF_INSTALL_RESTORED");
    AnswerBox("INF_NO_NEW_VERSION");
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    EXPECT_FALSE(program.Exists("UpdateBack"));
    EXPECT_FALSE(program.Exists("UpdateInstalling"));
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

    // Once the programs can be stopped, the next run installs the release.
    EndProcessesNamed("qfw.exe");
    DeleteFileA(program.File("standin.mode").c_str());
    StartConsole();
    updater.reset(new ProgramCopy(program.Path(), "Update.exe", "Update.exe"));
    ASSERT_TRUE(updater->Launch());
    EXPECT_EQ(0u, updater->WaitForExit(60000));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_FALSE(program.Exists("UpdateTemp"));
}

} // namespace
