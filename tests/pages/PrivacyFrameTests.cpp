// The privacy page, made by the test as a child of the kit's host dialog:
// it paints its client area from the skin and keeps its text.
#include "PrivacyFrame.h"

#include "GuiPump.h"
#include "HostDialog.h"
#include "ProgramFolderFixture.h"
#include "TestScreens.h"

#include <SkinPalette.h>

#include <gtest/gtest.h>

namespace {

TEST(PrivacyFrame, PaintsItsSkinnedClientAndRemembersItsLayout)
{
    CProgramFolderFixture folder;
    CHostDialog host;
    host.Show();
    CWnd *parent = CWnd::FromHandle(host.Handle());
    CPrivacyFrame *page = new CPrivacyFrame(parent, folder.LanguageFile(), folder.SkinFile(""));
    ASSERT_TRUE(page->Create(136, parent));
    page->SetWindowPos(NULL, 0, 0, 300, 180, SWP_NOZORDER | SWP_SHOWWINDOW);
    PumpFor(200);

    CRect client;
    page->GetClientRect(&client);
    EXPECT_EQ(page->LaidOut(), client) << "the deferred layout did not run";
    const CDib shot = SaveTestScreen(page->GetSafeHwnd(), "shown");
    EXPECT_EQ(shot.Pixel(250, 150), SkinPalette::Client) << "the client fill is not painted";
    char text[16] = "";
    GetWindowTextA(GetWindow(page->GetSafeHwnd(), GW_CHILD), text, sizeof text);
    EXPECT_STREQ(text, "????");
    page->DestroyWindow();
    delete page;
}

} // namespace
