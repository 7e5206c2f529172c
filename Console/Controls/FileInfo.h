// CFileInfo: what the windows show about a program file - the description
// from its version resource (else its file title), two more version texts,
// its three times and its size.
#pragma once

#include <CFile.h>
#include <CString.h>

#include <windows.h>

class CFileInfo : public CFile
{
public:
    enum { READ_OK = 0, READ_NO_FILE = -1, READ_NO_MEMORY = 8 };

    // 0 on success; -1 when the file cannot be opened (every text is left as
    // it was) or its status cannot be read; 8 when there is no memory for
    // the version block. A file this object still holds is closed first.
    int Read(LPCTSTR path);
    // Read of a path that another process reported (the shared connection
    // table): opened only when it is a local absolute path, else -1 with
    // nothing read.
    int ReadLocal(LPCTSTR path);

    CString GetDescription() const { return m_description; }
    CString GetProductVersion() const { return m_productVersion; }
    CString GetCreated() const { return m_created; }
    CString GetModified() const { return m_modified; }
    CString GetAccessed() const { return m_accessed; }
    CString GetCompany() const { return m_company; }
    LONG GetSize() const { return m_size; }

    // The size in a unit, which is also kept as the size text: "B" groups
    // the bytes by thousands ("1,048,576 bytes"), "K" and "M" give kilo- and
    // megabytes with three decimals in eight places ("   1.500 K"); any
    // other unit leaves the size text as it was.
    CString FormatSize(CString unit);

protected:
    // The version texts from the file's version block of the given size;
    // false when there is no memory for the block.
    bool ReadVersionTexts(LPCTSTR path, DWORD size);

    CString m_description;
    CString m_productVersion;
    CString m_created;
    CString m_modified;
    CString m_accessed;
    CString m_sizeText;
    CString m_company;
    LONG m_size = 0;
};

// What a list shows of a program file: the description its file gives and
// its first icon. A file that holds no icon shows the module's icon noIconId;
// one that cannot be read shows its file name and the icon lostId. The icon
// is the caller's to destroy; NULL when none could be loaded.
HICON ReadProgramLook(LPCTSTR path, CString &name, UINT noIconId, UINT lostId);

// The first icon of a program file that another process reported, as
// ExtractIconA gives it (NULL or 1 for none); NULL, with nothing opened, for
// a path that is not a local absolute one.
HICON ExtractLocalIcon(HINSTANCE instance, LPCTSTR path);
