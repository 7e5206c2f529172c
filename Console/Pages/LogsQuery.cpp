// The programs tab: the connection log queried into the grid with each
// program's name and icon, the row menu and the three deletions.
#include "LogsFrame.h"

#include "LoggedOn.h"

#include <CMenu.h>
#include <CWaitCursor.h>
#include <FileInfo.h>
#include <Formatting.h>
#include <ProgramLogs.h>

#include <commctrl.h>

#include <algorithm>
#include <map>

namespace {

const char TIME_FORMAT[] = "%Y-%m-%d %H:%M:%S";

CString LocalTimeText(DWORD seconds)
{
    return CTime(static_cast<__time64_t>(seconds)).Format(TIME_FORMAT);
}

} // namespace

// --- the query -----------------------------------------------------------------

void CLogsFrame::OnQuery()
{
    QueryProgramLogs();
}

void CLogsFrame::DayWindow(DWORD &from, DWORD &to) const
{
    const CTime start(m_windowStart.GetYear(), m_windowStart.GetMonth(), m_windowStart.GetDay(), 0,
                      0, 0);
    const CTime end(m_windowEnd.GetYear(), m_windowEnd.GetMonth(), m_windowEnd.GetDay(), 23, 59, 59);
    from = static_cast<DWORD>(start.GetTime());
    to = static_cast<DWORD>(end.GetTime());
}

void CLogsFrame::QueryProgramLogs()
{
    CWaitCursor wait;
    UpdateData(TRUE);
    DWORD from = 0, to = 0;
    DayWindow(from, to);
    DWORD program = CProgramLogs::kAllPrograms;
    BYTE action = CProgramLogs::kAllActions;
    if (m_programCombo.GetCurSel() > 0)
        program = static_cast<DWORD>(m_programCombo.GetItemData(m_programCombo.GetCurSel()));
    if (m_actionCombo.GetCurSel() > 0)
        action = static_cast<BYTE>(m_actionCombo.GetItemData(m_actionCombo.GetCurSel()));

    std::vector<LogRecord> logs;
    if (!m_logs || !m_logs->QueryLogs(from, to, program, action, logs))
        return;
    ClearProgramList();
    // Each program's file is read once for the query, however its rows
    // interleave with others: the image list holds one icon a program. A
    // row without a path shows no name and no icon.
    struct Described { CString name; int icon = -1; };
    std::map<CString, Described> programs;
    // The direction texts, read from the language file once for all rows.
    CString directions[DIRECTION_TEXTS];
    for (int direction = 0; direction < DIRECTION_TEXTS; ++direction)
        directions[direction] = DirectionText(static_cast<BYTE>(direction));
    for (const LogRecord &log : logs) {
        auto program = programs.find(log.Path);
        if (program == programs.end()) {
            program = programs.emplace(log.Path, Described()).first;
            if (!log.Path.IsEmpty())
                DescribeProgram(log.Path, program->second.name, program->second.icon);
        }
        AddLogRow(log, program->second.name, program->second.icon,
                  directions[std::min<int>(log.Direction, DIRECTION_TEXTS - 1)]);
    }
}

void CLogsFrame::DescribeProgram(const CString &path, CString &name, int &icon)
{
    HICON look = ReadProgramLook(path, name, IDI_PROGRAM_NO_ICON, IDI_PROGRAM_MISSING);
    icon = look ? m_programIcons.Add(look) : -1;
    // The list keeps a copy.
    if (look)
        DestroyIcon(look);
}

void CLogsFrame::AddLogRow(const LogRecord &log, const CString &name, int icon, const CString &direction)
{
    CString localPort, remote, counts;
    localPort.Format("%d", log.LocalPort);
    remote.Format("%s / %d",
                  static_cast<LPCTSTR>(log.WebSite.IsEmpty() ? IpToText(&log.RemoteIP) : log.WebSite),
                  log.RemotePort);
    counts.Format("%s / %s", static_cast<LPCTSTR>(FormatByteCount(log.InCount)),
                  static_cast<LPCTSTR>(FormatByteCount(log.OutCount)));
    const int row = m_programLogGrid.AddRow(
        {name, direction, localPort, remote, ProtocolName(log.Protocol), counts,
         ActionText(log.Action), LocalTimeText(log.StartTime), LocalTimeText(log.EndTime), log.Path});
    if (row < 0)
        return;
    m_programLogGrid.SetRowData(row, log.ID);
    if (icon >= 0)
        m_programLogGrid.SetCellImage(row, 0, icon);
}

CString CLogsFrame::DirectionText(BYTE direction) const
{
    static const LPCTSTR keys[] = {"T_Direction_In", "T_Direction_Out", "T_Direction_InOut",
                                   "T_Direction_Broadcast", "T_Direction_Listen"};
    return m_texts.GetText(direction < 5 ? keys[direction] : "T_Direction_Unknown");
}

void CLogsFrame::ClearProgramList()
{
    m_programLogGrid.DeleteAllRows();
    // All at once: one at a time from the front moves every image left.
    m_programIcons.Remove(-1);
    m_rememberedRow = -1;
}

void CLogsFrame::OnCleanList()
{
    ClearProgramList();
}

// --- clicks and the row menu ---------------------------------------------------

void CLogsFrame::OnListClick(NMHDR *pNotify, LRESULT *pResult)
{
    m_rememberedRow = reinterpret_cast<NMITEMACTIVATE *>(pNotify)->iItem;
    *pResult = 0;
}

void CLogsFrame::OnListRClick(NMHDR *pNotify, LRESULT *pResult)
{
    m_rememberedRow = reinterpret_cast<NMITEMACTIVATE *>(pNotify)->iItem;
    *pResult = 0;
    if (m_rememberedRow != -1)
        ShowRowMenu();
}

void CLogsFrame::ShowRowMenu()
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu *rowMenu = menu.GetSubMenu(CONTEXT_MENU_PROGRAM_LOGS);
    if (!rowMenu)
        return;
    const struct { UINT command; LPCTSTR key; } labels[] = {
        {ID_LOGS_DELETE, "MENU_Del"},
        {ID_LOGS_DELETE_PAGE, "MENU_DelPage"},
        {ID_LOGS_DELETE_ALL, "MENU_DelAll"},
    };
    for (const auto &label : labels)
        rowMenu->ModifyMenu(label.command, MF_BYCOMMAND | MF_STRING, label.command,
                            m_texts.GetText(label.key));
    rowMenu->SetDefaultItem(0, TRUE);
    POINT cursor;
    GetCursorPos(&cursor);
    rowMenu->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

// --- deletions -------------------------------------------------------------------

BOOL CLogsFrame::ConfirmDeletion(LPCTSTR key)
{
    if (!LoggedOn) {
        MessageBox(m_texts.GetText("LOG_DONT", "APP"), m_texts.GetAppName(), MB_ICONEXCLAMATION);
        return FALSE;
    }
    return MessageBox(m_texts.GetText(key), m_texts.GetAppName(), MB_YESNO | MB_ICONEXCLAMATION) ==
           IDYES;
}

void CLogsFrame::OnDeleteSelected()
{
    if (!m_programLogGrid.IsValidRow(m_rememberedRow))
        return;
    if (!ConfirmDeletion("WARN_DelSelLog"))
        return;
    // The row may have gone while the question was open.
    if (!m_programLogGrid.IsValidRow(m_rememberedRow))
        return;
    if (!m_logs || !m_logs->DeleteLog(m_programLogGrid.GetRowData(m_rememberedRow)))
        return;
    m_programLogGrid.DeleteRow(m_rememberedRow);
    m_rememberedRow = -1;
}

void CLogsFrame::OnDeletePage()
{
    if (m_programLogGrid.GetItemCount() == 0)
        return;
    // The key's text says what this deletes: every row of the shown window.
    if (!ConfirmDeletion("WARN_DelAllLog"))
        return;
    DWORD from = 0, to = 0;
    DayWindow(from, to);
    if (!m_logs || !m_logs->DeleteLogsByTime(from, to))
        return;
    ClearProgramList();
}

void CLogsFrame::OnCleanAll()
{
    // The key's text says what this deletes: the whole log.
    if (!ConfirmDeletion("WARN_DelPageLog"))
        return;
    if (!m_logs || !m_logs->DeleteAllLogs())
        return;
    ClearProgramList();
}
