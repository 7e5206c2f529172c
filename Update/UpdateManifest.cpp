#include "UpdateManifest.h"
#include "ProfileReader.h"
#include "ReleasePath.h"
#include "UpdateMarkers.h"

#include <climits>
#include <cstdio>

namespace {

const char kMainSection[] = "MAIN_INFOR";
const char kFilesSection[] = "FILES";
const char kProgramsSection[] = "SFILES";
const char kMirrorsSection[] = "DOWNLOAD_URL";

bool MarkerMatches(const CProfileReader &reader)
{
    return reader.Text("END_FLAG", "MARK_STR") == UPDATE_FILE_MARKER;
}


// The first entry with exactly this file text (letter case counts).
template <class List> auto FindFile(List &files, const CString &file) -> decltype(&files[0])
{
    for (auto &entry : files) {
        if (entry.file == file)
            return &entry;
    }
    return nullptr;
}

// Writes the whole text or reports that it could not.
bool WriteText(HANDLE file, const CString &text)
{
    DWORD written = 0;
    return WriteFile(file, static_cast<LPCSTR>(text), text.GetLength(), &written, nullptr) &&
           written == static_cast<DWORD>(text.GetLength());
}

bool ReplaceFile(const CString &from, const CString &to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING))
        return true;
    // Systems without MoveFileExA: make room, then rename.
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    DeleteFileA(to);
    return MoveFileA(from, to) != FALSE;
}

} // namespace

BOOL CUpdateManifest::ReadLocal(const CString &path)
{
    m_localFiles.clear();
    m_strLocalPath = path;
    CProfileReader reader(path);

    m_strVersion = reader.Text(kMainSection, "Version");
    m_strSWVersion = reader.Text(kMainSection, "SWVersion");
    m_strUpdateTime = reader.Text(kMainSection, "UpdateTime");
    m_strCheckVeisionUrl = reader.Text(kMainSection, "CheckVeisionUrl");

    int fileCount = NarrowNumber(reader.Number(kFilesSection, "Number"));
    for (int i = 1; i <= fileCount; ++i) {
        ManifestFile entry;
        entry.file = reader.Text(kFilesSection, i, "_file");
        entry.modify_time = reader.Text(kFilesSection, i, "_modify_time");
        entry.size = NarrowNumber(reader.Number(kFilesSection, i, "_size"));
        m_localFiles.push_back(entry);
    }

    m_localPrograms.clear();
    int programCount = NarrowNumber(reader.Number(kProgramsSection, "Number"));
    for (int i = 1; i <= programCount; ++i) {
        ManifestProgram program;
        program.FileName = reader.Text(kProgramsSection, i, "_FileName");
        program.MName = reader.Text(kProgramsSection, i, "_MName");
        program.MID = NarrowNumber(reader.Number(kProgramsSection, i, "_MID"));
        program.W1 = NarrowNumber(reader.Number(kProgramsSection, i, "_W1"));
        program.W2 = NarrowNumber(reader.Number(kProgramsSection, i, "_W2"));
        m_localPrograms.push_back(program);
    }

    return MarkerMatches(reader);
}

BOOL CUpdateManifest::ReadDownloaded(const CString &path)
{
    m_serverFiles.clear();
    m_strDownloadedPath = path;
    CProfileReader reader(path);

    m_strServerVersion = reader.Text(kMainSection, "Version");
    m_strServerUpdateTime = reader.Text(kMainSection, "UpdateTime");
    m_strServerCheckVeisionUrl = reader.Text(kMainSection, "CheckVeisionUrl");
    m_strServerSWVersion = CProfileReader(m_strLocalPath).Text(kMainSection, "SWVersion");

    // Counts come from the network: one beyond reason refuses the copy
    // before anything is read in a loop.
    long long mirrorCount = reader.Number(kMirrorsSection, "Number");
    long long fileCount = reader.Number(kFilesSection, "Number");
    long long programCount = reader.Number(kProgramsSection, "Number");
    if (mirrorCount > MANIFEST_MAX_ENTRIES || fileCount > MANIFEST_MAX_ENTRIES ||
        programCount > MANIFEST_MAX_ENTRIES)
        return FALSE;

    m_mirrors.clear();
    for (int i = 1; i <= mirrorCount; ++i)
        m_mirrors.push_back(reader.Text(kMirrorsSection, i, ""));

    bool sound = true;
    for (int i = 1; i <= fileCount; ++i) {
        ManifestFile entry;
        entry.file = reader.Text(kFilesSection, i, "_file");
        entry.modify_time = reader.Text(kFilesSection, i, "_modify_time");
        entry.rar_size = NarrowNumber(reader.Number(kFilesSection, i, "_rar_size"));
        long long size = reader.Number(kFilesSection, i, "_size");
        if (size < 0 || size > INT_MAX || !IsSafeReleasePath(entry.file) ||
            IsReservedReleasePath(entry.file))
            sound = false;
        entry.size = NarrowNumber(size);
        m_serverFiles.push_back(entry);
    }

    m_serverPrograms.clear();
    for (int i = 1; i <= programCount; ++i) {
        ManifestProgram program;
        program.FileName = reader.Text(kProgramsSection, i, "_FileName");
        program.MName = reader.Text(kProgramsSection, i, "_MName");
        program.MID = NarrowNumber(reader.Number(kProgramsSection, i, "_MID"));
        // The server may name programs of this release to stop, and only
        // by their file names; an empty one names none.
        if (!program.FileName.IsEmpty() && !IsProgramFileName(program.FileName))
            sound = false;
        m_serverPrograms.push_back(program);
    }

    // The next run asks this address: one it cannot ask would end every
    // later update at its first step.
    if (!IsUpdateAddress(m_strServerCheckVeisionUrl))
        sound = false;

    if (!sound || !MarkerMatches(reader))
        return FALSE;
    return Compare();
}

BOOL CUpdateManifest::Compare()
{
    // Worked out on copies, so that a refused result changes nothing.
    std::vector<ManifestFile> localFiles = m_localFiles;
    std::vector<ManifestFile> downloadList;

    if (!m_serverFiles.empty()) {
        for (const ManifestFile &server : m_serverFiles) {
            ManifestFile *local = FindFile(localFiles, server.file);
            if (!local) {
                downloadList.push_back(server);
                downloadList.back().state = FILE_NEW;
            } else if (local->modify_time.Compare(server.modify_time) < 0) {
                local->state = FILE_CHANGED;
                downloadList.push_back(server);
                downloadList.back().state = FILE_CHANGED;
            } else {
                local->state = FILE_UNCHECKED;
            }
        }
        for (ManifestFile &local : localFiles) {
            if (local.state != FILE_UNCHECKED)
                continue;
            local.state = FindFile(m_serverFiles, local.file) ? FILE_CURRENT : FILE_LOCAL_ONLY;
        }
        for (const ManifestFile &entry : downloadList) {
            if (entry.state == FILE_NEW)
                localFiles.push_back(entry);
        }
    }

    long long total = 0;
    for (const ManifestFile &entry : downloadList)
        total += entry.size;
    if (total > INT_MAX)
        return FALSE;

    m_localFiles.swap(localFiles);
    m_downloadList.swap(downloadList);
    return TRUE;
}

BOOL CUpdateManifest::RefreshEntry(const ManifestFile &entry)
{
    if (ManifestFile *local = FindFile(m_localFiles, entry.file)) {
        local->file = entry.file;
        local->modify_time = entry.modify_time;
        local->size = entry.size;
        local->rar_size = entry.rar_size;
        local->state = FILE_CURRENT;
    }
    return WriteLocal();
}

BOOL CUpdateManifest::WriteLocal()
{
    CString text;
    text.Format("[MAIN_INFOR]\r\n\tVersion=%s\r\n\tSWVersion=%s\r\n\tUpdateTime=%s\r\n"
                "\tCheckVeisionUrl=%s\r\n[FILES]\r\n",
                static_cast<LPCSTR>(m_strVersion), static_cast<LPCSTR>(m_strSWVersion),
                static_cast<LPCSTR>(m_strUpdateTime), static_cast<LPCSTR>(m_strCheckVeisionUrl));
    // Only files known to be in place are listed: one still to fetch stays
    // out, so that an interrupted run fetches it next time.
    int written = 0;
    for (const ManifestFile &entry : m_localFiles) {
        if (entry.state != FILE_CURRENT && entry.state != FILE_LOCAL_ONLY)
            continue;
        ++written;
        CString lines;
        lines.Format("\t%d_file=%s\r\n\t%d_modify_time=%s\r\n\t%d_size=%d\r\n\r\n", written,
                     static_cast<LPCSTR>(entry.file), written,
                     static_cast<LPCSTR>(entry.modify_time), written, entry.size);
        text += lines;
    }
    CString tail;
    tail.Format("\tNumber=%d\r\n\r\n[END_FLAG]\r\n\tMARK_STR=%s\r\n", written, UPDATE_FILE_MARKER);
    text += tail;

    // The copy is replaced only by a whole one: a cut-short write never
    // leaves a description without its marker behind.
    CString temporary = m_strLocalPath + ".new";
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    bool complete = WriteText(file, text);
    complete = CloseHandle(file) && complete;
    if (!complete || !ReplaceFile(temporary, m_strLocalPath)) {
        DeleteFileA(temporary);
        return FALSE;
    }
    return TRUE;
}

int CUpdateManifest::TotalSize() const
{
    long long total = 0;
    for (const ManifestFile &entry : m_downloadList)
        total += entry.size;
    return NarrowNumber(total);
}
