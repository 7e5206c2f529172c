#include "ReleasePath.h"
#include "StringCodePage.h"

#include <cstring>

namespace {

// Names that open a device in any folder, whatever extension follows.
bool IsDeviceName(CString part)
{
    static const char *const devices[] = {
        "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$",
        "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
        "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
    };
    int dot = part.Find('.');
    CString base = dot >= 0 ? part.Left(dot) : part;
    base.TrimRight();
    base.MakeUpper();
    for (const char *device : devices) {
        if (base == device)
            return true;
    }
    return false;
}

bool IsSafePart(const CString &part)
{
    if (part.IsEmpty() || part == "." || part == "..")
        return false;
    TCHAR last = part[part.GetLength() - 1];
    if (last == '.' || last == ' ')
        return false;
    return !IsDeviceName(part);
}

bool IsForbiddenByte(unsigned char ch)
{
    return ch < 0x20 || ch == 0x7F || std::strchr("/:*?\"<>|", ch) != nullptr;
}

CString Lower(CString text)
{
    text.MakeLower();
    return text;
}

bool StartsWith(const CString &text, const char *prefix)
{
    return text.Left(static_cast<int>(std::strlen(prefix))) == prefix;
}

} // namespace

bool IsSafeReleasePath(const CString &path)
{
    CString part;
    for (int i = 0; i < path.GetLength(); ++i) {
        TCHAR ch = path[i];
        if (IsStringLeadByte(ch) && i + 1 < path.GetLength()) {
            part += ch;
            part += path[++i];
            continue;
        }
        if (ch == '\\') {
            if (!IsSafePart(part))
                return false;
            part.Empty();
            continue;
        }
        if (IsForbiddenByte(static_cast<unsigned char>(ch)))
            return false;
        part += ch;
    }
    return IsSafePart(part);
}

bool IsReservedReleasePath(const CString &path)
{
    static const char *const folders[] = {"updatetemp", "updateback"};
    static const char *const files[] = {
        "qfwupdate.ini",  "config.dat",     "programlogs.dat", "firewall.dat",
        "programsrule.dat", "sqlite_err.log", "kv_err.log", "updateinstalling",
    };
    CString lower = Lower(path);
    int slash = lower.Find('\\');
    CString first = slash >= 0 ? lower.Left(slash) : lower;
    for (const char *folder : folders) {
        if (first == folder)
            return true;
    }
    for (const char *file : files) {
        if (lower == file)
            return true;
    }
    return false;
}

bool IsProgramFileName(const CString &name)
{
    return name.Find('\\') < 0 && IsSafeReleasePath(name) && name.GetLength() > 4 &&
           Lower(name).Right(4) == ".exe";
}

bool IsUpdateAddress(const CString &url)
{
    CString lower = Lower(url);
    int host = StartsWith(lower, "http://") ? 7 : StartsWith(lower, "https://") ? 8 : 0;
    if (host == 0 || url.GetLength() == host || url[host] == '/')
        return false;
    for (int i = 0; i < url.GetLength(); ++i) {
        unsigned char ch = static_cast<unsigned char>(url[i]);
        if (ch <= 0x20 || ch == 0x7F)
            return false;
    }
    return true;
}
