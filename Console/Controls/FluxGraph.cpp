#include "FluxGraph.h"

#include "MemoryDC.h"

#include <CClientDC.h>
#include <CFont.h>
#include <CPaintDC.h>

#include <algorithm>
#include <cstring>

namespace {

const COLORREF BACKGROUND_COLOUR = RGB(123, 136, 170);
const COLORREF FRAME_COLOUR = RGB(71, 78, 98);
const COLORREF GRID_COLOUR = RGB(194, 218, 239);
const COLORREF LABEL_COLOUR = RGB(255, 255, 255);

// The labels' strip: the curve never shows left of it.
const int LABEL_STRIP = 60;
const int GRID_LEFT = LABEL_STRIP - 1;
const int LABEL_LEFT = 1;
const int LABEL_RIGHT = 56;
const int LABEL_HEIGHT = 11;

const int STEP_SLEEPS = 10;
const DWORD SLEEP_MS = 100;

// Made when the program starts, shared by every graph and both threads.
const HBRUSH backgroundBrush = ::CreateSolidBrush(BACKGROUND_COLOUR);

const int SCALES[ID_FLUX_SCALE_LAST - ID_FLUX_SCALE_FIRST + 1] = {
    5120, 10240, 20480, 40960, 81920, 163840, 327680, 655360, 1310720,
};

// The labels' font: the parent's, as 11-pixel Arial.
BOOL CreateLabelFont(CFont &font, CWnd *pParent)
{
    LOGFONTA logFont = {};
    CFont *pParentFont = pParent ? pParent->GetFont() : NULL;
    if (pParentFont == NULL || pParentFont->GetLogFont(&logFont) == 0)
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfHeight = -11;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfUnderline = FALSE;
    ::lstrcpynA(logFont.lfFaceName, "Arial", LF_FACESIZE);
    return font.CreateFontIndirect(&logFont);
}

} // namespace

volatile LONG CFluxGraph::s_running = FALSE;
std::set<CFluxGraph *> CFluxGraph::s_started;

BEGIN_MESSAGE_MAP(CFluxGraph, CStatic)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_SHOWWINDOW()
    ON_COMMAND_RANGE(ID_FLUX_SCALE_FIRST, ID_FLUX_SCALE_LAST, OnScaleCommand)
END_MESSAGE_MAP()

CFluxGraph::CFluxGraph()
{
    ::InitializeCriticalSection(&m_lock);
    m_framePen.CreatePen(PS_SOLID, 0, FRAME_COLOUR);
}

CFluxGraph::~CFluxGraph()
{
    if (m_hThread)
        Stop();
    ::DeleteCriticalSection(&m_lock);
}

// --- the owner's operations ------------------------------------------------

void CFluxGraph::Start()
{
    m_gridPen.DeleteObject();
    m_curvePen.DeleteObject();
    m_gridPen.CreatePen(PS_SOLID, 0, GRID_COLOUR);
    m_curvePen.CreatePen(PS_SOLID, 0, m_crCurve);
    CRect client;
    GetClientRect(&client);
    if (client.Width() >= 1 && client.Height() >= 1)
        Layout(client.Width(), client.Height());

    ::InterlockedExchange(&s_running, TRUE);
    if (m_hThread || m_hWnd == NULL)
        return;
    // Alive before the thread exists, so that a Stop at once waits for it.
    ::InterlockedExchange(&m_alive, TRUE);
    m_hThread = ::CreateThread(NULL, 0, RefreshThread, this, 0, NULL);
    if (m_hThread)
        s_started.insert(this);
    else
        ::InterlockedExchange(&m_alive, FALSE);
}

void CFluxGraph::Stop()
{
    ::InterlockedExchange(&s_running, FALSE);
    for (CFluxGraph *pGraph : s_started) {
        while (pGraph->m_alive)
            ::Sleep(SLEEP_MS);
        ::WaitForSingleObject(pGraph->m_hThread, INFINITE);
        ::CloseHandle(pGraph->m_hThread);
        pGraph->m_hThread = NULL;
    }
    s_started.clear();
}

void CFluxGraph::AddBytes(DWORD count)
{
    ::InterlockedExchangeAdd(&m_counter, static_cast<LONG>(count));
}

// --- drawing into the layers -------------------------------------------------

void CFluxGraph::Layout(int width, int height)
{
    ::EnterCriticalSection(&m_lock);
    m_width = width;
    m_height = height;
    m_client.SetRect(0, 0, width, height);
    m_bytesPerPixel = FluxBytesPerPixel(m_nScale, height);
    CClientDC screen(this);
    m_laidOut = m_grid.Create(&screen, width, height) && m_curve.Create(&screen, width, height) &&
                m_mask.Create(&screen, width, height);
    if (m_laidOut) {
        DrawGrid();
        ClearCurve();
        m_curve.DC().SelectObject(&m_curvePen);
    }
    ::LeaveCriticalSection(&m_lock);
}

void CFluxGraph::DrawGrid()
{
    CDC &dc = m_grid.DC();
    ::FillRect(dc.GetSafeHdc(), &m_client, backgroundBrush);
    CPen *pOldPen = dc.SelectObject(&m_framePen);
    dc.MoveTo(0, 0);
    dc.LineTo(m_width - 1, 0);
    dc.LineTo(m_width - 1, m_height - 1);
    dc.LineTo(0, m_height - 1);
    dc.LineTo(0, 0);

    dc.SelectObject(&m_gridPen);
    const int spacing = (m_height - 4) / 8;
    int y = m_height - 2;
    for (int line = 0; line < FLUX_GRID_LINES; ++line, y -= spacing) {
        dc.MoveTo(GRID_LEFT, y);
        dc.LineTo(m_width - 1, y);
    }
    dc.MoveTo(GRID_LEFT, 1);
    dc.LineTo(GRID_LEFT, m_height - 2);
    DrawLabels(dc);
    dc.SelectObject(pOldPen);
}

// On every other line, right-aligned left of the grid; the bottom label
// sits above its line, the others across theirs.
void CFluxGraph::DrawLabels(CDC &dc)
{
    CFont font;
    CreateLabelFont(font, GetParent());
    CFont *pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(LABEL_COLOUR);
    const int spacing = (m_height - 4) / 8;
    int y = m_height - 2;
    for (int line = 0; line < FLUX_GRID_LINES; line += 2, y -= 2 * spacing) {
        const int top = std::max(1, line == 0 ? y - LABEL_HEIGHT : y - 7);
        CRect rect(LABEL_LEFT, top, LABEL_RIGHT, top + LABEL_HEIGHT);
        dc.DrawText(FluxGridLabel(m_nScale, line), &rect, DT_RIGHT | DT_SINGLELINE);
    }
    dc.SelectObject(pOldFont);
}

void CFluxGraph::ClearCurve()
{
    ::FillRect(m_curve.DC().GetSafeHdc(), &m_client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::FillRect(m_mask.DC().GetSafeHdc(), &m_client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

void CFluxGraph::ApplyScale()
{
    ::EnterCriticalSection(&m_lock);
    m_bytesPerPixel = FluxBytesPerPixel(m_nScale, m_height);
    if (m_laidOut)
        DrawGrid();
    ::LeaveCriticalSection(&m_lock);
    const CRect labels(0, 0, LABEL_STRIP, m_height);
    InvalidateRect(&labels, TRUE);
}

// --- the refresh thread ------------------------------------------------------

DWORD WINAPI CFluxGraph::RefreshThread(LPVOID pParam)
{
    CFluxGraph *pGraph = static_cast<CFluxGraph *>(pParam);
    if (pGraph == NULL)
        return 0;
    while (s_running) {
        pGraph->Step();
        ::InvalidateRect(pGraph->m_hWnd, NULL, FALSE);
        for (int i = 0; i < STEP_SLEEPS && s_running; ++i)
            ::Sleep(SLEEP_MS);
    }
    // Nothing of the graph is touched after this: it may go at once.
    ::InterlockedExchange(&pGraph->m_alive, FALSE);
    return 0;
}

// Raw handles only: no temporary wrappers on this thread.
void CFluxGraph::Step()
{
    ::EnterCriticalSection(&m_lock);
    // Hidden or without a size, the bytes wait in the counter.
    if (m_laidOut && m_visible) {
        ClearCurve();
        std::memmove(m_samples, m_samples + 1, sizeof(m_samples) - sizeof(m_samples[0]));
        const DWORD bytes = static_cast<DWORD>(::InterlockedExchange(&m_counter, 0));
        m_samples[FLUX_SAMPLE_COUNT - 1] = bytes;
        if (HWND hParent = ::GetParent(m_hWnd))
            ::PostMessageA(hParent, m_nNotifyMessage, m_nNotifyValue, static_cast<LPARAM>(bytes));

        POINT points[FLUX_SAMPLE_COUNT];
        const int count = FluxCurvePoints(m_samples, m_width, m_height, m_bytesPerPixel, points);
        for (HDC hDC : {m_curve.DC().GetSafeHdc(), m_mask.DC().GetSafeHdc()}) {
            ::MoveToEx(hDC, points[0].x, points[0].y, NULL);
            for (int i = 1; i < count; ++i)
                ::LineTo(hDC, points[i].x, points[i].y);
        }
    }
    ::LeaveCriticalSection(&m_lock);
}

// --- messages ----------------------------------------------------------------

void CFluxGraph::OnPaint()
{
    CPaintDC dc(this);
    // A step drawing now invalidates the graph when it is done.
    if (!::TryEnterCriticalSection(&m_lock))
        return;
    if (m_laidOut) {
        CMemoryDC memory(&dc, m_client);
        memory.BitBlt(0, 0, m_width, m_height, &m_grid.DC(), 0, 0, SRCCOPY);
        if (m_width > LABEL_STRIP) {
            const int curveWidth = m_width - LABEL_STRIP;
            memory.BitBlt(LABEL_STRIP, 0, curveWidth, m_height, &m_mask.DC(), LABEL_STRIP, 0, SRCAND);
            memory.BitBlt(LABEL_STRIP, 0, curveWidth, m_height, &m_curve.DC(), LABEL_STRIP, 0, SRCINVERT);
        }
    }
    ::LeaveCriticalSection(&m_lock);
}

void CFluxGraph::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    // Before Start there are no pens to draw with; Start lays out then.
    if (cx >= 1 && cy >= 1 && m_curvePen.GetSafeHandle()) {
        Layout(cx, cy);
        Invalidate(FALSE);
    }
}

void CFluxGraph::OnDestroy()
{
    Stop();
    CStatic::OnDestroy();
}

void CFluxGraph::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStatic::OnShowWindow(bShow, nStatus);
    ::InterlockedExchange(&m_visible, bShow ? TRUE : FALSE);
}

void CFluxGraph::OnScaleCommand(UINT nID)
{
    const int scale = SCALES[nID - ID_FLUX_SCALE_FIRST];
    if (scale == m_nScale)
        return;
    m_nScale = scale;
    ApplyScale();
}
