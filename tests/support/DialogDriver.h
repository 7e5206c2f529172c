// Meets the message boxes and modal dialogs this thread shows, inside their
// own modal loops. Each message box is recorded (text, caption, icon,
// buttons, owner) and answered with the button the test chose; a modal
// dialog the test expects runs the test's steps inside its loop.
//
// A window counts once, when it is first activated. A message box nobody
// expected is still recorded and answered (Cancel if it has one, else its
// first button), so a test fails on its records instead of hanging.
#pragma once

#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct BoxRecord {
    std::string text;
    std::string caption;
    UINT icon;                // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
    std::vector<int> buttons; // the ids (IDOK, IDYES, ...) from left to right
    HWND owner;
    int answer;               // the button the box was answered with (0: not answered)
    bool expected;            // whether a test had asked for an answer
};

// Whether the window is a message box, and what it shows; these work on
// another process's boxes too, but for the icon (0 there: icon handles
// belong to their process).
bool IsMessageBox(HWND window);
BoxRecord ReadMessageBox(HWND box);

// A message box of another process: the first one it shows within the
// time (NULL when none comes), and the box read, then answered with the
// button (a click on it).
HWND WaitForBoxOfProcess(DWORD processId, DWORD timeoutMs);
BoxRecord AnswerBoxOfProcess(HWND box, int button);

class CDialogDriver {
public:
    // Watches this thread's windows; one driver per thread at a time.
    CDialogDriver();
    ~CDialogDriver();
    CDialogDriver(const CDialogDriver &) = delete;
    CDialogDriver &operator=(const CDialogDriver &) = delete;

    // The next message box gets this button (queued: one call per box).
    void AnswerNextBox(int button);
    // The next dialog that is not a message box runs the steps inside its
    // modal loop; the steps end it (queued: one call per dialog).
    void RunInNextDialog(std::function<void(HWND dialog)> steps);

    // Runs before each box is answered, with the box shown (a test saves
    // its screenshot there).
    void LookAtBoxes(std::function<void(HWND box)> look) { m_look = std::move(look); }

    const std::vector<BoxRecord> &Boxes() const { return m_boxes; }
    // Answers and steps still waiting for their window.
    size_t Pending() const { return m_answers.size() + m_steps.size(); }

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK MeetWindow(HWND window, UINT message, UINT_PTR timer, DWORD time);
    void Meet(HWND window);
    void AnswerBox(HWND box);

    HHOOK m_hook = nullptr;
    std::vector<HWND> m_met;
    std::deque<int> m_answers;
    std::deque<std::function<void(HWND)>> m_steps;
    std::vector<BoxRecord> m_boxes;
    std::function<void(HWND)> m_look;
};
