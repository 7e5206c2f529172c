// CProgramIcons: the program icons of the traffic monitor's image list, one
// per program file however many of its processes the tree shows. Each icon
// counts the process nodes that use it and leaves the list with the last
// of them, so that a console that runs for months keeps a list as long as
// the programs it shows at once, not as long as all it ever saw.
//
// Removing an image moves the later ones down by one; the caller renumbers
// the nodes that showed them (Release says which index went).
#pragma once

#include <windows.h>

#include <CImageList.h>
#include <CString.h>

#include <map>

class CProgramIcons
{
public:
    // Program icons follow the list's first `firstImage` images, which stay.
    CProgramIcons(CImageList &images, HINSTANCE resources, int firstImage, UINT standInIcon);
    CProgramIcons(const CProgramIcons &) = delete;
    CProgramIcons &operator=(const CProgramIcons &) = delete;

    // The image of a program file for one more node: its own icon, or the
    // stand-in when the file has none; -1 when the list takes no image.
    int Acquire(const CString &path);
    // One node fewer uses the program's icon. The index of the image that
    // left the list, or -1 when it stays (or the program had none).
    int Release(const CString &path);
    // The image a program's nodes show, or -1.
    int ImageOf(const CString &path) const;
    // Every program icon leaves the list at once.
    void Clear();

    size_t ProgramCount() const { return m_icons.size(); }

private:
    struct Icon {
        int Image;
        int Users;
    };

    static CString KeyOf(const CString &path);
    int AddIcon(LPCTSTR path);

    CImageList &m_images;
    HINSTANCE m_resources;
    int m_firstImage;
    UINT m_standInIcon;
    // By program path, upper-cased: Windows names files without regard to case.
    std::map<CString, Icon> m_icons;
};
