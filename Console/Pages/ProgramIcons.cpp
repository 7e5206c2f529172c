#include "ProgramIcons.h"

#include "FileInfo.h"

#include <shellapi.h>

CProgramIcons::CProgramIcons(CImageList &images, HINSTANCE resources, int firstImage, UINT standInIcon)
    : m_images(images), m_resources(resources), m_firstImage(firstImage), m_standInIcon(standInIcon)
{
}

CString CProgramIcons::KeyOf(const CString &path)
{
    CString key = path;
    key.MakeUpper();
    return key;
}

int CProgramIcons::Acquire(const CString &path)
{
    const CString key = KeyOf(path);
    auto found = m_icons.find(key);
    if (found != m_icons.end()) {
        ++found->second.Users;
        return found->second.Image;
    }
    const int image = AddIcon(path);
    if (image >= 0)
        m_icons[key] = Icon{image, 1};
    return image;
}

int CProgramIcons::Release(const CString &path)
{
    auto found = m_icons.find(KeyOf(path));
    if (found == m_icons.end() || --found->second.Users > 0)
        return -1;
    const int image = found->second.Image;
    m_icons.erase(found);
    m_images.Remove(image);
    for (auto &icon : m_icons) {
        if (icon.second.Image > image)
            --icon.second.Image;
    }
    return image;
}

int CProgramIcons::ImageOf(const CString &path) const
{
    auto found = m_icons.find(KeyOf(path));
    return found == m_icons.end() ? -1 : found->second.Image;
}

// From the last image down, so that no index moves before it goes.
void CProgramIcons::Clear()
{
    for (int image = m_images.GetImageCount() - 1; image >= m_firstImage; --image)
        m_images.Remove(image);
    m_icons.clear();
}

// ExtractLocalIcon gives NULL for a file without icons or a path that is
// not a local one, and 1 for a file that is not a program or icon file; all
// mean the stand-in icon. The list keeps a
// copy, so the extracted icon is destroyed.
int CProgramIcons::AddIcon(LPCTSTR path)
{
    HICON icon = ExtractLocalIcon(m_resources, path);
    const bool extracted = icon && icon != reinterpret_cast<HICON>(1);
    if (!extracted)
        icon = LoadIcon(m_resources, MAKEINTRESOURCE(m_standInIcon));
    const int image = m_images.Add(icon);
    if (extracted)
        DestroyIcon(icon);
    return image;
}
