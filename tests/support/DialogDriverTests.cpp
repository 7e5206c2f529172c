// The driver records and answers message boxes, and runs a test's steps
// inside a modal dialog's own loop.
#include "DialogDriver.h"
#include "GuiKitResources.h"
#include "HostDialog.h"
#include "RealInput.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

namespace {

struct BoxCase {
    const char *name;
    UINT style;
    int answer;
    UINT icon;
    std::vector<int> buttons;
};

class BoxAnswered : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxAnswered, IsRecordedAndGetsTheChosenButton)
{
    const BoxCase &box = GetParam();
    CDialogDriver driver;
    driver.AnswerNextBox(box.answer);

    int result = MessageBoxA(nullptr, "Delete the rule?", "Ferrowind", box.style);

    EXPECT_EQ(result, box.answer);
    ASSERT_EQ(driver.Boxes().size(), 1u);
    const BoxRecord &record = driver.Boxes()[0];
    EXPECT_EQ(record.text, "Delete the rule?");
    EXPECT_EQ(record.caption, "Ferrowind");
    EXPECT_EQ(record.icon, box.icon);
    EXPECT_EQ(record.buttons, box.buttons);
    EXPECT_EQ(record.owner, nullptr);
    EXPECT_EQ(record.answer, box.answer);
    EXPECT_TRUE(record.expected);
    EXPECT_EQ(driver.Pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, BoxAnswered,
    ::testing::Values(
        BoxCase{"OkExclamation", MB_OK | MB_ICONEXCLAMATION, IDOK, MB_ICONEXCLAMATION, {IDOK}},
        BoxCase{"YesNoCancelQuestion", MB_YESNOCANCEL | MB_ICONQUESTION, IDNO, MB_ICONQUESTION,
                {IDYES, IDNO, IDCANCEL}},
        BoxCase{"RetryCancelHand", MB_RETRYCANCEL | MB_ICONHAND, IDRETRY, MB_ICONHAND,
                {IDRETRY, IDCANCEL}},
        BoxCase{"OkCancelNoIcon", MB_OKCANCEL, IDCANCEL, 0, {IDOK, IDCANCEL}},
        BoxCase{"YesNoAsterisk", MB_YESNO | MB_ICONASTERISK, IDYES, MB_ICONASTERISK,
                {IDYES, IDNO}}),
    [](const ::testing::TestParamInfo<BoxCase> &info) { return std::string(info.param.name); });

TEST(DialogDriver, RecordsTheOwnerOfABox)
{
    CHostDialog host;
    host.Show();
    CDialogDriver driver;
    driver.AnswerNextBox(IDOK);

    EXPECT_EQ(MessageBoxA(host.Handle(), "Saved.", "Options", MB_OK), IDOK);

    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].owner, host.Handle());
}

TEST(DialogDriver, AnswersAnUnexpectedBoxWithCancelOrItsOnlyButton)
{
    CDialogDriver driver;

    EXPECT_EQ(MessageBoxA(nullptr, "Surprise", "A", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Surprise", "B", MB_OK), IDOK);

    ASSERT_EQ(driver.Boxes().size(), 2u);
    EXPECT_FALSE(driver.Boxes()[0].expected);
    EXPECT_EQ(driver.Boxes()[0].answer, IDCANCEL);
    EXPECT_FALSE(driver.Boxes()[1].expected);
    EXPECT_EQ(driver.Boxes()[1].answer, IDOK);
}

TEST(DialogDriver, ABoxWithoutTheChosenButtonStillEndsAndShowsTheMismatch)
{
    CDialogDriver driver;
    driver.AnswerNextBox(IDYES);

    EXPECT_EQ(MessageBoxA(nullptr, "Only OK here", "C", MB_OK), IDYES);

    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].buttons, std::vector<int>{IDOK});
}

// A modal dialog from the kit's template that ends with the command it gets.
INT_PTR CALLBACK EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

TEST(DialogDriver, RunsStepsInsideAModalDialogAndAnswersABoxThere)
{
    CHostDialog owner;
    owner.Show();
    CDialogDriver driver;
    HWND seen = nullptr;
    bool ownerEnabledInside = true;
    driver.RunInNextDialog([&](HWND dialog) {
        seen = dialog;
        ownerEnabledInside = IsWindowEnabled(owner.Handle()) != FALSE;
        SaveTestScreen(dialog, "modal");
        MessageBoxA(dialog, "Inside", "Modal", MB_OK | MB_ICONASTERISK);
        BringToFront(dialog);
        PressKey(VK_ESCAPE);
    });
    driver.AnswerNextBox(IDOK);

    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GUI_KIT_HOST),
                                     owner.Handle(), EndOnCommand, 0);

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_NE(seen, nullptr);
    EXPECT_NE(seen, owner.Handle());
    EXPECT_FALSE(ownerEnabledInside);
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].owner, seen);
    EXPECT_EQ(driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONASTERISK));
    EXPECT_EQ(driver.Pending(), 0u);
}

} // namespace
