// CDWordArray: a growable array of DWORD.
#pragma once

#include <windows.h>

#include <cassert>
#include <vector>

class CDWordArray
{
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }

    // Returns the index of the new element.
    int Add(DWORD newElement)
    {
        m_items.push_back(newElement);
        return GetSize() - 1;
    }

    // An index out of range is a caller error.
    DWORD GetAt(int nIndex) const { return m_items[CheckedIndex(nIndex)]; }
    DWORD operator[](int nIndex) const { return m_items[CheckedIndex(nIndex)]; }
    DWORD &operator[](int nIndex) { return m_items[CheckedIndex(nIndex)]; }

    // Removes nCount elements from nIndex on; the later ones move down.
    void RemoveAt(int nIndex, int nCount = 1)
    {
        assert(nIndex >= 0 && nCount >= 0 && nCount <= GetSize() - nIndex);
        if (nIndex < 0 || nIndex >= GetSize() || nCount <= 0)
            return;
        if (nCount > GetSize() - nIndex)
            nCount = GetSize() - nIndex;
        auto first = m_items.begin() + nIndex;
        m_items.erase(first, first + nCount);
    }

    void RemoveAll() { m_items.clear(); }

private:
    size_t CheckedIndex(int nIndex) const
    {
        assert(nIndex >= 0 && nIndex < GetSize());
        return static_cast<size_t>(nIndex);
    }

    std::vector<DWORD> m_items;
};
