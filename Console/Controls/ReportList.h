// CReportList: a plain report list whose columns come from a column text
// (as the grid list's) and whose rows can be walked by their first text.
#pragma once

#include <CListCtrl.h>
#include <CString.h>

class CReportList : public CListCtrl
{
public:
    // Appends the columns of "Title,width;..." left-aligned; FALSE when one
    // could not be inserted. A text without a comma adds nothing.
    BOOL SetColumns(const CString &columns);
    // Appends untitled columns of the control's default width up to n.
    void SetColumnCount(int n);
    int GetRowCount() const { return m_rowCount; }
    int GetColumnCount() const { return m_columnCount; }

    // A row at the end; its index, or -1.
    int AddRow(const CString &text);
    // Does nothing outside the rows.
    void DeleteRow(int index);
    // The first text of the first row, then of each next one; FALSE past
    // the last row, and again at every later call.
    BOOL GetFirstText(CString &text);
    BOOL GetNextText(CString &text);
    int FindRowByData(DWORD data) const;

private:
    int m_rowCount = 0;
    int m_columnCount = 0;
    int m_position = 0;
};
