#include "UpdateSteps.h"
#include "ConsoleMessages.h"
#include "FolderTree.h"
#include "ProgramControl.h"
#include "UpdateFileInfo.h"

#include <urlmon.h>

#include <cstdlib>
#include <ctime>

namespace {

// What entering a step shows.
enum DisplayKind { SHOW_NOTHING, SHOW_TEXT, SHOW_BOX };

struct StepDisplay {
    int step;
    DisplayKind kind;
    LPCSTR key;
};

const StepDisplay kDisplays[] = {
    {2, SHOW_TEXT, "MINFOR_CHECK"},
    {4, SHOW_BOX, "ERR_CHECK_FAILED"},
    {5, SHOW_TEXT, "STEP_DOWNLOAD"},
    {6, SHOW_BOX, "INF_NO_NEW_VERSION"},
    {7, SHOW_TEXT, "STEP_STOP_EXX"},
    {10, SHOW_TEXT, "STEP_DOWNLOAD"},
    {12, SHOW_BOX, "ERR_DOWNLOAD_FAILED"},
    {16, SHOW_TEXT, "STEP_STOP_EXX"},
    {18, SHOW_BOX, "ERR_STOP_FAILED"},
    {19, SHOW_TEXT, "STEP_BACK"},
    {20, SHOW_TEXT, "STEP_BACK"},
    {21, SHOW_TEXT, "STEP_UPDATE"},
    {22, SHOW_BOX, "ERR_INSTALL_FAILED"},
    {23, SHOW_TEXT, "STEP_CLEAR"},
    {24, SHOW_TEXT, "STEP_RESTART"},
    {26, SHOW_BOX, "ERR_RESTART_FAILED"},
    {27, SHOW_TEXT, "STEP_RESTART_OK"},
};

const char kWorkingCopy[] = "UpdateTemp\\QfwUpdate.ini";
// Present from a whole back-up until the install is done or undone: found
// at a start, it tells of an install cut short.
const char kInstallMark[] = "UpdateInstalling";

// The longest a description may be: it lists files, not their bytes.
const ULONG kDescriptionMaxBytes = 4 * 1024 * 1024;
// How long a stopped download may take to end before it is let go, and how
// often a running one is looked at.
const DWORD kDownloadStopWait = 1000;
const UINT kDownloadWatchPeriod = 250;

// Waits for a thread while answering the messages other threads send to
// this one: the download thread sends its progress to the dialog. TRUE
// when the thread ended within the time.
bool WaitAnsweringSends(HANDLE thread, DWORD milliseconds = INFINITE)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (milliseconds != INFINITE) {
            DWORD spent = GetTickCount() - start;
            left = spent < milliseconds ? milliseconds - spent : 0;
        }
        DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            return woken == WAIT_OBJECT_0;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool IsValidUrl(const CString &url)
{
    int length = MultiByteToWideChar(CP_ACP, 0, url, -1, nullptr, 0);
    if (length <= 0)
        return false;
    WCHAR *wide = new WCHAR[length];
    MultiByteToWideChar(CP_ACP, 0, url, -1, wide, length);
    bool valid = IsValidURL(nullptr, wide, 0) == S_OK;
    delete[] wide;
    return valid;
}

// The relative path a file of UpdateTemp is installed at.
CString InstalledPath(const CString &relative)
{
    int slash = relative.ReverseFind('\\');
    return relative.Left(slash + 1) + InstalledName(relative.Mid(slash + 1));
}

} // namespace

CUpdateSteps::CUpdateSteps(HWND window, IUpdateView &view) : m_window(window), m_view(view) {}

CUpdateSteps::~CUpdateSteps()
{
    StopDownloadAndWait();
    WaitForWorker();
}

void CUpdateSteps::Begin(const CString &folder)
{
    m_dir = folder;
    m_step = 0;
    Post(WM_UPDATE_STEP);
}

void CUpdateSteps::Post(UINT message) { PostMessageA(m_window, message, 0, 0); }

void CUpdateSteps::RunStep()
{
    // Nothing runs once the dialog closes, nor while a thread owns the next
    // step: DM_SETDEFID shares this message's number.
    if (m_closing || m_downloadThread || m_workerBusy)
        return;
    switch (m_step) {
    case 0:
        if (!RecoverEarlierRun())
            return;
        if (!PrepareWorkingCopy()) {
            m_runEnded = true;
            m_view.ShowBox("ERROR_BAD_LOCAL_CONFIG_FILE", MB_OK);
            m_view.DestroyDialog();
            return;
        }
        m_step = 2;
        ShowStep();
        StartDownload(m_manifest.m_strCheckVeisionUrl, kDescriptionMaxBytes);
        break;
    case 1:
        EndRun();
        break;
    case 2: {
        ShowStep();
        CString fetched = DownloadResult();
        m_step = !fetched.IsEmpty() && m_manifest.ReadDownloaded(fetched) ? 3 : 4;
        // Nothing of a download stays in the cache.
        if (!fetched.IsEmpty())
            DeleteFileA(fetched);
        Post(WM_UPDATE_STEP);
        break;
    }
    case 3: {
        m_tally.StartRun(m_manifest.TotalSize());
        m_ok = TRUE;
        BOOL leftovers = ListUpdateTemp();
        // Files of no size are still files to fetch: the list decides.
        m_step = !m_manifest.m_downloadList.empty() ? 5 : leftovers ? 7 : 6;
        Post(WM_UPDATE_STEP);
        break;
    }
    case 4:
    case 12:
        ShowStep();
        break;
    case 5:
        ShowStep();
        m_step = 8;
        Post(WM_UPDATE_STEP);
        break;
    case 6:
        DeleteTree(m_dir + "UpdateTemp");
        ShowStep();
        break;
    case 7:
        ShowStep();
        EndRun();
        break;
    case 8:
        ShowStep();
        if (m_manifest.m_mirrors.empty()) {
            m_ok = FALSE;
            m_step = 12;
            Post(WM_UPDATE_STEP);
        } else {
            StartWorker(PickMirrorWorker);
        }
        break;
    case 9:
        FetchNextOrFinish();
        break;
    case 10:
        PlaceFetchedFile();
        FetchNextOrFinish();
        break;
    case 11:
        m_manifest.m_strVersion = m_manifest.m_strServerVersion;
        m_manifest.m_strSWVersion = m_manifest.m_strServerSWVersion;
        m_manifest.m_strCheckVeisionUrl = m_manifest.m_strServerCheckVeisionUrl;
        m_manifest.m_strUpdateTime = m_manifest.m_strServerUpdateTime;
        // A description that cannot be written must never be installed.
        if (!m_manifest.WriteLocal()) {
            m_ok = FALSE;
            m_step = 12;
        } else {
            m_step = IsProgramRunning(m_dir, "qfw.exe") ? 14 : 15;
        }
        Post(WM_UPDATE_STEP);
        break;
    case 14:
        m_step = 16;
        Post(WM_UPDATE_STEP);
        break;
    case 15:
        m_step = 19;
        ShowStep();
        Post(WM_UPDATE_STEP);
        break;
    case 16:
        ShowStep();
        m_programsAsked = true;
        StartWorker(StopProgramsWorker);
        break;
    case 17:
        m_step = 19;
        Post(WM_UPDATE_STEP);
        break;
    case 18:
        RestartStoppedConsole();
        ShowStep();
        break;
    case 19:
        ShowStep();
        if (m_ok)
            StartWorker(BackupInstallWorker);
        else
            EndRun();
        break;
    case 22:
        RestartStoppedConsole();
        ShowStep();
        break;
    case 23:
        ShowStep();
        StartWorker(ClearWorker);
        break;
    case 24:
        ShowStep();
        m_consoleRestarted = true;
        m_step = RestartMainProgram(m_dir) ? 27 : 26;
        ShowStep();
        break;
    default:
        break;
    }
}

void CUpdateSteps::ShowStep()
{
    int step = m_step;
    if (step == m_lastShown)
        return;
    m_lastShown = step;
    for (const StepDisplay &display : kDisplays) {
        if (display.step != step)
            continue;
        if (display.kind == SHOW_TEXT) {
            m_view.ShowStepText(display.key);
            if (step == 27) {
                m_runEnded = true;
                Post(WM_UPDATE_CLOSE);
            }
        } else {
            m_runEnded = true;
            // The user must know where the old files wait when the
            // install could not put them all back.
            if (step == 22 && m_backupKept)
                m_view.ShowBoxNaming("ERR_RESTORE_FAILED", m_dir + "UpdateBack");
            else
                m_view.ShowBox(display.key, MB_OK);
            Post(WM_UPDATE_CLOSE);
        }
    }
}

void CUpdateSteps::EndRun()
{
    m_runEnded = true;
    if (m_closePending)
        Post(WM_UPDATE_CLOSE);
}

bool CUpdateSteps::RecoverEarlierRun()
{
    RemoveFilesPutAside(m_dir);
    if (!FileExists(m_dir + kInstallMark))
        return true;
    if (RestoreBackUp()) {
        m_view.ShowBox("INF_INSTALL_RESTORED", MB_OK);
        return true;
    }
    m_runEnded = true;
    m_view.ShowBoxNaming("ERR_RESTORE_FAILED", m_dir + "UpdateBack");
    Post(WM_UPDATE_CLOSE);
    return false;
}

bool CUpdateSteps::RestoreBackUp()
{
    BOOL restored = TRUE;
    CopyTree(m_dir + "UpdateBack", m_dir, &restored, "");
    // The back-up is the only copy of the old files until all are back.
    if (!restored)
        return false;
    DeleteTree(m_dir + "UpdateBack");
    DeleteFileA(m_dir + kInstallMark);
    return true;
}

bool CUpdateSteps::MarkInstallUnderWay()
{
    HANDLE mark = CreateFileA(m_dir + kInstallMark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark == INVALID_HANDLE_VALUE)
        return false;
    // On the disk before the first file is replaced.
    bool written = FlushFileBuffers(mark) != FALSE;
    return CloseHandle(mark) && written;
}

BOOL CUpdateSteps::PrepareWorkingCopy()
{
    // A run that ends well removes UpdateTemp: whatever is found there was
    // left by a run that failed or was cut short, and its working copy may
    // list files as fetched that were never installed. Every run starts
    // again from the installed description.
    DeleteTree(m_dir + "UpdateTemp");
    CreateDirectoryA(m_dir + "UpdateTemp", nullptr);
    CString installed = m_dir + "QfwUpdate.ini";
    CString working = m_dir + kWorkingCopy;
    if (!FileExists(installed) || !CopyFileA(installed, working, FALSE))
        return FALSE;
    return m_manifest.ReadLocal(working);
}

BOOL CUpdateSteps::ListUpdateTemp()
{
    m_manifest.m_updateTempFiles.clear();
    for (const CString &relative : ListTreeFiles(m_dir + "UpdateTemp")) {
        CString name = relative.Mid(relative.ReverseFind('\\') + 1);
        name.MakeLower();
        if (name == "qfwupdate.ini")
            continue;
        ManifestFile entry;
        entry.file = relative;
        m_manifest.m_updateTempFiles.push_back(entry);
    }
    return !m_manifest.m_updateTempFiles.empty();
}

BOOL CUpdateSteps::NextDownload(CString &url)
{
    if (m_nextDownload >= m_manifest.m_downloadList.size())
        return FALSE;
    m_current = m_manifest.m_downloadList[m_nextDownload++];
    CString path = m_current.file;
    path.Replace('\\', '/');
    url = m_mirror + "/" + path;
    return TRUE;
}

void CUpdateSteps::FetchNextOrFinish()
{
    CString url;
    if (NextDownload(url)) {
        m_step = 10;
        ShowStep();
        StartDownload(url, static_cast<ULONG>(m_current.size));
    } else {
        m_step = m_ok ? 11 : 12;
        Post(WM_UPDATE_STEP);
    }
}

// The size of a fetched file, or -1 when it cannot be read; the file is
// closed again, so that it can be deleted.
static long long FetchedSize(const CString &path)
{
    CUpdateFileInfo info;
    return info.Read(path) == 0 ? static_cast<long long>(info.GetSize()) : -1;
}

void CUpdateSteps::PlaceFetchedFile()
{
    CString fetched = DownloadResult();
    if (fetched.IsEmpty()) {
        m_ok = FALSE;
        return;
    }
    bool placed = false;
    if (FetchedSize(fetched) == m_current.size) {
        CreatePathFolders(m_dir + "UpdateTemp", m_current.file);
        CString destination = m_dir + "UpdateTemp\\" + m_current.file;
        DeleteFileA(destination);
        placed = CopyFileA(fetched, destination, FALSE) != FALSE;
    }
    // Nothing of a download stays in the cache, whatever became of it.
    DeleteFileA(fetched);
    // A file that did not reach UpdateTemp whole is not fetched: the run
    // fails, and the next one fetches it again.
    if (!placed) {
        m_ok = FALSE;
        return;
    }
    ManifestFile entry = m_current;
    entry.rar_size = 0;
    m_manifest.RefreshEntry(entry);
}

void CUpdateSteps::RestartStoppedConsole()
{
    if (!m_programsAsked || m_consoleRestarted)
        return;
    m_consoleRestarted = true;
    if (!IsConsoleRunning())
        RestartMainProgram(m_dir);
}

// Downloads.

BOOL CUpdateSteps::StartDownload(const CString &url, ULONG maxBytes)
{
    if (m_downloadThread) {
        m_stopEvent.SetEvent();
        m_stopAskedAt = GetTickCount();
        m_stopAsked = true;
        return TRUE;
    }
    m_tally.StartFile();
    m_view.SetCurrentPercent(0);
    if (url.IsEmpty() || !IsValidUrl(url))
        return FALSE;
    m_view.ShowDownloadName(url.Mid(url.ReverseFind('/') + 1));

    m_stopEvent.ResetEvent();
    m_job = std::make_shared<DownloadJob>(m_window, m_stopEvent, url, maxBytes, ++m_downloadSerial);
    m_view.SetCurrentPercent(0);

    CWinThread *thread = CreateDownloadThread(m_job);
    if (!thread) {
        m_view.ShowBox("INF_ERROR_CREATE_THREAD", MB_ICONERROR);
        return TRUE;
    }
    m_downloadThread = thread;
    m_lastDownloadNews = GetTickCount();
    SetTimer(m_window, DOWNLOAD_WATCH_TIMER, kDownloadWatchPeriod, nullptr);
    thread->ResumeThread();
    return TRUE;
}

void CUpdateSteps::OnDownloadProgress(WPARAM serial, LPARAM lParam)
{
    // What a download that was let go still sends is not news.
    if (serial != m_downloadSerial)
        return;
    m_lastDownloadNews = GetTickCount();
    if (lParam == 0) {
        m_stopNoted = TRUE;
        return;
    }
    int current = 0, total = 0;
    if (m_tally.Take(*reinterpret_cast<const DownloadProgress *>(lParam), current, total)) {
        m_view.SetCurrentPercent(current);
        m_view.SetTotalPercent(total);
    }
}

void CUpdateSteps::OnDownloadDone(WPARAM serial)
{
    // A close may have waited the thread out already, or it was let go.
    if (!m_downloadThread || serial != m_downloadSerial)
        return;
    // Its end message is the thread's last act.
    ReleaseDownloadThread(kDownloadStopWait);
    if (m_stopNoted)
        m_step = 1;
    Post(WM_UPDATE_STEP);
}

void CUpdateSteps::OnTimer(UINT_PTR id)
{
    if (id != DOWNLOAD_WATCH_TIMER || !m_downloadThread)
        return;
    DWORD now = GetTickCount();
    // A stop is seen only at the download's next report, which may never
    // come.
    bool stopOverdue = m_stopAsked && now - m_stopAskedAt >= kDownloadStopWait;
    if (!stopOverdue && now - m_lastDownloadNews < DOWNLOAD_STALL_LIMIT)
        return;
    // A server that has gone quiet, or a binding that reads on without a
    // word: the download fails as any other, and the step that waited for
    // it goes on without it; or it ends as stopped.
    m_stopEvent.SetEvent();
    m_job->watch.Abort();
    ReleaseDownloadThread(stopOverdue ? 0 : kDownloadStopWait);
    m_job.reset();
    if (stopOverdue) {
        m_stopNoted = TRUE;
        m_step = 1;
    }
    Post(WM_UPDATE_STEP);
}

void CUpdateSteps::ReleaseDownloadThread(DWORD milliseconds)
{
    KillTimer(m_window, DOWNLOAD_WATCH_TIMER);
    m_stopAsked = false;
    CWinThread *thread = m_downloadThread;
    m_downloadThread = nullptr;
    // Nothing it still sends is taken for the next download's.
    ++m_downloadSerial;
    if (WaitAnsweringSends(thread->m_hThread, milliseconds)) {
        delete thread;
        return;
    }
    // Its object goes with it; it only touches its own job meanwhile.
    InterlockedExchange(reinterpret_cast<volatile LONG *>(&thread->m_bAutoDelete), TRUE);
}

// Workers.

void CUpdateSteps::StartWorker(AFX_THREADPROC procedure)
{
    CWinThread *thread =
        AfxBeginThread(procedure, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread)
        return;
    if (m_worker)
        CloseHandle(m_worker);
    // The thread object deletes itself; this handle lets a close wait for it.
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_worker, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    m_workerBusy = TRUE;
    thread->ResumeThread();
}

void CUpdateSteps::FinishWorker(int nextStep)
{
    InterlockedExchange(&m_step, nextStep);
    InterlockedExchange(&m_workerBusy, FALSE);
    Post(WM_UPDATE_STEP);
}

UINT __cdecl CUpdateSteps::PickMirrorWorker(LPVOID parameter)
{
    CUpdateSteps &steps = *static_cast<CUpdateSteps *>(parameter);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const std::vector<CString> &mirrors = steps.m_manifest.m_mirrors;
    steps.m_mirror = mirrors[std::rand() % mirrors.size()];
    steps.FinishWorker(9);
    return 0;
}

UINT __cdecl CUpdateSteps::StopProgramsWorker(LPVOID parameter)
{
    CUpdateSteps &steps = *static_cast<CUpdateSteps *>(parameter);
    const std::vector<ManifestProgram> &programs = steps.m_manifest.m_serverPrograms;
    for (const ManifestProgram &program : programs) {
        if (!program.MName.IsEmpty())
            AskToQuit(steps.m_dir, program.FileName, program.MName, program.MID);
    }
    // A program without a file name cannot be told from any other: it is
    // never waited for or ended.
    auto anyRunning = [&programs, &steps]() {
        for (const ManifestProgram &program : programs) {
            if (IsProgramRunning(steps.m_dir, program.FileName))
                return true;
        }
        return false;
    };
    for (int i = 0; i < 10 && anyRunning(); ++i)
        Sleep(1000);
    for (const ManifestProgram &program : programs) {
        if (IsProgramRunning(steps.m_dir, program.FileName))
            EndProgram(steps.m_dir, program.FileName);
    }
    steps.FinishWorker(anyRunning() ? 18 : 17);
    return 0;
}

UINT __cdecl CUpdateSteps::BackupInstallWorker(LPVOID parameter)
{
    CUpdateSteps &steps = *static_cast<CUpdateSteps *>(parameter);
    InterlockedExchange(&steps.m_step, 20);
    steps.Post(WM_SHOW_STEP);
    if (!steps.BackUp() || !steps.MarkInstallUnderWay()) {
        DeleteTree(steps.m_dir + "UpdateBack");
        steps.FinishWorker(22);
        return 0;
    }
    Sleep(1500);
    InterlockedExchange(&steps.m_step, 21);
    steps.Post(WM_SHOW_STEP);
    steps.Install();
    return 0;
}

bool CUpdateSteps::BackUp()
{
    // Only this install's files: a back-up of an older one would restore
    // files of two releases.
    CString back = m_dir + "UpdateBack\\";
    DeleteTree(back);
    CreateDirectoryA(back, nullptr);
    for (const CString &relative : ListTreeFiles(m_dir + "UpdateTemp")) {
        CString target = InstalledPath(relative);
        if (!FileExists(m_dir + target))
            continue;
        CreatePathFolders(back, target);
        if (!CopyFileA(m_dir + target, back + target, FALSE))
            return false;
    }
    return true;
}

void CUpdateSteps::Install()
{
    BOOL ok = TRUE;
    std::vector<CString> leftAlone;
    CopyTree(m_dir + "UpdateTemp", m_dir, &ok, UPDATE_RENAMED_FILE, &leftAlone);
    if (ok && !leftAlone.empty())
        ForgetFilesLeftAlone(leftAlone);
    InterlockedExchange(&m_ok, ok);
    Sleep(1500);
    if (ok) {
        DeleteFileA(m_dir + kInstallMark);
        FinishWorker(23);
        return;
    }
    m_backupKept = !RestoreBackUp();
    FinishWorker(22);
}

void CUpdateSteps::ForgetFilesLeftAlone(const std::vector<CString> &paths)
{
    // The installed description lists what is installed: a file the install
    // left as it was is left out, so that the next run fetches it again.
    for (const CString &path : paths) {
        CString relative = path.Mid(m_dir.GetLength());
        for (ManifestFile &entry : m_manifest.m_localFiles) {
            if (entry.file == relative)
                entry.state = FILE_UNCHECKED;
        }
    }
    m_manifest.m_strLocalPath = m_dir + "QfwUpdate.ini";
    m_manifest.WriteLocal();
}

UINT __cdecl CUpdateSteps::ClearWorker(LPVOID parameter)
{
    CUpdateSteps &steps = *static_cast<CUpdateSteps *>(parameter);
    DeleteTree(steps.m_dir + "UpdateTemp");
    Sleep(1500);
    steps.FinishWorker(24);
    return 0;
}

// Closing.

bool CUpdateSteps::RequestClose()
{
    if (m_closing)
        return true;
    // An install half done is worse than a late close: the run goes on to
    // its end, which closes the dialog.
    if (m_step >= 19 && !m_runEnded) {
        m_closePending = true;
        return false;
    }
    m_closing = true;
    StopDownloadAndWait();
    WaitForWorker();
    if (m_step < 19)
        RestartStoppedConsole();
    return true;
}

void CUpdateSteps::StopDownloadAndWait()
{
    if (!m_downloadThread)
        return;
    m_stopEvent.SetEvent();
    ReleaseDownloadThread(kDownloadStopWait);
}

void CUpdateSteps::WaitForWorker()
{
    if (!m_worker)
        return;
    WaitAnsweringSends(m_worker);
    CloseHandle(m_worker);
    m_worker = nullptr;
}
