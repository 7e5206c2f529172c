// CProgramFrame: the program page of the main window. Three views, chosen by
// the buttons at its top right:
//   0 General  the program security level on a vertical slider (its button
//              stays hidden, so only a command 1004 shows it);
//   1 Time     the seven time schedules (ProgramSchedules.cpp);
//   2 Program  the grid of program rules; the page opens on it.
// The rule store and the rule image belong to the publisher the page is
// bound to; the page reads the store and edits through the publisher.
#pragma once

#include "ProgramLooks.h"
#include "ProgramPageIds.h"

#include <CDWordArray.h>
#include <CImageList.h>
#include <CRect.h>
#include <CTime.h>
#include <GridList.h>
#include <RuleRecord.h>
#include <LanguageText.h>
#include <SkinButton.h>
#include <SkinCheckBox.h>
#include <SkinDialog.h>
#include <SkinLabel.h>
#include <SkinSlider.h>

#include <shellapi.h>

#include <map>

class CAclPublisher;
struct DriverQueueRecord;
struct SessionRecord;

// Where the page finds the questions that the poller posts: the connection
// table with its record count, and the driver's ring records.
struct QuestionSources {
    SessionRecord *(*Sessions)();
    DWORD (*SessionCount)();
    const DriverQueueRecord *(*QueueRecord)(int index);
};

// How the page asks the shell for a file's properties.
typedef BOOL(WINAPI *ShellExecuteProc)(SHELLEXECUTEINFOA *info);

class CProgramFrame : public CSkinDialog
{
public:
    enum View { VIEW_GENERAL = 0, VIEW_TIME = 1, VIEW_PROGRAM = 2 };
    enum { SCHEDULE_COUNT = 7, WEEKDAY_COUNT = 7 };

    explicit CProgramFrame(CWnd *pParent = NULL);

    // What the page works on, set before it is created: the publisher (its
    // store, image and edits), the Language.ini file and the skin folder
    // (with its trailing backslash).
    void Bind(CAclPublisher *publisher, const CString &languagePath, const CString &skinFolder);

    BOOL OnInitDialog() override;
    // Enter and Esc leave the page as it is.
    void OnOK() override {}
    void OnCancel() override {}

    void SelectView(int view);
    int CurrentView() const { return m_currentView; }

    // The Program view: one row per program rule, its ID as the row's data.
    // A page made hidden fills first when it is shown or its list changes:
    // its rows cost a read of every rule's program file, which the console's
    // start does not wait for.
    void FillProgramList();
    // The row the last click or right-click named; -1 for none.
    int SelectedRow() const { return m_selectedRow; }
    void SetShellExecute(ShellExecuteProc entry) { m_shellExecute = entry; }

    // The Time view.
    void LoadSchedule(int schedule);
    // FALSE when the store or the image refused the schedule: the box has
    // said so and it stays changed. Logged off, the refusal's own box is
    // shown and the result is TRUE.
    BOOL ApplySchedule();
    int CurrentSchedule() const { return m_currentSchedule; }
    BOOL IsScheduleChanged() const;

    // The questions (ProgramQuestions.cpp); the poller's tables unless set.
    void SetQuestionSources(const QuestionSources &sources) { m_questions = sources; }
    BOOL FindPendingQueueKey(DWORD key) const;
    void RemovePendingQueueKey(DWORD key);

protected:
    void DoDataExchange(CDataExchange *pDX) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnViewGeneral();
    afx_msg void OnViewTime();
    afx_msg void OnViewProgram();
    afx_msg void OnLevelReleased(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnUnusedCommand();
    afx_msg void OnScheduleClicked(UINT id);
    afx_msg void OnApplyClicked();
    afx_msg void OnWeekDayClicked(UINT id);
    afx_msg void OnScheduleTimeChanged(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnGridClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnGridRightClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg LRESULT OnActionCellChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgramActive(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgramListChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnLockDeny();
    afx_msg void OnLockPass();
    afx_msg void OnProgramOption();
    afx_msg void OnDeleteProgram();
    afx_msg void OnFileProperties();
    // wParam 0: a record of the connection table asks (lParam its index);
    // 3: a question of the driver's ring (lParam its index).
    afx_msg LRESULT OnSessionQuery(WPARAM wParam, LPARAM lParam);

private:
    void LoadSkin();
    void SetUpGrid();
    void AddRuleRow(const RuleRecord &rule);
    // The row's program name and icon, from its program's file.
    void FillProgramCell(int row);
    // The selected row's rule ID; 0 when no row of the grid is selected.
    DWORD SelectedRuleId() const;
    void SetLockKey(int key);
    // The advanced rule dialog, modal, for the rule of a row of the grid.
    void EditAdvancedSettings(int row);
    void DeleteRule(DWORD id);
    // Sub-menu `position` of the context menus, relabelled, at the cursor.
    void ShowContextMenu(int position);
    void LoadTexts();
    void SetLevelText(int position);
    void ShowViewControls(int view);
    // The Time view's question before its schedule is left; FALSE when the
    // user's Yes could not be saved, and the schedule stays on screen.
    BOOL CheckLeavingSchedule();
    void MarkView(int view);
    // The schedule's button pressed, and its days and times editable
    // unless it is schedule 1.
    void MarkSchedule(int schedule);
    void EnableApplyIfChanged();
    // The cell of week day k (0 Sunday to 6 Saturday).
    CSkinCheckBox &WeekDayCell(int day);
    CSkinButton &ScheduleButton(int schedule);
    int AskBox(const CString &text, UINT type);
    void AskAboutRecord(LPARAM index);
    void AskAboutDriverQuestion(LPARAM index);

    CAclPublisher *m_publisher = nullptr;
    CString m_languagePath;
    CString m_skinFolder;

    CLanguageText m_texts;
    int m_currentView = VIEW_PROGRAM;
    CImageList m_programIcons;
    CProgramLooks m_programLooks{m_programIcons, IDI_PROGRAM_NO_ICON, IDI_PROGRAM_LOST};
    // The page was made hidden and has not filled its rule grid yet.
    BOOL m_firstFillDue = FALSE;
    // What the last activity notice said of each rule's program, so that
    // rows made later show it too.
    std::map<DWORD, int> m_activity;
    // The program path of each rule in the grid, for the rows filled later.
    std::map<DWORD, CString> m_rulePaths;
    int m_selectedRow = -1;
    int m_currentSchedule = 0;
    // Keys of the driver's questions being answered.
    CDWordArray m_pendingQueueKeys;
    QuestionSources m_questions = {};
    BYTE m_baselineWeekDays = 0;
    BYTE m_currentWeekDays = 0;
    CTime m_baselineStart;
    CTime m_baselineEnd;

    CSkinLabel m_groupCaption;
    CSkinLabel m_highMark;
    CSkinLabel m_middleMark;
    CSkinLabel m_lowMark;
    CSkinLabel m_levelText;
    CSkinLabel m_weekCaption;
    CSkinLabel m_startCaption;
    CSkinLabel m_timeCaption;
    CSkinLabel m_endCaption;
    CSkinButton m_schedule3;
    CSkinButton m_schedule2;
    CSkinButton m_schedule4;
    CSkinButton m_schedule6;
    CSkinButton m_schedule5;
    CSkinButton m_schedule7;
    CSkinButton m_schedule1;
    CSkinButton m_applyButton;
    CSkinSlider m_levelSlider;
    CSkinButton m_generalButton;
    CSkinButton m_timeButton;
    CSkinButton m_programButton;
    CGridList m_ruleGrid;
    CSkinCheckBox m_sunday;
    CSkinCheckBox m_monday;
    CSkinCheckBox m_tuesday;
    CSkinCheckBox m_wednesday;
    CSkinCheckBox m_thursday;
    CSkinCheckBox m_friday;
    CSkinCheckBox m_saturday;
    CTime m_startTime;
    CTime m_endTime;

    ShellExecuteProc m_shellExecute = ::ShellExecuteExA;

    // The client rectangle of the last layout: an equal one moves nothing.
    CRect m_lastLayout;

    DECLARE_MESSAGE_MAP()
};
