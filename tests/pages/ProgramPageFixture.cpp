#include "ProgramPageFixture.h"

#include <LockedDatabase.h>
#include <LoggedOn.h>
#include <ProgramsRuleLib.h>

#include <commctrl.h>

void ProgramPage::SetUp()
{
    CPublisherFixture::SetUp();
    m_savedLoggedOn = LoggedOn;
    LoggedOn = 1;
    UseEmptyDatabases();
    for (DWORD id = 1; id <= 7; ++id) {
        CProgramsRuleLib store;
        ASSERT_TRUE(store.Open(RulesPath().c_str()));
        CString description;
        description.Format("Schedule %u", static_cast<unsigned>(id));
        ASSERT_EQ(id, store.AddTime(description, 255, 0, 0));
    }
}

void ProgramPage::TearDown()
{
    if (m_page) {
        m_page->DestroyWindow();
        delete m_page;
        m_page = nullptr;
    }
    LoggedOn = m_savedLoggedOn;
    CPublisherFixture::TearDown();
}

void ProgramPage::OpenPage(const char *languageFile, const char *skinFolder)
{
    BuildPublisher();
    m_page = new CProgramFrame;
    m_page->Bind(m_publisher, languageFile ? CString(languageFile) : m_assets.LanguageFile(),
                 skinFolder ? CString(skinFolder) : m_assets.SkinFile(""));
    m_host.Show();
    ASSERT_TRUE(m_page->Create(IDD_PROGRAM_PAGE, CWnd::FromHandle(m_host.Handle())));
    m_page->ShowWindow(SW_SHOW);
    SizePage(PAGE_SIZE);
}

void ProgramPage::SizePage(SIZE size)
{
    RECT outer = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&outer, GetWindowLongA(m_host.Handle(), GWL_STYLE), FALSE,
                       GetWindowLongA(m_host.Handle(), GWL_EXSTYLE));
    SetWindowPos(m_host.Handle(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
    m_page->MoveWindow(0, 0, size.cx, size.cy);
    PumpFor(150);
}

void ProgramPage::StoreConfig(const char *key, const char *value)
{
    CProgramsRuleLib store;
    ASSERT_TRUE(store.Open(RulesPath().c_str()));
    ASSERT_TRUE(store.SetConfig(key, value));
}

std::string ProgramPage::StoredConfig(const char *key)
{
    CProgramsRuleLib store;
    EXPECT_TRUE(store.Open(RulesPath().c_str()));
    return static_cast<LPCTSTR>(store.GetConfig(key));
}

void ProgramPage::StoreSchedule(DWORD id, BYTE weekDays, DWORD start, DWORD end, const char *memo)
{
    CProgramsRuleLib store;
    ASSERT_TRUE(store.Open(RulesPath().c_str()));
    TimeRecord time;
    time.WeekDay = weekDays;
    time.StartTime = start;
    time.EndTime = end;
    time.Memo = memo;
    ASSERT_TRUE(store.UpdateTime(id, time));
}

TimeRecord ProgramPage::StoredSchedule(DWORD id)
{
    CProgramsRuleLib store;
    EXPECT_TRUE(store.Open(RulesPath().c_str()));
    TimeRecord time;
    EXPECT_TRUE(store.GetTime(id, time)) << id;
    return time;
}

void ProgramPage::WhileRulesLocked(const std::function<void()> &edit)
{
    CLockedDatabase lock(RulesPath().c_str());
    ASSERT_TRUE(lock.Locked());
    edit();
}

void ProgramPage::ExpectRefusal(const BoxRecord &box, const char *section, const char *key) const
{
    EXPECT_EQ(LanguageText(section, key), box.text);
    EXPECT_EQ(LanguageText("APP", "APP_NAME"), box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
}

std::string ProgramPage::Text(UINT id) const
{
    char text[512] = "";
    ::GetWindowTextA(Control(id), text, sizeof text);
    return text;
}

RECT ProgramPage::RectOf(UINT id) const
{
    RECT rect = {};
    ::GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, m_page->m_hWnd, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

COLORREF ProgramPage::PixelIn(const CDib &shot, UINT id, POINT client) const
{
    const RECT rect = RectOf(id);
    return shot.Pixel(rect.left + client.x, rect.top + client.y);
}

SIZE ProgramPage::CellOf(const char *picture, int states) const
{
    BITMAP info = {};
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, m_assets.SkinFile(picture), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_NE(nullptr, bitmap) << picture;
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    return SIZE{info.bmWidth / states, info.bmHeight};
}

std::string ProgramPage::LanguageText(const char *section, const char *key) const
{
    char text[1024] = "";
    GetPrivateProfileStringA(section, key, "", text, sizeof text, m_assets.LanguageFile());
    // The file's "\r\n" escapes, as the page shows them.
    std::string value = text;
    for (size_t at; (at = value.find("\\r\\n")) != std::string::npos;)
        value.replace(at, 4, "\r\n");
    return value;
}

CGridList &ProgramPage::Grid() const
{
    return *static_cast<CGridList *>(CWnd::FromHandlePermanent(Control(IDC_RULE_GRID)));
}

int ProgramPage::RowOf(DWORD id) const
{
    for (int row = 0; row < Rows(); ++row) {
        if (Grid().GetRowData(row) == id)
            return row;
    }
    return -1;
}

RECT ProgramPage::CellRect(int row, int column) const
{
    RECT rect = {};
    ListView_GetSubItemRect(Control(IDC_RULE_GRID), row, column, LVIR_BOUNDS, &rect);
    return rect;
}

void ProgramPage::ClickCell(int row, int column, POINT inCell, MouseButton button)
{
    const RECT cell = CellRect(row, column);
    ClickControlAt(Control(IDC_RULE_GRID), POINT{cell.left + inCell.x, cell.top + inCell.y}, button);
    PumpFor(100);
}

const ProgramRule *ProgramPage::ImageRule(DWORD id)
{
    m_imageRules = ProgramRules(*m_publisher);
    for (const ProgramRule &rule : m_imageRules) {
        if (rule.ID == id)
            return &rule;
    }
    return nullptr;
}

void ProgramPage::ShowGeneralView()
{
    m_page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_GENERAL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(Control(IDC_VIEW_GENERAL)));
    PumpFor(100);
}

int ProgramPage::SliderPos() const
{
    return static_cast<int>(::SendMessageA(Control(IDC_LEVEL_SLIDER), TBM_GETPOS, 0, 0));
}

RECT ProgramPage::ThumbRect() const
{
    RECT thumb = {};
    ::SendMessageA(Control(IDC_LEVEL_SLIDER), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return thumb;
}
