// Runs the updater's step machine in the test program: a hidden window
// takes the dialog's messages and hands them to a CUpdateSteps, and a view
// records everything the dialog would show, in order ("text:KEY",
// "box:KEY", "box-name:name", "name:file", "current:N", "total:N", "destroy", "close").
#pragma once

#include "UpdateSteps.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class RecordingView : public IUpdateView
{
public:
    void ShowStepText(LPCSTR key) override { Add(std::string("text:") + key); }
    void ShowBox(LPCSTR key, UINT) override { Add(std::string("box:") + key); }
    void ShowBoxNaming(LPCSTR key, const CString &name) override
    {
        Add(std::string("box:") + key);
        Add(std::string("box-name:") + static_cast<LPCSTR>(name));
    }
    void ShowDownloadName(const CString &name) override
    {
        Add(std::string("name:") + static_cast<LPCSTR>(name));
    }
    void SetCurrentPercent(int percent) override { Add("current:" + std::to_string(percent)); }
    void SetTotalPercent(int percent) override { Add("total:" + std::to_string(percent)); }
    void DestroyDialog() override;

    void Add(const std::string &event)
    {
        events.push_back(event);
        ticks.push_back(GetTickCount());
    }
    // When the first event with the prefix came; 0 when none did.
    DWORD TickOf(const std::string &prefix) const;
    // The events that start with the prefix, in order, joined by blanks.
    std::string Only(const std::string &prefix) const;

    std::vector<std::string> events;
    std::vector<DWORD> ticks;
    HWND window = nullptr;
};

class StepsHarness
{
public:
    // runSteps FALSE: WM_UPDATE_STEP is only counted, never run.
    explicit StepsHarness(bool runSteps = true);
    ~StepsHarness();

    CUpdateSteps &Steps() { return *m_steps; }
    RecordingView &View() { return m_view; }
    HWND Window() const { return m_window; }

    // Dispatches the window's messages until done() holds or the time is up;
    // the result is done().
    bool PumpUntil(const std::function<bool()> &done, DWORD milliseconds);
    // Pumps until the run closes the window or stops at a step that ends it.
    bool RunToEnd(DWORD milliseconds);

    // The steps run, in order, as "0 2 3 ...".
    std::string StepsRun() const;
    int StepMessages() const { return m_stepMessages; }
    bool Closed() const { return m_closed; }
    // Asks to close as the dialog's Escape would; TRUE when it closed.
    bool Close();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    RecordingView m_view;
    std::unique_ptr<CUpdateSteps> m_steps;
    bool m_runSteps;
    bool m_closed = false;
    int m_stepMessages = 0;
    std::vector<int> m_stepsRun;
};
