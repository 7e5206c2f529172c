// CUpdateManifest: the updater's model of QfwUpdate.ini, the description of
// one release. It reads the working copy (UpdateTemp\QfwUpdate.ini) and the
// server's copy, compares their file lists into the list of files to fetch,
// and rewrites the working copy as files arrive.
#pragma once

#include "CString.h"

#include <vector>

// The description's own state name stands for a file in place; the seek
// origin of the same name (1) is never used by the updater.
#undef FILE_CURRENT

enum ManifestFileState {
    FILE_UNCHECKED = 0,
    FILE_NEW = 1,        // on the server only
    FILE_CHANGED = 2,    // the local time is older
    FILE_LOCAL_ONLY = 3,
    FILE_CURRENT = 4,
};

// One entry of section FILES.
struct ManifestFile {
    CString file;        // relative to the program folder, with backslashes
    CString modify_time; // compared byte by byte
    int rar_size = 0;
    int size = 0;
    int state = FILE_UNCHECKED;
};

// One entry of section SFILES: a program to stop before files are replaced.
struct ManifestProgram {
    CString FileName;    // the program's file name in the program folder
    CString MName;       // its mutex and the property on its main window
    int MID = 0;         // the message that makes it quit
    int W1 = 0;
    int W2 = 0;
};

// The most entries a server copy may list in any section.
const int MANIFEST_MAX_ENTRIES = 10000;

class CUpdateManifest
{
public:
    virtual ~CUpdateManifest() = default;

    // The working copy. TRUE when its end marker matches; the lists are
    // filled either way.
    BOOL ReadLocal(const CString &path);
    // The server's copy (its SWVersion comes from the working copy). TRUE
    // when its marker matches and it is sound: every file a safe path that
    // is not reserved, every program a program file name or none, the check
    // address one the updater can ask. Then the download list is built;
    // otherwise it is left as it was.
    BOOL ReadDownloaded(const CString &path);
    // A file has been fetched: its local entry becomes current and the
    // working copy is rewritten. The result is WriteLocal's.
    BOOL RefreshEntry(const ManifestFile &entry);
    // Rewrites the working copy with the entries known to be in UpdateTemp
    // or the program folder (current and local-only ones). The copy is
    // replaced only by a fully written file; FALSE when that fails.
    BOOL WriteLocal();
    // The sum of the sizes to fetch.
    int TotalSize() const;

    CString m_strVersion, m_strSWVersion, m_strCheckVeisionUrl, m_strUpdateTime;
    std::vector<ManifestFile> m_localFiles;
    std::vector<ManifestProgram> m_localPrograms;

    CString m_strServerVersion, m_strServerSWVersion, m_strServerCheckVeisionUrl,
        m_strServerUpdateTime;
    std::vector<CString> m_mirrors;
    std::vector<ManifestFile> m_serverFiles;
    std::vector<ManifestProgram> m_serverPrograms;

    std::vector<ManifestFile> m_updateTempFiles;
    std::vector<ManifestFile> m_downloadList;

    CString m_strLocalPath, m_strDownloadedPath;

private:
    BOOL Compare();
};
