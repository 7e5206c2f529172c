// CUpdateSteps: one update run as a chain of numbered steps, driven by the
// messages of the update dialog. Each WM_UPDATE_STEP runs the current step
// once; long steps run on a worker thread that sets the next step and posts
// WM_UPDATE_STEP again, and downloads end with WM_DOWNLOAD_DONE.
//
// The run fetches the server's description and the new and changed files
// into UpdateTemp, stops the running programs, backs up the files it will
// replace into UpdateBack, installs, cleans up and starts the console again.
#pragma once

#include "CEvent.h"
#include "CString.h"
#include "CWinThread.h"
#include "DownloadJob.h"
#include "ProgressTally.h"
#include "UpdateManifest.h"
#include "UpdateView.h"

class CUpdateSteps
{
public:
    CUpdateSteps(HWND window, IUpdateView &view);
    ~CUpdateSteps();

    CUpdateSteps(const CUpdateSteps &) = delete;
    CUpdateSteps &operator=(const CUpdateSteps &) = delete;

    // Starts the run at step 0 on the program folder (with its backslash).
    void Begin(const CString &folder);

    // The handlers of the dialog's messages.
    void RunStep();
    void ShowStep();
    void OnDownloadDone(WPARAM serial);
    void OnDownloadProgress(WPARAM serial, LPARAM lParam);
    // The dialog's timer: a download that has received nothing for
    // DOWNLOAD_STALL_LIMIT milliseconds fails, and one asked to stop that
    // has not within a second is let go as stopped.
    void OnTimer(UINT_PTR id);

    // Starts fetching a url on the download thread, accepting at most
    // maxBytes; while one runs, asks it to stop instead. FALSE when the url
    // is empty or not valid.
    BOOL StartDownload(const CString &url, ULONG maxBytes);

    // The dialog is asked to close. Stops a download, waiting for it a
    // second at most, and waits for the worker of the run, keeping the
    // dialog's sent messages moving; once the install has begun the close
    // waits for the run's end instead (FALSE: the dialog stays and gets
    // WM_UPDATE_CLOSE then). TRUE: close now.
    bool RequestClose();

    static const DWORD DOWNLOAD_STALL_LIMIT = 30000;
    static const UINT_PTR DOWNLOAD_WATCH_TIMER = 0x5701;

    int Step() const { return m_step; }
    // The run has stopped or ended; only a close can follow.
    bool RunEnded() const { return m_runEnded; }
    BOOL Ok() const { return m_ok; }
    const CUpdateManifest &Manifest() const { return m_manifest; }
    const CString &Mirror() const { return m_mirror; }
    const CProgressTally &Tally() const { return m_tally; }
    CString DownloadResult() const { return m_job ? m_job->result : CString(); }
    BOOL StopNoted() const { return m_stopNoted; }
    bool DownloadRunning() const { return m_downloadThread != nullptr; }

private:
    // Step operations.
    // Before anything else: removes the files earlier installs put aside,
    // and puts back the back-up of an install cut short, saying so. FALSE
    // when that back-up cannot be put back whole: the run ends in a box.
    bool RecoverEarlierRun();
    // Puts every file of UpdateBack back; TRUE when all are back, and then
    // the back-up and the mark of an install under way go.
    bool RestoreBackUp();
    bool MarkInstallUnderWay();
    BOOL PrepareWorkingCopy();
    BOOL ListUpdateTemp();
    BOOL NextDownload(CString &url);
    void FetchNextOrFinish();
    void PlaceFetchedFile();
    void RestartStoppedConsole();
    void EndRun();

    // Workers, started with this object as their parameter.
    static UINT __cdecl PickMirrorWorker(LPVOID steps);
    static UINT __cdecl StopProgramsWorker(LPVOID steps);
    static UINT __cdecl BackupInstallWorker(LPVOID steps);
    static UINT __cdecl ClearWorker(LPVOID steps);
    void StartWorker(AFX_THREADPROC procedure);
    // The worker's last act: the next step, and the message that runs it.
    void FinishWorker(int nextStep);
    bool BackUp();
    void Install();
    void ForgetFilesLeftAlone(const std::vector<CString> &paths);

    void StopDownloadAndWait();
    // The download thread is done with, waiting at most the time for its
    // end; one that outlives the wait is let go and deletes itself.
    void ReleaseDownloadThread(DWORD milliseconds);
    void WaitForWorker();
    void Post(UINT message);

    HWND m_window;
    IUpdateView &m_view;
    CString m_dir;

    volatile LONG m_step = 0;
    volatile LONG m_ok = FALSE;
    CString m_mirror;
    ManifestFile m_current;
    CUpdateManifest m_manifest;
    size_t m_nextDownload = 0;
    int m_lastShown = -1;

    std::shared_ptr<DownloadJob> m_job;
    UINT m_downloadSerial = 0;
    DWORD m_lastDownloadNews = 0;      // when the running download last reported
    bool m_stopAsked = false;          // the running download was asked to stop
    DWORD m_stopAskedAt = 0;
    CWinThread *m_downloadThread = nullptr;
    CEvent m_stopEvent;
    CProgressTally m_tally;
    BOOL m_stopNoted = FALSE;

    HANDLE m_worker = nullptr;         // the running or last worker thread
    volatile LONG m_workerBusy = FALSE;

    bool m_programsAsked = false;      // step 16 has run
    bool m_consoleRestarted = false;
    bool m_backupKept = false;         // a failed install could not restore it all
    bool m_runEnded = false;
    bool m_closePending = false;
    bool m_closing = false;
};
