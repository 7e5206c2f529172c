// CStringArray: a growable array of CString.
#pragma once

#include "CString.h"

#include <cassert>
#include <vector>

class CStringArray
{
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }

    // Returns the index of the new element.
    int Add(const CString &newElement)
    {
        m_items.push_back(newElement);
        return GetSize() - 1;
    }

    // An index out of range is a caller error.
    CString GetAt(int nIndex) const { return m_items[CheckedIndex(nIndex)]; }
    const CString &operator[](int nIndex) const { return m_items[CheckedIndex(nIndex)]; }
    CString &operator[](int nIndex) { return m_items[CheckedIndex(nIndex)]; }

    void RemoveAll() { m_items.clear(); }

private:
    size_t CheckedIndex(int nIndex) const
    {
        assert(nIndex >= 0 && nIndex < GetSize());
        return static_cast<size_t>(nIndex);
    }

    std::vector<CString> m_items;
};
