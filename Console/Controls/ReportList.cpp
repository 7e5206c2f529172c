#include "ReportList.h"

#include "ColumnList.h"

BOOL CReportList::SetColumns(const CString &columns)
{
    return ForEachColumn(columns, [this](const CString &title, int width) {
        if (InsertColumn(m_columnCount, title, LVCFMT_LEFT, width, -1) == -1)
            return false;
        ++m_columnCount;
        return true;
    });
}

void CReportList::SetColumnCount(int n)
{
    for (int column = GetHeaderCtrl()->GetItemCount(); column < n; ++column)
        InsertColumn(column, "", LVCFMT_LEFT);
    m_columnCount = n;
}

int CReportList::AddRow(const CString &text)
{
    // One past the end: the list places it last.
    const int index = InsertItem(m_rowCount + 1, text);
    if (index != -1)
        ++m_rowCount;
    return index;
}

void CReportList::DeleteRow(int index)
{
    if (index < 0 || index >= m_rowCount)
        return;
    if (DeleteItem(index))
        --m_rowCount;
}

BOOL CReportList::GetFirstText(CString &text)
{
    if (m_rowCount == 0)
        return FALSE;
    m_position = 0;
    text = GetItemText(0, 0);
    return TRUE;
}

BOOL CReportList::GetNextText(CString &text)
{
    // The position stays past the end once it gets there.
    if (m_position < m_rowCount)
        ++m_position;
    if (m_position >= m_rowCount)
        return FALSE;
    text = GetItemText(m_position, 0);
    return TRUE;
}

int CReportList::FindRowByData(DWORD data) const
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(data);
    return FindItem(&find);
}
