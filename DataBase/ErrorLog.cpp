#include "ErrorLog.h"

#include "CFile.h"
#include "CppSQLiteException.h"

namespace {

CString &ErrorLogFolder()
{
    static CString folder;
    return folder;
}

CString ProgramFolder()
{
    CString path;
    DWORD length = GetModuleFileNameA(nullptr, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer(length < MAX_PATH ? static_cast<int>(length) : 0);
    return path.Left(path.ReverseFind('\\') + 1);
}

bool FolderExists(const CString &folder)
{
    DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void SetErrorLogFolder(LPCTSTR folder)
{
    ErrorLogFolder() = folder;
}

CString GetErrorLogFolder()
{
    if (ErrorLogFolder().IsEmpty())
        ErrorLogFolder() = ProgramFolder();
    return ErrorLogFolder();
}

CString FormatLogTime(const SYSTEMTIME &time)
{
    static const char days[] = "SunMonTueWedThuFriSat";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    CString text;
    text.Format("%.3s %.3s %2u %02u:%02u:%02u %u", days + 3 * (time.wDayOfWeek % 7),
                months + 3 * ((time.wMonth + 11) % 12), time.wDay, time.wHour, time.wMinute,
                time.wSecond, time.wYear);
    return text;
}

void LogDatabaseError(const CppSQLiteException &e, const SourcePlace &place)
{
    CString message;
    message.Format("%d:%s", e.GetCode(), e.GetMessageText());
    WriteErrorLog(GetErrorLogFolder() + "sqlite_err.log", message, place);
}

void LogOtherError(const SourcePlace &place)
{
    WriteErrorLog(GetErrorLogFolder() + "kv_err.log", "error", place);
}

bool WriteErrorLog(LPCTSTR path, LPCTSTR message, const SourcePlace &place)
{
    // The folder is tested, not entered: changing the process's current
    // folder would move every relative path of the console with it.
    CString file(path);
    int slash = file.ReverseFind('\\');
    if (slash >= 0) {
        CString folder = file.Left(slash);
        if (!FolderExists(folder) && !CreateDirectoryA(folder, nullptr))
            return false;
    }
    WriteErrorLine(path, message, place);
    return true;
}

bool WriteErrorLine(LPCTSTR path, LPCTSTR message, const SourcePlace &place)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString line;
    line.Format("%s,%s[%s],line %d: %s\r\n", static_cast<LPCTSTR>(FormatLogTime(now)), place.file,
                place.timestamp, place.line, message);
    // Shared with everyone: another reader or writer of the log never makes
    // a line fail.
    try {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite
                             | CFile::shareDenyNone);
        file.SeekToEnd();
        file.Write(static_cast<LPCTSTR>(line), line.GetLength());
        file.Close();
    } catch (CException *e) {
        e->Delete();
        return false;
    }
    return true;
}
