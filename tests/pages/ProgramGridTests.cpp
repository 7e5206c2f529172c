// The program page's rule grid over a real ProgramsRule.dat: the rows it
// shows, and the edits a person makes by clicks and context menus, checked
// in the rule store and the rule image.
#include "ProgramPageFixture.h"

#include <ConsoleMessages.h>
#include <FileInfo.h>
#include <GridList.h>

#include <commctrl.h>

#include <fstream>

namespace {

enum { COL_ACTIVE, COL_NAME, COL_INET, COL_TNET, COL_MAIL, COL_LOCK, COL_OPTION };

// --- the open menu, met inside its own loop ------------------------------------

struct MenuSeen {
    bool shown = false;
    std::vector<std::string> items;
    int defaultItem = -1;
};

MenuSeen g_menuSeen;
std::vector<WORD> g_menuKeys;
std::string g_menuShot;

void SendKeys(const std::vector<WORD> &keys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Notes the menu's items and default, saves the screen, then presses the
// keys. The keys go straight into the input queue: pumping here would take
// them away from the menu.
void CALLBACK MeetMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(NULL, timer);
    HWND window = ::FindWindowA("#32768", NULL);
    HMENU menu = window ? reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0)) : NULL;
    if (!menu)
        return;
    g_menuSeen.shown = true;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        g_menuSeen.items.push_back(text);
    }
    g_menuSeen.defaultItem = static_cast<int>(::GetMenuDefaultItem(menu, TRUE, 0));
    SaveScreen(CaptureScreen(), TestScreenName(g_menuShot.c_str()));
    SendKeys(g_menuKeys);
}

class ProgramGrid : public ProgramPage
{
protected:
    void SetUp() override
    {
        ProgramPage::SetUp();
        g_menuSeen = MenuSeen();
        char module[MAX_PATH];
        ::GetModuleFileNameA(NULL, module, MAX_PATH);
        m_binFolder = module;
        m_binFolder.erase(m_binFolder.rfind('\\') + 1);
    }

    // The deny picture of an action cell.
    void ClickDeny(int row, int column) { ClickCell(row, column, POINT{42, 7}); }

    // The next menu is met: its items noted, a screenshot, then the keys.
    void OnNextMenu(const char *state, std::vector<WORD> keys)
    {
        g_menuSeen = MenuSeen();
        g_menuKeys = std::move(keys);
        g_menuShot = state;
        ::SetTimer(NULL, 0, 300, MeetMenu);
    }

    RuleRecord StoredRule(DWORD id)
    {
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(RulesPath().c_str()));
        RuleRecord rule;
        store.GetRule(id, rule);
        return rule;
    }
    std::string Described() const { return m_binFolder + "DescribedProgram.dll"; }
    std::string TextFile()
    {
        const std::string path = RulesPath().substr(0, RulesPath().rfind('\\') + 1) + "notes.txt";
        std::ofstream(path) << "a file without an icon\n";
        return path;
    }

    std::string m_binFolder;
};

// --- filling ---------------------------------------------------------------------

// The pixels of an icon drawn 16 by 16 over white from an image list, or
// of an icon put into a 16 by 16 list as the page puts its icons.
std::vector<COLORREF> IconPixels(HIMAGELIST list, int image, HICON icon)
{
    HIMAGELIST own = NULL;
    if (!list) {
        own = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1);
        image = ImageList_ReplaceIcon(own, -1, icon);
        list = own;
    }
    HDC screen = ::GetDC(NULL);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, image, dc, 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(NULL, screen);
    if (own)
        ImageList_Destroy(own);
    return pixels;
}

HICON ResourceIcon(UINT id)
{
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           16, 16, 0));
}

TEST_F(ProgramGrid, EachRuleShowsItsNameIconAndValues)
{
    struct Case {
        std::string path;
        std::string name;
        HICON icon; // the icon the row must show
        BYTE inet, tnet, mail, lock;
    };
    const std::string text = TextFile();
    CFileInfo textInfo;
    ASSERT_EQ(0, textInfo.Read(text.c_str()));
    std::vector<Case> cases = {
        {Described(), "Described fixture program", ::ExtractIconA(NULL, Described().c_str(), 0), 0, 1, 2, 0},
        {text, std::string(textInfo.GetDescription()), ResourceIcon(301), 2, 0, 1, 1},
        {"C:\\Programs\\Gone\\lost.exe", "lost.exe", ResourceIcon(302), 1, 1, 1, 0},
        {"svchost.exe", "svchost.exe", ResourceIcon(302), 2, 2, 2, 1},
    };
    std::vector<DWORD> ids;
    for (const Case &c : cases)
        ids.push_back(StoreRule(c.path.c_str(), c.inet, c.tnet, c.mail, c.lock));
    OpenPage();
    ASSERT_EQ(static_cast<int>(cases.size()), Rows());
    HIMAGELIST icons = ListView_GetImageList(Control(IDC_RULE_GRID), LVSIL_NORMAL);
    EXPECT_EQ(static_cast<int>(cases.size()), ImageList_GetImageCount(icons));
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const int row = RowOf(ids[i]);
        ASSERT_GE(row, 0) << c.path;
        EXPECT_EQ(c.name, std::string(Grid().GetItemText(row, COL_NAME))) << c.path;
        const CJBaseCell *nameCell = Grid().GetCell(row, COL_NAME);
        ASSERT_NE(nullptr, nameCell);
        ASSERT_NE(nullptr, c.icon) << c.path;
        EXPECT_EQ(IconPixels(NULL, 0, c.icon), IconPixels(icons, nameCell->m_image, NULL)) << c.path;
        EXPECT_EQ(c.inet, Grid().GetCellValue(row, COL_INET)) << c.path;
        EXPECT_EQ(c.tnet, Grid().GetCellValue(row, COL_TNET)) << c.path;
        EXPECT_EQ(c.mail, Grid().GetCellValue(row, COL_MAIL)) << c.path;
        EXPECT_EQ(c.lock, Grid().GetCellValue(row, COL_LOCK)) << c.path;
        EXPECT_EQ(0, Grid().GetCellValue(row, COL_ACTIVE)) << c.path;
        ::DestroyIcon(c.icon);
    }
    Shot("filled");
    // A refill keeps one image per rule.
    ClickControl(Control(IDC_VIEW_TIME));
    ClickControl(Control(IDC_VIEW_PROGRAM));
    EXPECT_EQ(static_cast<int>(cases.size()), ImageList_GetImageCount(icons));
    EXPECT_EQ(static_cast<int>(cases.size()), Rows());
}

// A refill keeps what the page read of the programs that stay; the image
// of a rule that went leaves the list, and every other row still shows
// its own icon.
TEST_F(ProgramGrid, ARefillDropsTheIconOfADeletedRuleAndKeepsEachOtherRowsIcon)
{
    struct Case {
        std::string path;
        HICON icon;
    };
    const std::vector<Case> cases = {
        {Described(), ::ExtractIconA(NULL, Described().c_str(), 0)},
        {TextFile(), ResourceIcon(301)},
        {"C:\\Programs\\Gone\\lost.exe", ResourceIcon(302)},
    };
    std::vector<DWORD> ids;
    for (const Case &c : cases)
        ids.push_back(StoreRule(c.path.c_str(), 0, 0, 0, 0));
    OpenPage();
    HIMAGELIST icons = ListView_GetImageList(Control(IDC_RULE_GRID), LVSIL_NORMAL);
    ASSERT_EQ(3, ImageList_GetImageCount(icons));
    // The rule whose image comes first goes: the images after it move down.
    size_t gone = cases.size();
    for (size_t i = 0; i < cases.size(); ++i)
        if (Grid().GetCell(RowOf(ids[i]), COL_NAME)->m_image == 0)
            gone = i;
    ASSERT_LT(gone, cases.size());
    ASSERT_TRUE(m_publisher->DeleteProgram(ids[gone]));
    m_page->SendMessage(WM_PROGRAM_LIST_CHANGED);
    PumpFor(100);
    ASSERT_EQ(2, Rows());
    EXPECT_EQ(2, ImageList_GetImageCount(icons));
    for (size_t i = 0; i < cases.size(); ++i) {
        if (i == gone)
            continue;
        const int row = RowOf(ids[i]);
        ASSERT_GE(row, 0) << cases[i].path;
        const CJBaseCell *nameCell = Grid().GetCell(row, COL_NAME);
        ASSERT_NE(nullptr, nameCell);
        EXPECT_EQ(IconPixels(NULL, 0, cases[i].icon), IconPixels(icons, nameCell->m_image, NULL)) << cases[i].path;
    }
    Shot("rule-deleted");
    for (const Case &c : cases)
        ::DestroyIcon(c.icon);
}

// A program file that changed between two fills is read again: its row
// shows the new name and icon, in the place of the old image.
TEST_F(ProgramGrid, AProgramFileThatChangedIsReadAgainAtTheNextFill)
{
    const std::string path = RulesPath().substr(0, RulesPath().rfind('\\') + 1) + "Changing.dll";
    std::ofstream(path) << "not a program yet\n";
    std::string firstName;
    {
        CFileInfo before;
        ASSERT_EQ(0, before.Read(path.c_str()));
        firstName = before.GetDescription();
    }
    const DWORD id = StoreRule(path.c_str(), 0, 0, 0, 0);
    OpenPage();
    HIMAGELIST icons = ListView_GetImageList(Control(IDC_RULE_GRID), LVSIL_NORMAL);
    EXPECT_EQ(firstName, std::string(Grid().GetItemText(RowOf(id), COL_NAME)));
    HICON standIn = ResourceIcon(301);
    EXPECT_EQ(IconPixels(NULL, 0, standIn), IconPixels(icons, Grid().GetCell(RowOf(id), COL_NAME)->m_image, NULL));
    Shot("before-change");

    ASSERT_TRUE(::CopyFileA(Described().c_str(), path.c_str(), FALSE));
    m_page->SendMessage(WM_PROGRAM_LIST_CHANGED);
    PumpFor(100);
    const int row = RowOf(id);
    ASSERT_GE(row, 0);
    EXPECT_EQ("Described fixture program", std::string(Grid().GetItemText(row, COL_NAME)));
    HICON own = ::ExtractIconA(NULL, path.c_str(), 0);
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(IconPixels(NULL, 0, own), IconPixels(icons, Grid().GetCell(row, COL_NAME)->m_image, NULL));
    EXPECT_EQ(1, ImageList_GetImageCount(icons));
    Shot("after-change");
    ::DestroyIcon(own);
    ::DestroyIcon(standIn);
}

TEST_F(ProgramGrid, ActivityNoticesMarkOnlyAChangedKnownRow)
{
    const DWORD first = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const DWORD second = StoreRule("C:\\a\\two.exe", 0, 0, 0, 0);
    OpenPage();
    struct Notice { WPARAM id; LPARAM value; int firstValue; int secondValue; };
    const Notice notices[] = {
        {second, 1, 0, 1},
        {second, 1, 0, 1},
        {999, 1, 0, 1},
        {first, 1, 1, 1},
        {second, 0, 1, 0},
    };
    for (const Notice &notice : notices) {
        m_page->SendMessage(WM_PROGRAM_ACTIVE, notice.id, notice.value);
        EXPECT_EQ(notice.firstValue, Grid().GetCellValue(RowOf(first), COL_ACTIVE)) << notice.id;
        EXPECT_EQ(notice.secondValue, Grid().GetCellValue(RowOf(second), COL_ACTIVE)) << notice.id;
    }
    PumpFor(100);
    Shot("first-active");
}

TEST_F(ProgramGrid, AListChangeOutsideTheProgramViewChangesNothing)
{
    StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    ASSERT_EQ(1, Rows());
    ClickControl(Control(IDC_VIEW_TIME));
    ASSERT_EQ(0, Rows());
    m_publisher->AddProgram("C:\\a\\two.exe", 1, 1, 2, 0);
    m_page->SendMessage(WM_PROGRAM_LIST_CHANGED);
    EXPECT_EQ(0, Rows());
    EXPECT_EQ(CProgramFrame::VIEW_TIME, m_page->CurrentView());
    m_publisher->AddProgram("C:\\a\\three.exe", 1, 1, 2, 0);
    ClickControl(Control(IDC_VIEW_PROGRAM));
    EXPECT_EQ(3, Rows());
    // In the Program view the notice reads the rules again.
    m_publisher->AddProgram("C:\\a\\four.exe", 1, 1, 2, 0);
    m_page->SendMessage(WM_PROGRAM_LIST_CHANGED);
    EXPECT_EQ(4, Rows());
}

// --- actions ---------------------------------------------------------------------

TEST_F(ProgramGrid, AnActionClickWritesAllFourValues)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 1, 2, 1);
    OpenPage();
    const int row = RowOf(id);
    ClickDeny(row, COL_INET);
    EXPECT_EQ(2, Grid().GetCellValue(row, COL_INET));
    const RuleRecord stored = StoredRule(id);
    EXPECT_EQ(2, stored.InetAction);
    EXPECT_EQ(1, stored.TnetAction);
    EXPECT_EQ(2, stored.EmailAction);
    EXPECT_EQ(1, stored.LockKey);
    const ProgramRule *image = ImageRule(id);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(2, image->InetAction);
    EXPECT_EQ(1, image->TnetAction);
    EXPECT_EQ(2, image->EmailAction);
    EXPECT_EQ(1, image->LockKey);
    EXPECT_EQ(id, static_cast<DWORD>(RowOf(id) >= 0 ? Grid().GetRowData(row) : 0));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    Shot("internet-denied");
}

TEST_F(ProgramGrid, AnActionClickLoggedOffRefusesAndKeepsTheValue)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    LoggedOn = 0;
    m_boxes.AnswerNextBox(IDOK);
    ClickDeny(RowOf(id), COL_TNET);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), m_boxes.Boxes()[0].icon);
    // Owned by the page, whose top-level window the system makes the owner.
    EXPECT_EQ(m_host.Handle(), m_boxes.Boxes()[0].owner);
    EXPECT_EQ(0, Grid().GetCellValue(RowOf(id), COL_TNET));
    EXPECT_EQ(0, StoredRule(id).TnetAction);
}

TEST_F(ProgramGrid, AnActionClickRefusedByALockedStoreSaysSoAndKeepsTheStoredValue)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    WhileRulesLocked([&] {
        m_boxes.AnswerNextBox(IDOK);
        ClickDeny(RowOf(id), COL_TNET);
    });
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[0], "FRAME_PROGRAM", "ERR_RuleNotChanged");
    EXPECT_EQ(0, Grid().GetCellValue(RowOf(id), COL_TNET));
    EXPECT_EQ(0, StoredRule(id).TnetAction);
    ASSERT_NE(nullptr, ImageRule(id));
    EXPECT_EQ(0, ImageRule(id)->TnetAction);
    Shot("action-refused");
}

TEST_F(ProgramGrid, ALockRefusedByALockedStoreSaysSoAndKeepsTheKey)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    ClickCell(RowOf(id), COL_ACTIVE, POINT{5, 7}, MouseButton::Right);
    WhileRulesLocked([&] {
        m_boxes.AnswerNextBox(IDOK);
        m_page->SendMessage(WM_COMMAND, 32784);
    });
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[0], "FRAME_PROGRAM", "ERR_RuleNotChanged");
    EXPECT_EQ(0, Grid().GetCellValue(RowOf(id), COL_LOCK));
    EXPECT_EQ(0, StoredRule(id).LockKey);
    EXPECT_EQ(0, ImageRule(id)->LockKey);
    // Free again, the same command locks the rule.
    m_page->SendMessage(WM_COMMAND, 32784);
    EXPECT_EQ(1, Grid().GetCellValue(RowOf(id), COL_LOCK));
    EXPECT_EQ(1, StoredRule(id).LockKey);
    EXPECT_EQ(1u, m_boxes.Boxes().size());
}

TEST_F(ProgramGrid, ACellChangeForNoRowIsIgnored)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    const std::vector<BYTE> before = Snapshot(*m_publisher);
    for (WPARAM row : {WPARAM(1), WPARAM(7), WPARAM(-1)})
        m_page->SendMessage(WM_ACTION_CELL_CHANGED, row, COL_INET);
    EXPECT_EQ(before, Snapshot(*m_publisher));
    EXPECT_EQ(0, StoredRule(id).InetAction);
}

// --- the lock menu ---------------------------------------------------------------

TEST_F(ProgramGrid, TheLockMenuSetsTheKey)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    OnNextMenu("lock-menu", {VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_LOCK, POINT{8, 7});
    PumpFor(200);
    ASSERT_TRUE(g_menuSeen.shown);
    EXPECT_EQ((std::vector<std::string>{LanguageText("FRAME_PROGRAM", "MENU_LOCK_DENY"),
                                        LanguageText("FRAME_PROGRAM", "MENU_LOCK_PASS")}),
              g_menuSeen.items);
    EXPECT_EQ(0, g_menuSeen.defaultItem);
    EXPECT_EQ(1, Grid().GetCellValue(RowOf(id), COL_LOCK));
    EXPECT_EQ(1, StoredRule(id).LockKey);
    ASSERT_NE(nullptr, ImageRule(id));
    EXPECT_EQ(1, ImageRule(id)->LockKey);

    // Pass gives the key back.
    OnNextMenu("lock-menu-again", {VK_DOWN, VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_LOCK, POINT{8, 7});
    PumpFor(200);
    EXPECT_EQ(0, StoredRule(id).LockKey);
    EXPECT_EQ(0, ImageRule(id)->LockKey);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ProgramGrid, PassOnAnUnlockedRowDoesNothingEvenLoggedOff)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    LoggedOn = 0;
    OnNextMenu("lock-menu-logged-off", {VK_DOWN, VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_LOCK, POINT{8, 7});
    PumpFor(200);
    EXPECT_TRUE(g_menuSeen.shown);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    // Deny logged off is refused.
    m_boxes.AnswerNextBox(IDOK);
    m_page->SendMessage(WM_COMMAND, 32784);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[0].text);
    EXPECT_EQ(0, StoredRule(id).LockKey);
    EXPECT_EQ(0, Grid().GetCellValue(RowOf(id), COL_LOCK));
}

// --- the program menu ------------------------------------------------------------

TEST_F(ProgramGrid, TheProgramMenuComesOnTheNameColumnOnly)
{
    const DWORD first = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const DWORD second = StoreRule("C:\\a\\two.exe", 0, 0, 0, 0);
    OpenPage();
    OnNextMenu("program-menu", {VK_ESCAPE});
    ClickCell(RowOf(second), COL_NAME, POINT{30, 7}, MouseButton::Right);
    PumpFor(200);
    ASSERT_TRUE(g_menuSeen.shown);
    EXPECT_EQ((std::vector<std::string>{LanguageText("FRAME_PROGRAM", "MENU_Option"),
                                        LanguageText("FRAME_PROGRAM", "MENU_Properties"), "",
                                        LanguageText("FRAME_PROGRAM", "MENU_Del")}),
              g_menuSeen.items);
    EXPECT_EQ(0, g_menuSeen.defaultItem);
    EXPECT_EQ(RowOf(second), m_page->SelectedRow());

    for (int column : {COL_ACTIVE, COL_INET, COL_LOCK, COL_OPTION}) {
        OnNextMenu("no-menu", {VK_ESCAPE});
        ClickCell(RowOf(first), column, POINT{5, 7}, MouseButton::Right);
        PumpFor(400);
        EXPECT_FALSE(g_menuSeen.shown) << column;
        EXPECT_EQ(RowOf(first), m_page->SelectedRow()) << column;
    }

    // Below the rows: no row, and the commands do nothing.
    ClickControlAt(Control(IDC_RULE_GRID), POINT{60, PAGE_SIZE.cy - 80}, MouseButton::Right);
    PumpFor(100);
    EXPECT_EQ(-1, m_page->SelectedRow());
    for (UINT command : {32774u, 32781u, 32784u, 32785u, 32786u})
        m_page->SendMessage(WM_COMMAND, command);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(2, Rows());
}

TEST_F(ProgramGrid, OptionOpensTheAdvancedSettingsOfTheRow)
{
    StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const DWORD id = StoreRule(Described().c_str(), 0, 0, 0, 0);
    OpenPage();
    std::string shown;
    m_boxes.RunInNextDialog([&](HWND dialog) {
        PumpFor(150);
        char text[512] = "";
        ::GetDlgItemTextA(dialog, 1116, text, sizeof text);
        shown = text;
        SaveTestScreen(dialog, "advanced-settings");
        PressKey(VK_ESCAPE);
    });
    OnNextMenu("option-chosen", {VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_NAME, POINT{30, 7}, MouseButton::Right);
    PumpFor(300);
    EXPECT_EQ(0u, m_boxes.Pending());
    std::string expected = LanguageText("DLG_ADV_OPTION", "TITLE_INET");
    expected.replace(expected.find("%s"), 2, "Described fixture program");
    EXPECT_EQ(expected, shown);
    EXPECT_EQ(2, Rows());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ProgramGrid, DeleteAsksWithDescriptionAndPathAndYesRemovesTheRule)
{
    const DWORD keep = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const DWORD id = StoreRule(Described().c_str(), 0, 0, 0, 0);
    OpenPage();
    // No first: nothing goes.
    m_boxes.AnswerNextBox(IDNO);
    m_boxes.LookAtBoxes([](HWND box) { SaveTestScreen(box, "delete-question"); });
    OnNextMenu("delete-chosen", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_NAME, POINT{30, 7}, MouseButton::Right);
    PumpFor(200);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const BoxRecord box = m_boxes.Boxes()[0];
    const std::string format = LanguageText("FRAME_PROGRAM", "WARN_DelProgram");
    std::string expected = format;
    expected.replace(expected.find("%s"), 2, "Described fixture program");
    expected.replace(expected.find("%s"), 2, Described());
    EXPECT_EQ(expected, box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
    EXPECT_EQ(2, Rows());
    EXPECT_NE(nullptr, ImageRule(id));

    m_boxes.AnswerNextBox(IDYES);
    m_page->SendMessage(WM_COMMAND, 32774);
    PumpFor(100);
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(1, Rows());
    EXPECT_EQ(-1, RowOf(id));
    EXPECT_EQ(0u, StoredRule(id).ID);
    EXPECT_EQ(nullptr, ImageRule(id));
    EXPECT_NE(nullptr, ImageRule(keep));
    Shot("after-delete");
}

// The store refuses the delete and cannot be read for the refill: the
// grid keeps the rows the store still holds.
TEST_F(ProgramGrid, ADeleteRefusedByALockedStoreSaysSoAndKeepsTheRows)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const DWORD keep = StoreRule("C:\\a\\two.exe", 2, 2, 2, 0);
    OpenPage();
    ClickCell(RowOf(id), COL_ACTIVE, POINT{5, 7}, MouseButton::Right);
    WhileRulesLocked([&] {
        m_boxes.AnswerNextBox(IDYES);
        m_boxes.AnswerNextBox(IDOK);
        m_page->SendMessage(WM_COMMAND, 32774);
    });
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[1], "FRAME_PROGRAM", "ERR_RuleNotDeleted");
    EXPECT_EQ(2, Rows());
    ASSERT_GE(RowOf(id), 0);
    EXPECT_EQ(2, Grid().GetCellValue(RowOf(keep), COL_INET));
    EXPECT_EQ(id, StoredRule(id).ID);
    EXPECT_NE(nullptr, ImageRule(id));
    Shot("delete-refused");
}

TEST_F(ProgramGrid, DeleteLoggedOffRefuses)
{
    const DWORD id = StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    OpenPage();
    ClickCell(RowOf(id), COL_ACTIVE, POINT{5, 7}, MouseButton::Right);
    LoggedOn = 0;
    m_boxes.AnswerNextBox(IDOK);
    m_page->SendMessage(WM_COMMAND, 32774);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[0].text);
    EXPECT_EQ(id, StoredRule(id).ID);
}

TEST_F(ProgramGrid, PropertiesOfALostFileAskAndDeleteEvenLoggedOff)
{
    const std::string longPath = "C:\\" + std::string(290, 'x') + "\\lost.exe";
    for (const std::string &path : {std::string("C:\\Programs\\Gone\\lost.exe"), longPath}) {
        SCOPED_TRACE(path.size());
        const DWORD id = StoreRule(path.c_str(), 0, 0, 0, 0);
        if (!m_page)
            OpenPage();
        else
            m_page->SendMessage(WM_PROGRAM_LIST_CHANGED);
        ClickCell(RowOf(id), COL_ACTIVE, POINT{5, 7}, MouseButton::Right);
        LoggedOn = 0;
        m_boxes.AnswerNextBox(IDYES);
        const size_t boxes = m_boxes.Boxes().size();
        m_page->SendMessage(WM_COMMAND, 32786);
        ASSERT_EQ(boxes + 1, m_boxes.Boxes().size());
        const BoxRecord &box = m_boxes.Boxes().back();
        std::string expected = LanguageText("FRAME_PROGRAM", "ERR_ProgramIsLost ");
        ASSERT_NE(std::string::npos, expected.find("%s"));
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(expected, box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
        EXPECT_EQ(0u, StoredRule(id).ID);
        EXPECT_EQ(-1, RowOf(id));
        LoggedOn = 1;
    }
}

SHELLEXECUTEINFOA g_shellCall;
std::string g_shellVerb, g_shellFile, g_shellParameters;
int g_shellCalls = 0;

BOOL WINAPI RecordShellCall(SHELLEXECUTEINFOA *info)
{
    ++g_shellCalls;
    g_shellCall = *info;
    g_shellVerb = info->lpVerb ? info->lpVerb : "(null)";
    g_shellFile = info->lpFile ? info->lpFile : "(null)";
    g_shellParameters = info->lpParameters ? info->lpParameters : "(null)";
    return TRUE;
}

TEST_F(ProgramGrid, PropertiesOfAnExistingFileAskTheShell)
{
    const DWORD id = StoreRule(Described().c_str(), 0, 0, 0, 0);
    OpenPage();
    g_shellCalls = 0;
    m_page->SetShellExecute(RecordShellCall);
    OnNextMenu("properties-chosen", {VK_DOWN, VK_DOWN, VK_RETURN});
    ClickCell(RowOf(id), COL_NAME, POINT{30, 7}, MouseButton::Right);
    PumpFor(200);
    ASSERT_EQ(1, g_shellCalls);
    // 60 bytes in the 32-bit build.
    EXPECT_EQ(sizeof(SHELLEXECUTEINFOA), g_shellCall.cbSize);
    EXPECT_EQ(0x0Cu, g_shellCall.fMask);
    EXPECT_EQ(nullptr, g_shellCall.hwnd);
    EXPECT_EQ("properties", g_shellVerb);
    EXPECT_EQ(Described(), g_shellFile);
    EXPECT_EQ("", g_shellParameters);
    EXPECT_EQ(nullptr, g_shellCall.lpDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, g_shellCall.nShow);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(id, StoredRule(id).ID);
}

// --- column texts of other counts ----------------------------------------------------

TEST_F(ProgramGrid, ColumnTextsOfOtherCountsNeverCrash)
{
    for (const char *head : {"Active,40;Program,200;Internet,64;Trusted,64;Mail,56",
                             "Active,40;Program,200;Internet,64;Trusted,64;Mail,56;Lock,40;Options,52;Extra,30",
                             ""}) {
        SCOPED_TRACE(head);
        ASSERT_TRUE(::WritePrivateProfileStringA("FRAME_PROGRAM", "LIST_HEAD", head, m_assets.LanguageFile()));
        if (!*head)
            m_assets.ExpectMiss(KIT_MISSING_TEXT, "LIST_HEAD");
        const DWORD id = StoreRule((std::string("C:\\a\\") + std::to_string(strlen(head)) + ".exe").c_str(),
                                   0, 0, 0, 0);
        if (m_page) {
            m_page->DestroyWindow();
            delete m_page;
            m_page = nullptr;
            delete m_publisher;
            m_publisher = nullptr;
        }
        OpenPage();
        ASSERT_GE(RowOf(id), 0);
        ClickDeny(RowOf(id), COL_INET);
        // Where there is an options column its click opens the advanced
        // settings.
        const bool options = Grid().GetColumnCount() > COL_OPTION;
        if (options)
            m_boxes.RunInNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
        ClickCell(RowOf(id), COL_OPTION, POINT{5, 7});
        EXPECT_EQ(0u, m_boxes.Pending());
        ClickCell(RowOf(id), COL_ACTIVE, POINT{5, 7}, MouseButton::Right);
        m_page->SendMessage(WM_PROGRAM_ACTIVE, id, 1);
        PumpFor(100);
        EXPECT_TRUE(::IsWindow(m_page->m_hWnd));
        const std::string state = std::string("columns-") + std::to_string(strlen(head));
        Shot(state.c_str());
    }
}

} // namespace
