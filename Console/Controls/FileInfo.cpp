#include "FileInfo.h"

#include <CWinApp.h>
#include <PathText.h>

#include <shellapi.h>

#include <new>

namespace {

const char kTimeFormat[] = "%Y-%m-%d %H:%M:%S";

HICON LoadResourceIcon(UINT id)
{
    // Not shared, so that the caller can destroy it like a file's icon.
    return static_cast<HICON>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

// One text of the version block's string table for a language and code
// page; empty when the block does not hold it.
CString VersionText(const BYTE *block, WORD language, WORD codePage, LPCTSTR name)
{
    CString query;
    query.Format("\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, query, &value, &length) || !value || length == 0)
        return CString();
    return CString(static_cast<LPCTSTR>(value));
}

} // namespace

int CFileInfo::Read(LPCTSTR path)
{
    if (m_hFile != hFileNull)
        Close();
    if (!Open(path, modeRead | shareDenyNone))
        return READ_NO_FILE;

    int result = READ_OK;
    CFileStatus status;
    if (GetStatus(status)) {
        m_created = status.m_ctime.Format(kTimeFormat);
        m_modified = status.m_mtime.Format(kTimeFormat);
        m_accessed = status.m_atime.Format(kTimeFormat);
        m_size = status.m_size;
        m_sizeText.Format("%d", static_cast<int>(m_size));
    } else {
        result = READ_NO_FILE;
    }

    // Nothing of the previous file may stay behind.
    m_description.Empty();
    m_productVersion.Empty();
    m_company.Empty();

    DWORD unused = 0;
    const DWORD blockSize = GetFileVersionInfoSizeA(path, &unused);
    if (blockSize == 0) {
        // Without a version block the file stays open until the next read.
        m_description = GetFileTitle();
        return READ_OK;
    }
    if (!ReadVersionTexts(path, blockSize))
        result = READ_NO_MEMORY;
    Close();
    return result;
}

bool CFileInfo::ReadVersionTexts(LPCTSTR path, DWORD size)
{
    BYTE *block = new (std::nothrow) BYTE[size + 1];
    if (!block)
        return false;
    ZeroMemory(block, size + 1);
    GetFileVersionInfoA(path, 0, size, block);

    LPVOID translations = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block, "\\VarFileInfo\\Translation", &translations, &length) && translations) {
        // Pairs of language and code page; a later pair overrides an earlier one.
        const WORD *pair = static_cast<const WORD *>(translations);
        for (UINT i = 0; i < length / 4; ++i, pair += 2) {
            m_company = VersionText(block, pair[0], pair[1], "CompanyName");
            m_productVersion = VersionText(block, pair[0], pair[1], "ProductVersion");
            m_description = VersionText(block, pair[0], pair[1], "FileDescription");
        }
    }
    if (m_description.IsEmpty())
        m_description = GetFileTitle();
    delete[] block;
    return true;
}

CString CFileInfo::FormatSize(CString unit)
{
    unit.MakeUpper();
    if (unit == "B") {
        CString digits;
        digits.Format("%d", static_cast<int>(m_size));
        for (int at = digits.GetLength() - 3; at > 0; at -= 3)
            digits.Insert(at, ',');
        m_sizeText = digits + " bytes";
    } else if (unit == "K") {
        m_sizeText.Format("%8.3f K", static_cast<DWORD>(m_size) / 1024.0);
    } else if (unit == "M") {
        m_sizeText.Format("%8.3f M", static_cast<DWORD>(m_size) / 1048576.0);
    }
    return m_sizeText;
}

int CFileInfo::ReadLocal(LPCTSTR path)
{
    return IsLocalAbsolutePath(path) ? Read(path) : READ_NO_FILE;
}

HICON ReadProgramLook(LPCTSTR path, CString &name, UINT noIconId, UINT lostId)
{
    CFileInfo info;
    if (info.Read(path) != CFileInfo::READ_OK) {
        const CString whole(path);
        name = whole.Mid(whole.ReverseFind('\\') + 1);
        return LoadResourceIcon(lostId);
    }
    name = info.GetDescription();
    HICON icon = ExtractIconA(AfxGetInstanceHandle(), path, 0);
    // NULL: no icon; 1: the file is no program or icon file.
    if (reinterpret_cast<UINT_PTR>(icon) <= 1)
        icon = LoadResourceIcon(noIconId);
    return icon;
}

HICON ExtractLocalIcon(HINSTANCE instance, LPCTSTR path)
{
    return IsLocalAbsolutePath(path) ? ExtractIconA(instance, path, 0) : NULL;
}
