// CProgramLooks: what the program page's rule grid shows of each rule's
// program file, its name and the image of its icon in the page's image
// list. A file costs a read of its version block and of its icon: it is
// read the first time a row shows it and again only after its time of last
// write or its size changed, so that a refill after an edit reads no file
// that the grid showed before. A fill keeps the looks of the rules it
// still shows and drops the others with their images, so the list holds
// one image per rule shown, however long the console runs.
#pragma once

#include <windows.h>

#include <CImageList.h>
#include <CString.h>

#include <map>

class CProgramLooks
{
public:
    struct Look {
        CString Name;
        // Into the image list; -1 when no icon could be had.
        int Image = -1;
    };

    // The stand-in icons are the module's own: one for a file that holds
    // no icon, one for a file that cannot be read.
    CProgramLooks(CImageList &images, UINT noIconId, UINT lostId);
    CProgramLooks(const CProgramLooks &) = delete;
    CProgramLooks &operator=(const CProgramLooks &) = delete;

    // The look of the rule's program, read from its file when the rule or
    // its path is new here or the file has changed since.
    const Look &Of(DWORD rule, const CString &path);
    // Drops, with their images, the looks of the rules that are gone or
    // name another program now; the images after a dropped one move down.
    void KeepOnly(const std::map<DWORD, CString> &rulePaths);

private:
    // What tells a changed file: its time of last write and its size, or
    // that it could not be found.
    struct Stamp {
        bool found = false;
        FILETIME written = {};
        DWORD sizeHigh = 0;
        DWORD sizeLow = 0;
        bool operator==(const Stamp &other) const;
    };
    struct Entry {
        CString path;
        Stamp stamp;
        Look look;
    };

    static Stamp StampOf(const CString &path);
    // Reads the name and the icon; the icon takes the place of the image
    // `image`, or a new one for -1.
    Look Read(const CString &path, int image);

    CImageList &m_images;
    UINT m_noIconId;
    UINT m_lostId;
    // By rule ID: one rule names one program.
    std::map<DWORD, Entry> m_looks;
};
