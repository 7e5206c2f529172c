#include "DialogDriver.h"

#include <algorithm>

// The controls the system's message box is made of.
static const int BOX_TEXT_ID = 0xFFFF;
static const int BOX_ICON_ID = 1088;

// A dialog is met once, from a timer, when its modal loop runs; forgotten
// when destroyed, as its handle may come again.
static const UINT_PTR MEET_TIMER = 0x4B49;
static const UINT MEET_DELAY_MS = 10;

static thread_local CDialogDriver *g_driver;

CDialogDriver::CDialogDriver()
{
    g_driver = this;
    m_hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

CDialogDriver::~CDialogDriver()
{
    UnhookWindowsHookEx(m_hook);
    g_driver = nullptr;
}

void CDialogDriver::AnswerNextBox(int button)
{
    m_answers.push_back(button);
}

void CDialogDriver::RunInNextDialog(std::function<void(HWND dialog)> steps)
{
    m_steps.push_back(std::move(steps));
}

static bool IsDialog(HWND window)
{
    char className[16];
    return GetClassNameA(window, className, sizeof className) && !lstrcmpA(className, "#32770");
}

LRESULT CALLBACK CDialogDriver::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (g_driver && (code == HCBT_ACTIVATE || code == HCBT_DESTROYWND)) {
        std::vector<HWND> &met = g_driver->m_met;
        auto known = std::find(met.begin(), met.end(), window);
        if (code == HCBT_DESTROYWND && known != met.end()) {
            met.erase(known);
        } else if (code == HCBT_ACTIVATE && known == met.end() && IsDialog(window)) {
            met.push_back(window);
            SetTimer(window, MEET_TIMER, MEET_DELAY_MS, MeetWindow);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK CDialogDriver::MeetWindow(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    if (g_driver)
        g_driver->Meet(window);
}

// A message box holds its text in a static of its own id, and otherwise
// only buttons and the icon.
bool IsMessageBox(HWND dialog)
{
    if (!IsDialog(dialog) || !GetDlgItem(dialog, BOX_TEXT_ID))
        return false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16];
        GetClassNameA(child, className, sizeof className);
        int id = GetDlgCtrlID(child);
        bool part = !lstrcmpiA(className, "Button") || id == BOX_TEXT_ID || id == BOX_ICON_ID;
        if (!part)
            return false;
    }
    return true;
}

void CDialogDriver::Meet(HWND window)
{
    if (IsMessageBox(window)) {
        AnswerBox(window);
    } else if (!m_steps.empty()) {
        std::function<void(HWND)> steps = std::move(m_steps.front());
        m_steps.pop_front();
        steps(window);
    }
}

static bool IsShown(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

static std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Icons are known by their shared handles, which belong to this process.
static UINT IconOf(HWND box)
{
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    HWND icon = GetDlgItem(box, BOX_ICON_ID);
    if (process != GetCurrentProcessId() || !icon || !IsShown(icon))
        return 0;
    HICON shown = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    static const struct { LPCSTR resource; UINT style; } icons[] = {
        {IDI_HAND, MB_ICONHAND},
        {IDI_QUESTION, MB_ICONQUESTION},
        {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
        {IDI_ASTERISK, MB_ICONASTERISK},
    };
    for (const auto &known : icons)
        if (shown == LoadIconA(nullptr, known.resource))
            return known.style;
    return 0;
}

static std::vector<int> ButtonsOf(HWND box)
{
    std::vector<std::pair<LONG, int>> placed;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16];
        GetClassNameA(child, className, sizeof className);
        if (!lstrcmpiA(className, "Button") && IsShown(child)) {
            RECT rect;
            GetWindowRect(child, &rect);
            placed.emplace_back(rect.left, GetDlgCtrlID(child));
        }
    }
    std::sort(placed.begin(), placed.end());
    std::vector<int> ids;
    for (const auto &button : placed)
        ids.push_back(button.second);
    return ids;
}

BoxRecord ReadMessageBox(HWND box)
{
    BoxRecord record;
    record.text = TextOf(GetDlgItem(box, BOX_TEXT_ID));
    record.caption = TextOf(box);
    record.icon = IconOf(box);
    record.buttons = ButtonsOf(box);
    record.owner = GetWindow(box, GW_OWNER);
    record.answer = 0;
    record.expected = false;
    return record;
}

void CDialogDriver::AnswerBox(HWND box)
{
    BoxRecord record = ReadMessageBox(box);
    record.expected = !m_answers.empty();
    if (record.expected) {
        record.answer = m_answers.front();
        m_answers.pop_front();
    } else {
        const std::vector<int> &ids = record.buttons;
        bool canCancel = std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end();
        record.answer = canCancel || ids.empty() ? IDCANCEL : ids.front();
    }
    m_boxes.push_back(record);
    if (m_look) {
        UpdateWindow(box);
        m_look(box);
    }

    // A box that lacks the chosen button still ends, with that answer, so
    // that the test sees the mismatch in the record.
    HWND button = GetDlgItem(box, record.answer);
    if (button && IsShown(button))
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        EndDialog(box, record.answer);
}

namespace {

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM lParam)
{
    BoxSearch *search = reinterpret_cast<BoxSearch *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && IsMessageBox(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForBoxOfProcess(DWORD processId, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    BoxSearch search = {processId, nullptr};
    while (!search.box && GetTickCount() - start < timeoutMs) {
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
        if (!search.box)
            Sleep(50);
    }
    return search.box;
}

BoxRecord AnswerBoxOfProcess(HWND box, int button)
{
    BoxRecord record = ReadMessageBox(box);
    record.expected = true;
    record.answer = button;
    if (HWND control = GetDlgItem(box, button))
        PostMessageA(control, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return record;
}
