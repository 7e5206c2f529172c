#include "StepsHarness.h"
#include "ConsoleMessages.h"

void RecordingView::DestroyDialog()
{
    Add("destroy");
    DestroyWindow(window);
}

std::string RecordingView::Only(const std::string &prefix) const
{
    std::string text;
    for (const std::string &event : events) {
        if (event.compare(0, prefix.size(), prefix) == 0)
            text += (text.empty() ? "" : " ") + event;
    }
    return text;
}

DWORD RecordingView::TickOf(const std::string &prefix) const
{
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].compare(0, prefix.size(), prefix) == 0)
            return ticks[i];
    }
    return 0;
}

StepsHarness::StepsHarness(bool runSteps) : m_runSteps(runSteps)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QfwStepsHarness";
    RegisterClassA(&windowClass);
    m_window = CreateWindowA("QfwStepsHarness", "steps", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_view.window = m_window;
    m_steps.reset(new CUpdateSteps(m_window, m_view));
}

StepsHarness::~StepsHarness()
{
    m_steps.reset();
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

LRESULT CALLBACK StepsHarness::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    auto *harness = reinterpret_cast<StepsHarness *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (harness)
        return harness->Handle(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT StepsHarness::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPDATE_STEP:
        ++m_stepMessages;
        if (m_runSteps) {
            m_stepsRun.push_back(m_steps->Step());
            m_steps->RunStep();
        }
        return 0;
    case WM_SHOW_STEP:
        m_stepsRun.push_back(m_steps->Step());
        m_steps->ShowStep();
        return 0;
    case WM_DOWNLOAD_DONE:
        m_steps->OnDownloadDone(wParam);
        return 0;
    case WM_DOWNLOAD_PROGRESS:
        m_steps->OnDownloadProgress(wParam, lParam);
        return 0;
    case WM_TIMER:
        m_steps->OnTimer(wParam);
        return 0;
    case WM_UPDATE_CLOSE:
        Close();
        return 0;
    }
    return DefWindowProcA(m_window, message, wParam, lParam);
}

bool StepsHarness::Close()
{
    m_view.Add("close-request");
    if (!m_steps->RequestClose())
        return false;
    m_view.Add("close");
    m_closed = true;
    DestroyWindow(m_window);
    return true;
}

bool StepsHarness::PumpUntil(const std::function<bool()> &done, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

bool StepsHarness::RunToEnd(DWORD milliseconds)
{
    bool ended = PumpUntil(
        [this] { return m_closed || !IsWindow(m_window) || m_steps->RunEnded(); }, milliseconds);
    // A box step posts the close after its box.
    PumpUntil([this] { return m_closed || !IsWindow(m_window); }, 300);
    return ended;
}

std::string StepsHarness::StepsRun() const
{
    std::string text;
    for (int step : m_stepsRun)
        text += (text.empty() ? "" : " ") + std::to_string(step);
    return text;
}
