#include "ProgramLooks.h"

#include <FileInfo.h>

#include <algorithm>
#include <vector>

bool CProgramLooks::Stamp::operator==(const Stamp &other) const
{
    return found == other.found && CompareFileTime(&written, &other.written) == 0 && sizeHigh == other.sizeHigh &&
           sizeLow == other.sizeLow;
}

CProgramLooks::CProgramLooks(CImageList &images, UINT noIconId, UINT lostId)
    : m_images(images), m_noIconId(noIconId), m_lostId(lostId)
{
}

CProgramLooks::Stamp CProgramLooks::StampOf(const CString &path)
{
    Stamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        stamp.found = true;
        stamp.written = data.ftLastWriteTime;
        stamp.sizeHigh = data.nFileSizeHigh;
        stamp.sizeLow = data.nFileSizeLow;
    }
    return stamp;
}

const CProgramLooks::Look &CProgramLooks::Of(DWORD rule, const CString &path)
{
    const Stamp stamp = StampOf(path);
    const auto found = m_looks.find(rule);
    if (found == m_looks.end()) {
        Entry &entry = m_looks[rule];
        entry.path = path;
        entry.stamp = stamp;
        entry.look = Read(path, -1);
        return entry.look;
    }
    Entry &entry = found->second;
    if (entry.path != path || !(entry.stamp == stamp)) {
        entry.path = path;
        entry.stamp = stamp;
        entry.look = Read(path, entry.look.Image);
    }
    return entry.look;
}

void CProgramLooks::KeepOnly(const std::map<DWORD, CString> &rulePaths)
{
    std::vector<int> dropped;
    for (auto look = m_looks.begin(); look != m_looks.end();) {
        const auto rule = rulePaths.find(look->first);
        if (rule != rulePaths.end() && rule->second == look->second.path) {
            ++look;
            continue;
        }
        if (look->second.look.Image >= 0)
            dropped.push_back(look->second.look.Image);
        look = m_looks.erase(look);
    }
    // From the last image down, so that no index moves before it goes.
    std::sort(dropped.begin(), dropped.end());
    for (auto image = dropped.rbegin(); image != dropped.rend(); ++image)
        m_images.Remove(*image);
    for (auto &look : m_looks) {
        int &image = look.second.look.Image;
        if (image >= 0)
            image -= static_cast<int>(std::lower_bound(dropped.begin(), dropped.end(), image) - dropped.begin());
    }
}

CProgramLooks::Look CProgramLooks::Read(const CString &path, int image)
{
    Look look;
    HICON icon = ReadProgramLook(path, look.Name, m_noIconId, m_lostId);
    // A changed file's icon takes its old image's place; where it cannot,
    // the old picture stays.
    look.Image = image;
    if (icon) {
        if (image < 0)
            look.Image = m_images.Add(icon);
        else
            m_images.Replace(image, icon);
        // The list keeps a copy.
        ::DestroyIcon(icon);
    }
    return look;
}
