// The about page in the main window over a fresh program folder: its texts
// at their places, the installed version from QfwUpdate.ini, and its
// pictures where a person sees them.
#include "ConsoleUnderTest.h"

#include <ConsoleResources.h>
#include <InfoPageIds.h>

#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <string>

namespace {

std::string TextOf(HWND window)
{
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

class AboutPage : public ConsoleWindowTest
{
protected:
    bool ShowPage()
    {
        if (!ShowMainWindow())
            return false;
        ClickControl(Control(IDC_SIDE_INFO));
        MovePointerTo(POINT{5, 5});
        PumpFor(200);
        return ::IsWindowVisible(Page()) != FALSE;
    }
    HWND Page() const { return TheConsole().MainFrame().InfoPage().GetSafeHwnd(); }
    HWND Item(int id) const { return ::GetDlgItem(Page(), id); }
    CRect PlaceOf(int id) const
    {
        CRect rect;
        ::GetWindowRect(Item(id), &rect);
        ::MapWindowPoints(NULL, Page(), reinterpret_cast<POINT *>(&rect), 2);
        return rect;
    }
    static std::string PageText(const char *key)
    {
        return std::string(TheConsole().Texts().GetText(key, "FRAME_INFO"));
    }
    std::string ShippedVersion() const
    {
        char version[64] = "";
        ::GetPrivateProfileStringA("MAIN_INFOR", "Version", "", version, sizeof version,
                                   m_folder.File("QfwUpdate.ini"));
        return version;
    }
};

TEST_F(AboutPage, ShowsItsTextsAndTheInstalledVersionAtTheirPlaces)
{
    ASSERT_NE(ShippedVersion(), "");
    ASSERT_TRUE(ShowPage());
    const struct {
        int id;
        std::string text;
        CRect place;
    } labels[] = {
        {IDC_INFO_NOTICE, PageText("LB_Copyright"), CRect(40, 268, 450, 282)},
        {IDC_INFO_VERSION_LABEL, PageText("LB_Version"), CRect(235, 135, 300, 149)},
        {IDC_INFO_DESIGNER_LABEL, PageText("LB_UI_Design"), CRect(235, 155, 300, 169)},
        {IDC_INFO_VERSION, ShippedVersion(), CRect(305, 135, 370, 149)},
        {IDC_INFO_DESIGNER, PageText("LB_Val_UI_Design"), CRect(305, 155, 370, 169)},
    };
    for (const auto &label : labels) {
        EXPECT_NE(label.text, "") << label.id;
        EXPECT_EQ(TextOf(Item(label.id)), label.text) << label.id;
        EXPECT_EQ(PlaceOf(label.id), label.place) << label.id;
    }
    SaveTestScreen(Main(), "page");
}

struct VersionCase {
    const char *name;
    const char *description; // QfwUpdate.ini's text, or NULL for no file
};

class AboutPageVersion : public AboutPage, public ::testing::WithParamInterface<VersionCase>
{
};

TEST_P(AboutPageVersion, IsEmptyWithoutTheKeyOrTheFile)
{
    const VersionCase &c = GetParam();
    const CString file = m_folder.File("QfwUpdate.ini");
    ASSERT_TRUE(::DeleteFileA(file));
    if (c.description) {
        ASSERT_TRUE(::WritePrivateProfileSectionA("MAIN_INFOR", c.description, file));
    }
    // The main window's version line reads the same key.
    m_folder.ExpectMiss(KIT_MISSING_TEXT, "Version");
    ASSERT_TRUE(ShowPage());
    EXPECT_EQ(TextOf(Item(IDC_INFO_VERSION)), "");
    EXPECT_EQ(TextOf(Item(IDC_INFO_VERSION_LABEL)), PageText("LB_Version"));
    EXPECT_EQ(TextOf(Item(IDC_INFO_DESIGNER)), PageText("LB_Val_UI_Design"));
    EXPECT_EQ(TextOf(Item(IDC_INFO_NOTICE)), PageText("LB_Copyright"));
    SaveTestScreen(Main(), c.name);
}

INSTANTIATE_TEST_SUITE_P(Descriptions, AboutPageVersion,
                         ::testing::Values(VersionCase{"NoFile", nullptr},
                                           VersionCase{"NoVersionKey", "URL=http://updates.invalid/\0"}),
                         [](const ::testing::TestParamInfo<VersionCase> &info) {
                             return std::string(info.param.name);
                         });

// Each picture at its own size, copied as it is: the icon from (40, 60),
// the product from (233, 95), the logo up to (517, 280).
TEST_F(AboutPage, DrawsItsPicturesAtTheirCorners)
{
    ASSERT_TRUE(ShowPage());
    const CDib page = CaptureWindow(Page());
    const struct {
        const char *file;
        POINT corner;
        bool bottomRight;
    } pictures[] = {
        {"About_BigIcon.bmp", {40, 60}, false},
        {"About_Product.bmp", {233, 95}, false},
        {"About_Logo.bmp", {517, 280}, true},
    };
    for (const auto &picture : pictures) {
        const CDib expected = ReadPictureFile(m_folder.SkinFile(picture.file));
        ASSERT_FALSE(expected.IsEmpty()) << picture.file;
        const int left = picture.bottomRight ? picture.corner.x - expected.Width() : picture.corner.x;
        const int top = picture.bottomRight ? picture.corner.y - expected.Height() : picture.corner.y;
        const CDib shown = page.Part(RECT{left, top, left + expected.Width(), top + expected.Height()});
        EXPECT_EQ(shown.CountDifferences(expected), 0) << picture.file;
    }
    const CDib logo = ReadPictureFile(m_folder.SkinFile("About_Logo.bmp"));
    EXPECT_EQ(logo.Width(), 100);
    EXPECT_EQ(logo.Height(), 40) << "the logo covers (417, 240)-(517, 280)";
}

} // namespace
