// The program page under Xvfb, hosted in the kit's dialog over real rule
// databases and a publisher on the emulated driver: its views, layout and
// level slider, driven by real clicks and keys.
#include "ProgramPageFixture.h"

#include <commctrl.h>

namespace {

// --- views -------------------------------------------------------------------

TEST_F(ProgramPage, OpensOnTheProgramView)
{
    OpenPage();
    EXPECT_EQ(CProgramFrame::VIEW_PROGRAM, m_page->CurrentView());
    EXPECT_FALSE(IsShown(IDC_VIEW_GENERAL));
    EXPECT_TRUE(IsShown(IDC_VIEW_PROGRAM));
    EXPECT_TRUE(IsShown(IDC_VIEW_TIME));
    // The pressed button of the current view cannot be clicked.
    EXPECT_FALSE(IsEnabled(IDC_VIEW_PROGRAM));
    EXPECT_TRUE(IsEnabled(IDC_VIEW_TIME));
    EXPECT_TRUE(IsShown(IDC_RULE_GRID));
    for (UINT id : {IDC_LEVEL_SLIDER, IDC_LEVEL_TEXT, IDC_SCHEDULE_1, IDC_WEEKDAY_SUNDAY,
                    IDC_START_TIME, IDC_SCHEDULE_APPLY})
        EXPECT_FALSE(IsShown(id)) << id;
    CDib shot = Shot("program-view");
    // The pressed view button shows its checked face, the other its normal one.
    EXPECT_EQ(SkinPalette::SlateBlue, PixelIn(shot, IDC_VIEW_PROGRAM, POINT{3, 3}));
    EXPECT_EQ(SkinPalette::Accent, PixelIn(shot, IDC_VIEW_TIME, POINT{3, 3}));
}

TEST_F(ProgramPage, TheTimeButtonShowsScheduleOne)
{
    OpenPage();
    ClickControl(Control(IDC_VIEW_TIME));
    EXPECT_EQ(CProgramFrame::VIEW_TIME, m_page->CurrentView());
    EXPECT_EQ(1, m_page->CurrentSchedule());
    EXPECT_FALSE(IsShown(IDC_RULE_GRID));
    for (UINT id : {IDC_SCHEDULE_1, IDC_SCHEDULE_7, IDC_SCHEDULE_APPLY, IDC_WEEK_CAPTION,
                    IDC_WEEKDAY_SUNDAY, IDC_WEEKDAY_FRIDAY, IDC_START_TIME, IDC_END_TIME,
                    IDC_TIME_CAPTION, IDC_START_CAPTION, IDC_END_CAPTION})
        EXPECT_TRUE(IsShown(id)) << id;
    EXPECT_FALSE(IsEnabled(IDC_SCHEDULE_1));
    EXPECT_FALSE(IsEnabled(IDC_SCHEDULE_APPLY));
    EXPECT_FALSE(IsEnabled(IDC_VIEW_TIME));
    EXPECT_TRUE(IsEnabled(IDC_VIEW_PROGRAM));
    Shot("time-view");

    ClickControl(Control(IDC_VIEW_PROGRAM));
    EXPECT_EQ(CProgramFrame::VIEW_PROGRAM, m_page->CurrentView());
    EXPECT_EQ(0, m_page->CurrentSchedule());
    EXPECT_TRUE(IsShown(IDC_RULE_GRID));
    EXPECT_FALSE(IsShown(IDC_SCHEDULE_1));
}

TEST_F(ProgramPage, CommandGeneralShowsTheLevelWithItsButtonStillHidden)
{
    OpenPage();
    ShowGeneralView();
    EXPECT_EQ(CProgramFrame::VIEW_GENERAL, m_page->CurrentView());
    EXPECT_FALSE(IsShown(IDC_VIEW_GENERAL));
    for (UINT id : {IDC_LEVEL_GROUP, IDC_LEVEL_SLIDER, IDC_LEVEL_HIGH, IDC_LEVEL_MIDDLE,
                    IDC_LEVEL_LOW, IDC_LEVEL_TEXT})
        EXPECT_TRUE(IsShown(id)) << id;
    EXPECT_FALSE(IsShown(IDC_RULE_GRID));
    EXPECT_FALSE(IsShown(IDC_SCHEDULE_1));
    EXPECT_TRUE(IsEnabled(IDC_VIEW_PROGRAM));
    EXPECT_TRUE(IsEnabled(IDC_VIEW_TIME));
    EXPECT_EQ(LanguageText("FRAME_PROGRAM", "L_LevHigh"), Text(IDC_LEVEL_HIGH));
    Shot("general-view");
}

TEST_F(ProgramPage, EnterAndEscCloseNothing)
{
    OpenPage();
    ShowGeneralView();
    SetFocus(Control(IDC_LEVEL_SLIDER));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    m_page->SendMessage(WM_COMMAND, IDOK);
    m_page->SendMessage(WM_COMMAND, IDCANCEL);
    PumpFor(100);
    ASSERT_TRUE(IsWindow(m_page->m_hWnd));
    EXPECT_TRUE(m_page->IsWindowVisible());
    EXPECT_EQ(CProgramFrame::VIEW_GENERAL, m_page->CurrentView());
    // The command no menu carries is taken and does nothing.
    m_page->SendMessage(WM_COMMAND, 32780);
    EXPECT_TRUE(m_page->IsWindowVisible());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ProgramPage, WithoutTextsOrPicturesThePageShowsBlankAndWorks)
{
    m_assets.ExpectMiss(KIT_MISSING_TEXT, "NoSuchFolder");
    m_assets.ExpectMiss(KIT_PICTURE_NOT_LOADED, "NoSuchFolder");
    StoreRule("C:\\a\\one.exe", 0, 0, 0, 0);
    const std::string folder = static_cast<LPCTSTR>(m_assets.File("NoSuchFolder\\"));
    OpenPage((folder + "Language.ini").c_str(), folder.c_str());
    EXPECT_EQ(1, ListView_GetItemCount(Control(IDC_RULE_GRID)));
    Shot("program-view-bare");
    for (UINT view : {IDC_VIEW_TIME, IDC_VIEW_GENERAL, IDC_VIEW_PROGRAM}) {
        m_page->SendMessage(WM_COMMAND, MAKEWPARAM(view, BN_CLICKED), reinterpret_cast<LPARAM>(Control(view)));
        PumpFor(100);
        EXPECT_TRUE(::IsWindow(m_page->m_hWnd));
    }
    ShowGeneralView();
    EXPECT_EQ("", Text(IDC_LEVEL_TEXT));
    EXPECT_EQ("", Text(IDC_LEVEL_GROUP));
    Shot("general-view-bare");
    // Without their pictures the view buttons have no size to click.
    m_page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TIME, BN_CLICKED),
                        reinterpret_cast<LPARAM>(Control(IDC_VIEW_TIME)));
    PumpFor(100);
    EXPECT_EQ(1, m_page->CurrentSchedule());
    EXPECT_EQ("", Text(IDC_WEEKDAY_MONDAY));
    Shot("time-view-bare");
    EXPECT_FALSE(m_assets.Misses().empty());
}

// --- layout --------------------------------------------------------------------

TEST_F(ProgramPage, ControlsStandAtTheirPlaces)
{
    OpenPage();
    const int W = PAGE_SIZE.cx, H = PAGE_SIZE.cy;
    const SIZE view = CellOf("But_Prgm_Time.bmp"), program = CellOf("But_Prgm_Program.bmp");
    const SIZE general = CellOf("But_Prgm_General.bmp");
    const SIZE schedule = CellOf("But_Time_1.bmp"), apply = CellOf("But_Time_Apply.bmp");
    struct Place { UINT id; RECT rect; };
    const Place places[] = {
        {IDC_VIEW_TIME, {W - 5 - view.cx, 1, W - 5, 1 + general.cy}},
        {IDC_VIEW_PROGRAM, {W - 5 - view.cx - program.cx, 1, W - 5 - view.cx, 1 + general.cy}},
        {IDC_VIEW_GENERAL,
         {W - 5 - view.cx - program.cx - general.cx, 1, W - 5 - view.cx - program.cx, 1 + general.cy}},
        {IDC_LEVEL_GROUP, {10, 40, W - 12, 160}},
        {IDC_LEVEL_SLIDER, {30, 60, 70, 140}},
        {IDC_LEVEL_HIGH, {70, 66, 86, 82}},
        {IDC_LEVEL_MIDDLE, {70, 93, 86, 109}},
        {IDC_LEVEL_LOW, {70, 119, 86, 135}},
        {IDC_LEVEL_TEXT, {100, 65, 500, 135}},
        {1021, {10, 35, 10 + schedule.cx, 35 + schedule.cy}},
        {1024, {10, 35 + 3 * schedule.cy, 10 + schedule.cx, 35 + 4 * schedule.cy}},
        {1027, {10, 35 + 6 * schedule.cy, 10 + schedule.cx, 35 + 7 * schedule.cy}},
        {IDC_WEEK_CAPTION, {120, 50, 220, 68}},
        {IDC_WEEKDAY_SUNDAY, {140, 80, 216, 98}},
        {IDC_WEEKDAY_MONDAY, {220, 80, 296, 98}},
        {IDC_WEEKDAY_TUESDAY, {300, 80, 376, 98}},
        {IDC_WEEKDAY_WEDNESDAY, {380, 80, 470, 98}},
        {IDC_WEEKDAY_THURSDAY, {140, 105, 216, 123}},
        {IDC_WEEKDAY_FRIDAY, {220, 105, 296, 123}},
        {IDC_WEEKDAY_SATURDAY, {300, 105, 376, 123}},
        {IDC_TIME_CAPTION, {120, 150, 370, 168}},
        {IDC_START_CAPTION, {140, 180, 200, 196}},
        {IDC_START_TIME, {205, 177, 305, 197}},
        {IDC_END_CAPTION, {140, 207, 200, 223}},
        {IDC_END_TIME, {205, 204, 305, 224}},
        {IDC_SCHEDULE_APPLY, {400, 254, 400 + apply.cx, 254 + apply.cy}},
        {IDC_RULE_GRID, {10, 35, W - 10, H - 10}},
    };
    for (const Place &place : places) {
        const RECT at = RectOf(place.id);
        EXPECT_TRUE(EqualRect(&at, &place.rect))
            << place.id << ": " << at.left << "," << at.top << "," << at.right << "," << at.bottom;
    }
}

TEST_F(ProgramPage, ASecondSizeOfTheSameSizeMovesNothing)
{
    OpenPage();
    ::MoveWindow(Control(IDC_RULE_GRID), 3, 4, 50, 60, TRUE);
    RECT client;
    ::GetClientRect(m_page->m_hWnd, &client);
    m_page->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    PumpFor(100);
    const RECT moved = {3, 4, 53, 64}, at = RectOf(IDC_RULE_GRID);
    EXPECT_TRUE(EqualRect(&moved, &at));
    // Another size lays everything out again.
    SizePage(SIZE{PAGE_SIZE.cx + 40, PAGE_SIZE.cy + 20});
    const RECT again = {10, 35, PAGE_SIZE.cx + 30, PAGE_SIZE.cy + 10};
    const RECT now = RectOf(IDC_RULE_GRID);
    EXPECT_TRUE(EqualRect(&again, &now));
}

// --- the level -----------------------------------------------------------------

struct LevelCase {
    const char *stored;
    int position;
    const char *textKey;
};

class ProgramLevel : public ProgramPage, public ::testing::WithParamInterface<LevelCase>
{
};

TEST_P(ProgramLevel, StoredLevelGivesThumbAndText)
{
    StoreConfig("ProgramLevel", GetParam().stored);
    OpenPage();
    ShowGeneralView();
    EXPECT_EQ(GetParam().position, SliderPos());
    EXPECT_EQ(LanguageText("FRAME_PROGRAM", GetParam().textKey), Text(IDC_LEVEL_TEXT));
    std::string state = std::string("stored-") + (*GetParam().stored ? GetParam().stored : "empty");
    Shot(state.c_str());
}

INSTANTIATE_TEST_SUITE_P(Stored, ProgramLevel,
                         ::testing::Values(LevelCase{"", 2, "LEV_PROGRAM_L"},
                                           LevelCase{"0", 2, "LEV_PROGRAM_L"},
                                           LevelCase{"1", 1, "LEV_PROGRAM_M"},
                                           LevelCase{"2", 0, "LEV_PROGRAM_H"},
                                           LevelCase{"255", 2, "LEV_PROGRAM_L"},
                                           LevelCase{"258", 0, "LEV_PROGRAM_H"}));

TEST_F(ProgramPage, ADragOfTheThumbStoresTheLevelInStoreAndImage)
{
    StoreConfig("ProgramLevel", "0");
    OpenPage();
    ShowGeneralView();
    ASSERT_EQ(2, SliderPos());
    m_publisher->GetHeader()->ProgramLevel = 77;
    const RECT thumb = ThumbRect();
    const POINT from = ScreenPointOf(Control(IDC_LEVEL_SLIDER),
                                     POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    DragFromTo(from, POINT{from.x, from.y - 200});
    PumpFor(100);
    EXPECT_EQ(0, SliderPos());
    EXPECT_EQ("2", StoredConfig("ProgramLevel"));
    EXPECT_EQ(2, m_publisher->GetHeader()->ProgramLevel);
    EXPECT_EQ(LanguageText("FRAME_PROGRAM", "LEV_PROGRAM_H"), Text(IDC_LEVEL_TEXT));
    Shot("dragged-to-high");
}

TEST_F(ProgramPage, AReleaseWithoutAMoveStoresTheLevelAgain)
{
    StoreConfig("ProgramLevel", "258");
    OpenPage();
    ShowGeneralView();
    ASSERT_EQ(0, SliderPos());
    m_publisher->GetHeader()->ProgramLevel = 77;
    const RECT thumb = ThumbRect();
    ClickControlAt(Control(IDC_LEVEL_SLIDER),
                   POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    PumpFor(100);
    EXPECT_EQ(0, SliderPos());
    EXPECT_EQ("2", StoredConfig("ProgramLevel"));
    EXPECT_EQ(2, m_publisher->GetHeader()->ProgramLevel);
}

TEST_F(ProgramPage, KeyboardMovesOfTheThumbStoreNothing)
{
    StoreConfig("ProgramLevel", "0");
    OpenPage();
    ShowGeneralView();
    m_publisher->GetHeader()->ProgramLevel = 77;
    BringToFront(m_host.Handle());
    SetFocus(Control(IDC_LEVEL_SLIDER));
    PressKey(VK_UP);
    PumpFor(100);
    EXPECT_EQ(1, SliderPos());
    EXPECT_EQ("0", StoredConfig("ProgramLevel"));
    EXPECT_EQ(77, m_publisher->GetHeader()->ProgramLevel);
    EXPECT_EQ(LanguageText("FRAME_PROGRAM", "LEV_PROGRAM_L"), Text(IDC_LEVEL_TEXT));
}

TEST_F(ProgramPage, WithoutAnImageTheLevelGoesToTheStoreOnly)
{
    StoreConfig("ProgramLevel", "0");
    OpenPage();
    ShowGeneralView();
    m_publisher->ReleaseBlock();
    ASSERT_EQ(nullptr, m_publisher->GetHeader());
    const RECT thumb = ThumbRect();
    ClickControlAt(Control(IDC_LEVEL_SLIDER),
                   POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    PumpFor(100);
    EXPECT_EQ("0", StoredConfig("ProgramLevel"));
    StoreConfig("ProgramLevel", "9");
    ClickControlAt(Control(IDC_LEVEL_SLIDER),
                   POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    PumpFor(100);
    EXPECT_EQ("0", StoredConfig("ProgramLevel"));
}

} // namespace
