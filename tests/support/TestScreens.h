// Screenshots named after the running GoogleTest test:
// <screens>/<suite>.<test>-<state>.png. Each window state a test shows is
// also held to the text-fit check, so that no state a test builds hides a
// clipped text.
#pragma once

#include "Dib.h"
#include "Screens.h"
#include "TextFit.h"

#include <gtest/gtest.h>
#include <string>

inline std::string TestScreenName(const char *state)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name() + "-" + state;
}

// Each text of the window's shown controls that does not fit fails the test.
inline void ExpectTextsFit(HWND window, const char *state)
{
    for (const TextFitFault &fault : FindTextFitFaults(window))
        ADD_FAILURE() << state << ": " << DescribeTextFitFault(fault);
}

// Captures the window as shown (or the whole screen for NULL) and saves it;
// a screenshot that cannot be taken or saved, or a text of the window that
// does not fit, fails the test.
inline CDib SaveTestScreen(HWND window, const char *state)
{
    if (window)
        ExpectTextsFit(window, state);
    CDib shot = window ? CaptureWindow(window) : CaptureScreen();
    EXPECT_FALSE(shot.IsEmpty()) << "no screenshot of " << state;
    EXPECT_NE(SaveScreen(shot, TestScreenName(state)), "") << "screenshot " << state << " not saved";
    return shot;
}
