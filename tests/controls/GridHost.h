// A grid list under test: a real list view in the kit's host dialog under
// Xvfb, subclassed by a CGridList. The host is itself subclassed by a plain
// window object, so that the list's notifications are reflected to it as a
// page's are, and what passes on reaches the host's message log. The shared
// cell pictures come from the shipped skin in a fresh program folder.
#pragma once

#include <ConsoleMessages.h>
#include <GridList.h>

#include <CWnd.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class GridHost
{
public:
    static const UINT kListId = 1001;

    GridHost()
    {
        LoadGridCellPictures(m_folder.SkinFile(""));
        m_parent.SubclassWindow(m_host.Handle());
        SetWindowPos(m_host.Handle(), nullptr, 0, 0, 620, 420, SWP_NOMOVE | SWP_NOZORDER);
    }
    ~GridHost()
    {
        if (m_list.GetSafeHwnd())
            m_list.DestroyWindow();
        m_parent.UnsubclassWindow();
        ReleaseGridCellPictures();
    }

    // A report list at (x, y, width, height) in the host, with the host's
    // font, subclassed by the grid. With extra list styles (check boxes,
    // full-row select).
    CGridList &MakeList(RECT place, DWORD extendedStyle = LVS_EX_FULLROWSELECT)
    {
        EXPECT_TRUE(m_list.SubclassWindow(MakeListWindow(place, extendedStyle)));
        return m_list;
    }
    // The same report list, left for a grid object of the test's own.
    HWND MakeListWindow(RECT place, DWORD extendedStyle = LVS_EX_FULLROWSELECT)
    {
        HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT,
                                    place.left, place.top, place.right - place.left, place.bottom - place.top,
                                    m_host.Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)),
                                    GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETFONT, SendMessageA(m_host.Handle(), WM_GETFONT, 0, 0), FALSE);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyle);
        return list;
    }

    // The grid of the program page: seven columns, picture cells in 0 and
    // 2 to 6, icon header cells over 5 and 6, columns 0 and 2 to 6 locked.
    void FillProgramGrid(int rows)
    {
        CGridList &grid = m_list;
        grid.SetColumns("Active,40;Program,150;Internet,52;Trusted,52;Mail,52;Lock,24;Option,26");
        grid.Header().LoadBackgrounds(m_folder.SkinFile("ListHead_Bk_Normal.bmp"),
                                      m_folder.SkinFile("ListHead_Bk_Select.bmp"));
        for (int column : {5, 6})
            grid.Header().SetCellType(column, RUNTIME_CLASS(CJHIconCell));
        grid.Header().SetCellImage(5, m_folder.SkinFile("LockCell.bmp"));
        grid.Header().SetCellImage(6, m_folder.SkinFile("OptionCell.bmp"));
        for (int column : {0, 2, 3, 4, 5, 6}) {
            grid.LockColumn(column);
            grid.Header().SetCellArrow(column, FALSE);
        }
        for (int row = 0; row < rows; ++row) {
            const std::string path = "C:\\Programs\\Tool" + std::to_string(row) + ".exe";
            const int item = grid.AddRow({"", path.c_str()});
            grid.SetCellType(item, 0, RUNTIME_CLASS(CJActiveCell));
            for (int column : {2, 3, 4}) {
                grid.SetCellType(item, column, RUNTIME_CLASS(CJActionCell));
                auto *action = static_cast<CJActionCell *>(grid.GetCell(item, column));
                action->m_pNotifyWnd = &m_parent;
                action->m_notifyMessage = WM_ACTION_CELL_CHANGED;
            }
            grid.SetCellType(item, 5, RUNTIME_CLASS(CJKeyCell));
            grid.SetCellType(item, 6, RUNTIME_CLASS(CJOptionCell));
        }
    }

    void Show()
    {
        m_host.Show();
        RedrawWindow(m_host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(150);
    }

    void Repaint()
    {
        m_list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(50);
    }

    // The list's pixels as shown; Pixel reads them by list client point.
    CDib Capture()
    {
        m_shot = CaptureWindow(m_list.GetSafeHwnd());
        RECT window;
        GetWindowRect(m_list.GetSafeHwnd(), &window);
        POINT origin = {0, 0};
        ClientToScreen(m_list.GetSafeHwnd(), &origin);
        m_clientOffset = POINT{origin.x - window.left, origin.y - window.top};
        return m_shot;
    }
    COLORREF Pixel(int x, int y) const { return m_shot.Pixel(x + m_clientOffset.x, y + m_clientOffset.y); }

    CRect CellRect(int item, int subItem)
    {
        CRect rect;
        m_list.GetSubItemRect(item, subItem, LVIR_BOUNDS, rect);
        return rect;
    }
    // Clicks the list's client point with the real mouse.
    void ClickListAt(int x, int y)
    {
        ClickControlAt(m_list.GetSafeHwnd(), POINT{x, y});
        PumpFor(30);
    }

    HWND Host() const { return m_host.Handle(); }
    CMessageLog &Log() { return m_host.Log(); }
    CGridList &List() { return m_list; }
    CProgramFolderFixture &Folder() { return m_folder; }

private:
    CProgramFolderFixture m_folder;
    CHostDialog m_host;
    CWnd m_parent;
    CGridList m_list;
    CDib m_shot;
    POINT m_clientOffset = {0, 0};
};
