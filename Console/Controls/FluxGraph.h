// CFluxGraph: the scrolling traffic curve of the traffic monitor, one graph
// for incoming and one for outgoing bytes. The owner adds bytes as
// connections report them; once a second the graph's own refresh thread
// closes the second, shifts the history, posts the second's bytes to the
// parent and redraws the curve over a grid labelled in kilobytes. The scale
// comes from nine menu commands that reach the graph as the menu's owner.
//
// Threads: the refresh thread only draws into the graph's own memory
// contexts, posts and invalidates; it never sends to a window, so Stop may
// wait for it on the user-interface thread. Each graph's contexts are
// guarded by the graph's lock. The run switch is shared by every graph:
// stopping one stops the refresh of all.
#pragma once

#include "BitmapLayer.h"
#include "FluxCurve.h"

#include <CDC.h>
#include <CPen.h>
#include <CRect.h>
#include <CStatic.h>

#include <set>

// The scale commands of the graph's menu, 5 K to 1280 K.
enum {
    ID_FLUX_SCALE_FIRST = 32792,
    ID_FLUX_SCALE_LAST = 32800,
};

class CFluxGraph : public CStatic
{
public:
    enum { DEFAULT_SCALE = 327680 };

    CFluxGraph();
    // Stops the refresh when the window was never destroyed through its
    // messages.
    ~CFluxGraph() override;

    // Set by the owner before Start.
    int m_nScale = DEFAULT_SCALE;        // bytes per second at the full height
    COLORREF m_crCurve = RGB(0, 255, 0);
    UINT m_nNotifyMessage = 0;           // posted to the parent every second
    WPARAM m_nNotifyValue = 0;           // its wParam; the lParam is the bytes

    // Makes the pens and, once the control has a size, the contexts; starts
    // the refresh thread.
    void Start();
    // Stops the refresh of every graph and returns when all refresh threads
    // have ended. User-interface thread only.
    void Stop();
    // Any thread.
    void AddBytes(DWORD count);

protected:
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnScaleCommand(UINT nID);

private:
    // Remakes the contexts for the size and draws the grid; the samples stay.
    void Layout(int width, int height);
    void DrawGrid();
    void DrawLabels(CDC &dc);
    void ApplyScale();
    void ClearCurve();
    // Closes one second: on the refresh thread.
    void Step();
    static DWORD WINAPI RefreshThread(LPVOID pParam);

    DWORD m_samples[FLUX_SAMPLE_COUNT] = {};
    volatile LONG m_counter = 0;         // bytes since the last step
    volatile LONG m_visible = TRUE;      // follows WM_SHOWWINDOW
    volatile LONG m_alive = FALSE;       // while the refresh thread runs
    HANDLE m_hThread = NULL;

    CRITICAL_SECTION m_lock;             // over the layers and the sizes
    BOOL m_laidOut = FALSE;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 1;
    CRect m_client;
    // The pens outlive the layers they are selected into.
    CPen m_framePen;
    CPen m_gridPen;
    CPen m_curvePen;
    CBitmapLayer m_grid, m_curve, m_mask;

    static volatile LONG s_running;
    // Graphs whose refresh thread was started and not yet reaped.
    static std::set<CFluxGraph *> s_started;

    DECLARE_MESSAGE_MAP()
};
