// The program page over a fresh program folder: the shipped texts and
// pictures, empty rule databases with seven schedules, a publisher on the
// emulated driver, and the page hosted in the kit's dialog under Xvfb.
#pragma once

#include "PublisherFixture.h"

#include <LoggedOn.h>
#include <ProgramFrame.h>
#include <ProgramsRuleLib.h>
#include <SkinPalette.h>

#include <DialogDriver.h>
#include <GuiPump.h>
#include <HostDialog.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <functional>
#include <string>
#include <vector>

// The page's client size in the tests.
const SIZE PAGE_SIZE = {620, 330};

class ProgramPage : public CPublisherFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the publisher over the databases and shows the page, bound to
    // the folder's texts and skin unless others are given.
    void OpenPage(const char *languageFile = nullptr, const char *skinFolder = nullptr);
    void SizePage(SIZE size);

    // Rows of the rule store, written and read outside the page.
    void StoreConfig(const char *key, const char *value);
    std::string StoredConfig(const char *key);
    void StoreSchedule(DWORD id, BYTE weekDays, DWORD start, DWORD end, const char *memo = "");
    TimeRecord StoredSchedule(DWORD id);
    // Runs the edit while another connection holds ProgramsRule.dat
    // locked, so that the store refuses what the edit writes or reads.
    void WhileRulesLocked(const std::function<void()> &edit);
    // A box that refuses: the text of the key, the caption APP_NAME and the
    // exclamation sign.
    void ExpectRefusal(const BoxRecord &box, const char *section, const char *key) const;

    HWND Control(UINT id) const { return ::GetDlgItem(m_page->m_hWnd, id); }
    bool IsShown(UINT id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    bool IsEnabled(UINT id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    std::string Text(UINT id) const;
    // The control's rectangle in the page's client coordinates.
    RECT RectOf(UINT id) const;
    // The colour of a client point of a control in a screenshot of the page.
    COLORREF PixelIn(const CDib &shot, UINT id, POINT client) const;
    // One cell of a shipped picture strip of that many states.
    SIZE CellOf(const char *picture, int states = 4) const;
    std::string LanguageText(const char *section, const char *key) const;

    // The rule grid: its rows by rule ID (-1 for none), a cell's rectangle
    // in the grid and a click at a point of the cell.
    CGridList &Grid() const;
    int Rows() const { return Grid().GetItemCount(); }
    int RowOf(DWORD id) const;
    RECT CellRect(int row, int column) const;
    void ClickCell(int row, int column, POINT inCell, MouseButton button = MouseButton::Left);
    // The rule's entry in the image as the console sees it; null without one.
    const ProgramRule *ImageRule(DWORD id);

    void ShowGeneralView();
    int SliderPos() const;
    RECT ThumbRect() const;

    CDib Shot(const char *state) { return SaveTestScreen(m_page->m_hWnd, state); }

    CProgramFolderFixture m_assets;
    CHostDialog m_host;
    CDialogDriver m_boxes;
    CProgramFrame *m_page = nullptr;

private:
    std::vector<ProgramRule> m_imageRules;
    int m_savedLoggedOn = 1;
};
