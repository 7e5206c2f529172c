// The program page's Program view: one grid row per program rule, with the
// rule's ID as the row's data. Columns: 0 active, 1 icon and name, 2 to 4
// the Internet, trusted and mail actions, 5 the lock key, 6 the advanced
// settings button. Edits go through the publisher, which writes the store
// and then the rule image; an edit either refuses says so and leaves the
// grid as the store holds it. A row reads its program's name and icon when
// the grid first needs them (drawn, read or sorted), not at the fill, and
// from the program's file only when the page has not shown that file yet.
#include "ProgramFrame.h"

#include "AclPublisher.h"
#include "AdvancedRuleDialog.h"
#include "EditRefusal.h"
#include "LoggedOnRefusal.h"
#include "ConsoleMessages.h"

#include <CFileFind.h>
#include <CMenu.h>
#include <FileInfo.h>
#include <SafeFormat.h>

#include <commctrl.h>

namespace {

enum Column { COL_ACTIVE, COL_NAME, COL_INET, COL_TNET, COL_MAIL, COL_LOCK, COL_OPTION, COLUMNS };

// The console's context menus.
const UINT IDR_CONTEXT_MENUS = 139;
const int CONTEXT_MENU_PROGRAM = 1;
const int CONTEXT_MENU_LOCK = 3;

const UINT ID_MENU_DELETE = 32774;
const UINT ID_PROGRAM_OPTION = 32781;
const UINT ID_LOCK_DENY = 32784;
const UINT ID_LOCK_PASS = 32785;
const UINT ID_PROGRAM_PROPERTIES = 32786;

} // namespace

void CProgramFrame::SetUpGrid()
{
    m_ruleGrid.SetExtendedStyle(m_ruleGrid.GetExtendedStyle() | LVS_EX_GRIDLINES |
                                LVS_EX_FULLROWSELECT);
    m_ruleGrid.SetColumns(m_texts.GetText("LIST_HEAD"));
    CGridHeader &header = m_ruleGrid.Header();
    // The header calls refuse columns the text did not make.
    header.SetCellType(COL_LOCK, RUNTIME_CLASS(CJHIconCell));
    header.SetCellType(COL_OPTION, RUNTIME_CLASS(CJHIconCell));
    for (int column : {COL_ACTIVE, COL_INET, COL_TNET, COL_MAIL, COL_LOCK, COL_OPTION}) {
        if (column < m_ruleGrid.GetColumnCount()) {
            m_ruleGrid.LockColumn(column);
            header.SetCellArrow(column, FALSE);
        }
    }
    // The grid refuses columns the text did not make.
    m_ruleGrid.SetColumnCellType(COL_ACTIVE, RUNTIME_CLASS(CJActiveCell));
    for (int column : {COL_INET, COL_TNET, COL_MAIL})
        m_ruleGrid.SetColumnCellType(column, RUNTIME_CLASS(CJActionCell));
    m_ruleGrid.SetColumnCellType(COL_LOCK, RUNTIME_CLASS(CJKeyCell));
    m_ruleGrid.SetColumnCellType(COL_OPTION, RUNTIME_CLASS(CJOptionCell));
    m_programIcons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 50);
    m_ruleGrid.SetImageList(&m_programIcons, LVSIL_NORMAL);
    // A program's file costs a read each: only the rows shown read theirs.
    m_ruleGrid.SetRowFiller([this](int row) { FillProgramCell(row); });
}

// A store that cannot be read leaves the rows as they were last read.
void CProgramFrame::FillProgramList()
{
    m_firstFillDue = FALSE;
    if (m_currentView != VIEW_PROGRAM)
        return;
    std::vector<RuleRecord> rules;
    const BOOL read = m_publisher && m_publisher->RuleStore().LoadRules(rules);
    if (m_publisher && !read && m_ruleGrid.GetItemCount() > 0)
        return;
    m_ruleGrid.DeleteAllRows();
    m_rulePaths.clear();
    for (const RuleRecord &rule : rules)
        AddRuleRow(rule);
    // The new rows show the looks of the rules that stay.
    m_programLooks.KeepOnly(m_rulePaths);
}

void CProgramFrame::AddRuleRow(const RuleRecord &rule)
{
    const CString empty[COLUMNS];
    const int row = m_ruleGrid.AddRow(empty, COLUMNS);
    if (row < 0)
        return;
    for (int column : {COL_INET, COL_TNET, COL_MAIL}) {
        if (auto *cell = dynamic_cast<CJActionCell *>(m_ruleGrid.GetCell(row, column))) {
            cell->m_pNotifyWnd = this;
            cell->m_notifyMessage = WM_ACTION_CELL_CHANGED;
        }
    }
    m_ruleGrid.SetRowData(row, rule.ID);

    m_rulePaths[rule.ID] = rule.Path;
    m_ruleGrid.FillRowLater(row);
    m_ruleGrid.SetCellValue(row, COL_INET, rule.InetAction);
    m_ruleGrid.SetCellValue(row, COL_TNET, rule.TnetAction);
    m_ruleGrid.SetCellValue(row, COL_MAIL, rule.EmailAction);
    m_ruleGrid.SetCellValue(row, COL_LOCK, rule.LockKey);
    const auto activity = m_activity.find(rule.ID);
    if (activity != m_activity.end())
        m_ruleGrid.SetCellValue(row, COL_ACTIVE, activity->second);
}

void CProgramFrame::FillProgramCell(int row)
{
    const auto path = m_rulePaths.find(m_ruleGrid.GetRowData(row));
    if (path == m_rulePaths.end())
        return;
    const CProgramLooks::Look &look = m_programLooks.Of(path->first, path->second);
    m_ruleGrid.SetCellImage(row, COL_NAME, look.Image);
    m_ruleGrid.SetCellText(row, COL_NAME, look.Name);
}

DWORD CProgramFrame::SelectedRuleId() const
{
    return m_ruleGrid.IsValidRow(m_selectedRow) ? m_ruleGrid.GetRowData(m_selectedRow) : 0;
}

// --- notices of other windows ----------------------------------------------------

LRESULT CProgramFrame::OnProgramActive(WPARAM wParam, LPARAM lParam)
{
    m_activity[static_cast<DWORD>(wParam)] = static_cast<int>(lParam);
    const int count = m_ruleGrid.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (m_ruleGrid.GetRowData(row) == static_cast<DWORD>(wParam) &&
            m_ruleGrid.GetCellValue(row, COL_ACTIVE) != static_cast<int>(lParam)) {
            m_ruleGrid.SetCellValue(row, COL_ACTIVE, static_cast<int>(lParam));
            Invalidate(FALSE);
            break;
        }
    }
    return 0;
}

void CProgramFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CSkinDialog::OnShowWindow(bShow, nStatus);
    if (bShow && m_firstFillDue)
        FillProgramList();
}

LRESULT CProgramFrame::OnProgramListChanged(WPARAM, LPARAM)
{
    FillProgramList();
    return 0;
}

// --- clicks ------------------------------------------------------------------

// The cell that changed takes its old value back when the edit is refused.
LRESULT CProgramFrame::OnActionCellChanged(WPARAM wParam, LPARAM)
{
    const int row = static_cast<int>(wParam);
    const DWORD id = m_ruleGrid.IsValidRow(row) ? m_ruleGrid.GetRowData(row) : 0;
    if (id == 0 || !m_publisher)
        return 0;
    if (m_publisher->SetProgramActions(id, static_cast<BYTE>(m_ruleGrid.GetCellValue(row, COL_INET)),
                                       static_cast<BYTE>(m_ruleGrid.GetCellValue(row, COL_TNET)),
                                       static_cast<BYTE>(m_ruleGrid.GetCellValue(row, COL_MAIL)),
                                       static_cast<BYTE>(m_ruleGrid.GetCellValue(row, COL_LOCK))))
        return 0;
    TellEditRefused(m_hWnd, m_texts, "ERR_RuleNotChanged");
    return CJActionCell::ACTION_CELL_REFUSED;
}

void CProgramFrame::OnGridClick(NMHDR *pNotify, LRESULT *pResult)
{
    *pResult = 0;
    const NMITEMACTIVATE *click = reinterpret_cast<NMITEMACTIVATE *>(pNotify);
    m_selectedRow = m_ruleGrid.IsValidRow(click->iItem) ? click->iItem : -1;
    if (m_selectedRow == -1)
        return;
    switch (click->iSubItem) {
    case COL_INET:
    case COL_TNET:
    case COL_MAIL:
        RefuseWhileLoggedOff(m_hWnd, m_texts);
        break;
    case COL_LOCK:
        ShowContextMenu(CONTEXT_MENU_LOCK);
        break;
    case COL_OPTION:
        EditAdvancedSettings(m_selectedRow);
        break;
    default:
        break;
    }
}

void CProgramFrame::OnGridRightClick(NMHDR *pNotify, LRESULT *pResult)
{
    *pResult = 0;
    const NMITEMACTIVATE *click = reinterpret_cast<NMITEMACTIVATE *>(pNotify);
    m_selectedRow = m_ruleGrid.IsValidRow(click->iItem) ? click->iItem : -1;
    if (m_selectedRow != -1 && click->iSubItem == COL_NAME)
        ShowContextMenu(CONTEXT_MENU_PROGRAM);
}

void CProgramFrame::ShowContextMenu(int position)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu *sub = menu.GetSubMenu(position);
    if (!sub)
        return;
    const struct { UINT command; LPCTSTR key; } labels[] = {
        {ID_PROGRAM_OPTION, "MENU_Option"},  {ID_PROGRAM_PROPERTIES, "MENU_Properties"},
        {ID_MENU_DELETE, "MENU_Del"},        {ID_LOCK_DENY, "MENU_LOCK_DENY"},
        {ID_LOCK_PASS, "MENU_LOCK_PASS"},
    };
    // A command the sub-menu does not hold is left alone by ModifyMenu.
    for (const auto &label : labels)
        sub->ModifyMenu(label.command, MF_BYCOMMAND | MF_STRING, label.command,
                        m_texts.GetText(label.key));
    sub->SetDefaultItem(0, TRUE);
    POINT cursor;
    ::GetCursorPos(&cursor);
    sub->TrackPopupMenu(0, cursor.x, cursor.y, this);
}

// --- commands ----------------------------------------------------------------

void CProgramFrame::OnLockDeny()
{
    SetLockKey(1);
}

void CProgramFrame::OnLockPass()
{
    SetLockKey(0);
}

void CProgramFrame::SetLockKey(int key)
{
    if (SelectedRuleId() == 0 || m_ruleGrid.GetCellValue(m_selectedRow, COL_LOCK) == key)
        return;
    if (RefuseWhileLoggedOff(m_hWnd, m_texts))
        return;
    const int oldKey = m_ruleGrid.GetCellValue(m_selectedRow, COL_LOCK);
    m_ruleGrid.SetCellValue(m_selectedRow, COL_LOCK, key);
    if (OnActionCellChanged(m_selectedRow, COL_LOCK) == CJActionCell::ACTION_CELL_REFUSED)
        m_ruleGrid.SetCellValue(m_selectedRow, COL_LOCK, oldKey);
    m_ruleGrid.Invalidate(FALSE);
}

void CProgramFrame::OnProgramOption()
{
    EditAdvancedSettings(m_selectedRow);
}

// The grid is not filled again afterwards: the settings the dialog edits
// are not in it.
void CProgramFrame::EditAdvancedSettings(int row)
{
    const DWORD id = m_ruleGrid.IsValidRow(row) ? m_ruleGrid.GetRowData(row) : 0;
    if (id == 0)
        return;
    CAdvancedRuleDialog dialog(m_publisher, m_languagePath, m_skinFolder);
    dialog.SetRule(id, m_ruleGrid.GetItemText(row, COL_NAME));
    dialog.DoModal();
}

void CProgramFrame::OnDeleteProgram()
{
    const DWORD id = SelectedRuleId();
    if (id == 0 || RefuseWhileLoggedOff(m_hWnd, m_texts))
        return;
    const CString path = m_publisher->RuleStore().GetRulePath(id);
    CFileInfo info;
    info.Read(path);
    const CString question = SafeFormat(m_texts.GetText("WARN_DelProgram"),
                                        {info.GetDescription(), path});
    if (AskBox(question, MB_YESNO | MB_ICONEXCLAMATION) != IDNO)
        DeleteRule(id);
}

void CProgramFrame::OnFileProperties()
{
    const DWORD id = SelectedRuleId();
    if (id == 0)
        return;
    const CString path = m_publisher->RuleStore().GetRulePath(id);
    if (path.IsEmpty())
        return;
    CFileFind finder;
    if (!finder.FindFile(path)) {
        // A lost file's rule can go even while logged off.
        const CString question = SafeFormat(m_texts.GetText("ERR_ProgramIsLost "), {path});
        if (AskBox(question, MB_YESNO | MB_ICONHAND) == IDYES)
            DeleteRule(id);
        return;
    }
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = NULL;
    info.lpVerb = "properties";
    // The stored path whole: the store does not bound its length.
    info.lpFile = path;
    info.lpParameters = "";
    info.lpDirectory = NULL;
    info.nShow = SW_SHOWNORMAL;
    m_shellExecute(&info);
}

void CProgramFrame::DeleteRule(DWORD id)
{
    if (m_publisher->DeleteProgram(id))
        m_activity.erase(id);
    else
        TellEditRefused(m_hWnd, m_texts, "ERR_RuleNotDeleted");
    FillProgramList();
}
