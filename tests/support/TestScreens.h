// Screenshots named after the running GoogleTest test:
// <screens>/<suite>.<test>-<state>.png.
#pragma once

#include "Dib.h"
#include "Screens.h"

#include <gtest/gtest.h>
#include <string>

inline std::string TestScreenName(const char *state)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name() + "-" + state;
}

// Captures the window as shown (or the whole screen for NULL) and saves it;
// a screenshot that cannot be taken or saved fails the test.
inline CDib SaveTestScreen(HWND window, const char *state)
{
    CDib shot = window ? CaptureWindow(window) : CaptureScreen();
    EXPECT_FALSE(shot.IsEmpty()) << "no screenshot of " << state;
    EXPECT_NE(SaveScreen(shot, TestScreenName(state)), "") << "screenshot " << state << " not saved";
    return shot;
}
