// The traffic graph with its real refresh thread in a shown dialog: the
// samples it posts, the curve and grid it shows, the scale menu chosen by
// real keys, hiding, resizing and stopping.
#include <FluxCurve.h>
#include <FluxGraph.h>

#include "ConsoleMessages.h"

#include <FoundationUi.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

const int WIDTH = 300;
const int HEIGHT = 120;
const RECT FIRST_RECT = {10, 10, 10 + WIDTH, 10 + HEIGHT};
const RECT SECOND_RECT = {10, 140, 10 + WIDTH, 140 + HEIGHT};
const COLORREF CURVE = RGB(0x74, 0xF5, 0x74);   // the monitor's incoming colour
const COLORREF BACKGROUND = RGB(123, 136, 170);
const COLORREF GRID = RGB(194, 218, 239);
const COLORREF FRAME = RGB(71, 78, 98);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF RED = RGB(255, 0, 0);
const UINT MENU_CONTEXT = 139;
const int MENU_FLUX = 5;
const DWORD SAMPLE_WAIT_MS = 5000;

// --- geometry ----------------------------------------------------------------

TEST(FluxCurve, RowsOfASecondsBytes)
{
    struct Case {
        DWORD bytes;
        int scale;
        int height;
        int y;
    } cases[] = {
        {0, 327680, 120, 117},               // nothing: 3 above the bottom
        {1, 5120, 120, 116},                 // any byte: one pixel higher
        {1, 327680, 120, 116},
        {1, 1310720, 120, 116},
        {327680, 327680, 120, 0},            // the full scale
        {400000, 327680, 120, 0},            // above the scale
        {0xFFFFFFFF, 5120, 120, 0},          // no wrap, however large
        {0xFFFFFFFF, 0, 120, 0},             // no scale: one byte a pixel
        {50, 100, 200, 147},                 // taller than the scale
        {2560, 5120, 120, 57},
    };
    for (const Case &c : cases) {
        const int perPixel = FluxBytesPerPixel(c.scale, c.height);
        EXPECT_GE(perPixel, 1);
        EXPECT_EQ(c.y, FluxCurveY(c.bytes, c.height, perPixel))
            << c.bytes << " bytes at scale " << c.scale << ", height " << c.height;
    }
    EXPECT_EQ(2730, FluxBytesPerPixel(327680, 120));
    EXPECT_EQ(1, FluxBytesPerPixel(0, 120));
    EXPECT_EQ(1, FluxBytesPerPixel(5120, 0));
}

TEST(FluxCurve, TheNewestSamplesFillTheWidth)
{
    DWORD samples[FLUX_SAMPLE_COUNT] = {};
    samples[FLUX_SAMPLE_COUNT - 1] = 1000000;
    POINT points[FLUX_SAMPLE_COUNT];
    const int count = FluxCurvePoints(samples, 300, 120, 2730, points);
    ASSERT_EQ(61, count);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(298 - 5 * i, points[i].x);
    EXPECT_EQ(-2, points[60].x);
    EXPECT_EQ(0, points[0].y) << "the newest first";
    EXPECT_EQ(117, points[1].y);

    EXPECT_EQ(FLUX_SAMPLE_COUNT, FluxCurvePoints(samples, 4000, 120, 2730, points)) << "all history";
    EXPECT_EQ(1, FluxCurvePoints(samples, 2, 120, 2730, points));
}

TEST(FluxCurve, GridLabelsInWholeKilobytes)
{
    const char *defaults[] = {"0 K", "80 K", "160 K", "240 K", "320 K"};
    const char *smallest[] = {"0 K", "1 K", "2 K", "3 K", "5 K"};
    const char *largest[] = {"0 K", "320 K", "640 K", "960 K", "1280 K"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(defaults[i], FluxGridLabel(327680, 2 * i));
        EXPECT_STREQ(smallest[i], FluxGridLabel(5120, 2 * i));
        EXPECT_STREQ(largest[i], FluxGridLabel(1310720, 2 * i));
    }
}

// --- the graph on the screen -----------------------------------------------------

int ThreadsOfThisProcess()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    ::CloseHandle(snapshot);
    return count;
}

// The menu keys, sent from inside the menu's own loop: pumping there would
// take them away from the menu.
int menuDowns = 0;
void CALLBACK ChooseMenuItem(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(NULL, nIDEvent);
    std::vector<WORD> keys(menuDowns, VK_DOWN);
    keys.push_back(VK_RETURN);
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class FluxGraphTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        m_baseThreads = ThreadsOfThisProcess();
        m_host.reset(new CHostDialog);
    }
    void TearDown() override
    {
        m_host.reset();
        SetPumpFilter(NULL);
        AfxDeleteTempObjects();
        // The system may still be winding down a thread of its own.
        EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() == m_baseThreads; }, 2000))
            << "a refresh thread outlived its graph";
    }

    void Create(CFluxGraph &graph, const RECT &rect, WPARAM value)
    {
        ASSERT_TRUE(graph.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, m_host->Handle(),
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1126 + value))));
        graph.m_crCurve = CURVE;
        graph.m_nNotifyMessage = WM_FLUX_SAMPLE;
        graph.m_nNotifyValue = value;
    }

    void ShowAndStart(CFluxGraph &graph)
    {
        m_host->Show();
        graph.Start();
    }

    std::vector<DWORD> Samples(WPARAM value) const
    {
        std::vector<DWORD> samples;
        for (const RecordedMessage &m : m_host->Log().Messages())
            if (m.message == WM_FLUX_SAMPLE && m.wParam == value)
                samples.push_back(static_cast<DWORD>(m.lParam));
        return samples;
    }

    // Waits until `count` samples of the graph have come.
    void WaitForSamples(WPARAM value, size_t count)
    {
        ASSERT_TRUE(PumpUntil([&] { return Samples(value).size() >= count; }, SAMPLE_WAIT_MS + 1000 * count))
            << "only " << Samples(value).size() << " of " << count << " samples";
    }

    // Waits for a sample of exactly these bytes (the graph may have closed
    // more seconds since), then for its drawing.
    void WaitForSample(WPARAM value, DWORD bytes)
    {
        ASSERT_TRUE(PumpUntil([&] {
            const std::vector<DWORD> samples = Samples(value);
            return std::find(samples.begin(), samples.end(), bytes) != samples.end();
        }, SAMPLE_WAIT_MS)) << "no sample of " << bytes << " bytes";
        PumpFor(300);
    }

    // Tracks the scale menu with the graph as owner and picks an item by keys.
    void ChooseScale(CFluxGraph &graph, int item)
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(MENU_CONTEXT));
        CMenu *pFlux = menu.GetSubMenu(MENU_FLUX);
        ASSERT_NE(nullptr, pFlux);
        menuDowns = item + 1;
        BringToFront(m_host->Handle());
        const POINT at = CentreOf(graph);
        ::SetTimer(NULL, 0, 300, ChooseMenuItem);
        ASSERT_TRUE(pFlux->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, &graph));
        PumpFor(300);
    }

    std::unique_ptr<CHostDialog> m_host;
    int m_baseThreads = 0;
};

TEST_F(FluxGraphTest, SamplesAddUpToEveryByteAddedWhileTheyRun)
{
    CFluxGraph graph;
    Create(graph, FIRST_RECT, 1);
    ShowAndStart(graph);
    WaitForSamples(1, 1);

    std::atomic<bool> adding(true);
    unsigned long long added = 0;
    std::thread adder([&] {
        for (DWORD n = 0; adding; ++n) {
            const DWORD bytes = n % 7 + 1;
            graph.AddBytes(bytes);
            added += bytes;
            if (n % 64 == 0)
                ::Sleep(1);
        }
    });
    const size_t before = Samples(1).size();
    WaitForSamples(1, before + 3);
    adding = false;
    adder.join();
    const size_t afterAdding = Samples(1).size();
    WaitForSamples(1, afterAdding + 1);

    unsigned long long sampled = 0;
    for (DWORD bytes : Samples(1))
        sampled += bytes;
    EXPECT_EQ(added, sampled);
    EXPECT_EQ(0, m_host->Log().Count(WM_FLUX_SAMPLE) - static_cast<int>(Samples(1).size()))
        << "every sample carries the notify value";
}

TEST_F(FluxGraphTest, GridCurveAndLabelsAtTheDefaultScale)
{
    CFluxGraph graph;
    Create(graph, FIRST_RECT, 0);
    ShowAndStart(graph);
    WaitForSamples(0, 2);
    PumpFor(300);
    const int w = WIDTH, h = HEIGHT, spacing = (h - 4) / 8;

    CDib shot = CaptureWindow(graph);
    ASSERT_EQ(w, shot.Width());
    EXPECT_EQ(BACKGROUND, shot.Pixel(150, h - 2 - spacing / 2));
    EXPECT_EQ(GRID, shot.Pixel(150, h - 2 - spacing));
    EXPECT_EQ(GRID, shot.Pixel(59, h / 2)) << "the labels' edge";
    EXPECT_EQ(FRAME, shot.Pixel(0, 0));
    EXPECT_EQ(FRAME, shot.Pixel(w - 1, h - 1));
    EXPECT_EQ(FRAME, shot.Pixel(w / 2, h - 1));
    // Seconds of nothing lie on one row, across the whole width right of
    // the labels and nowhere left of them.
    EXPECT_EQ(CURVE, shot.Pixel(w - 2, h - 3));
    EXPECT_EQ(w - 2 - 60 + 1, shot.CountColour(CURVE, RECT{60, h - 3, w - 1, h - 2}));
    EXPECT_EQ(0, shot.CountColour(CURVE, RECT{0, 0, 60, h}));
    // Five labels, white, left of the grid.
    for (int label = 0; label < 5; ++label) {
        const int line = h - 2 - 2 * label * spacing;
        const int top = std::max(1, label == 0 ? line - 11 : line - 7);
        EXPECT_GT(shot.CountColour(WHITE, RECT{1, top, 56, top + 11}), 5) << "label " << label;
    }

    graph.AddBytes(1);
    WaitForSample(0, 1);
    shot = CaptureWindow(graph);
    EXPECT_EQ(CURVE, shot.Pixel(w - 2, h - 4)) << "one byte, one pixel up";
    EXPECT_NE(CURVE, shot.Pixel(w - 2, h - 3));

    graph.AddBytes(10 * 1024 * 1024);
    WaitForSample(0, 10 * 1024 * 1024);
    shot = SaveTestScreen(graph, "default-scale-curve");
    EXPECT_EQ(CURVE, shot.Pixel(w - 2, 0)) << "above the scale: the top";
    EXPECT_EQ(0, shot.CountColour(CURVE, RECT{0, 0, 60, h}));

    // A wider graph keeps its history: the top second moves one step left.
    graph.MoveWindow(FIRST_RECT.left, FIRST_RECT.top, w + 100, h);
    WaitForSamples(0, Samples(0).size() + 1);
    PumpFor(300);
    shot = SaveTestScreen(graph, "resized");
    ASSERT_EQ(w + 100, shot.Width());
    EXPECT_EQ(CURVE, shot.Pixel(w + 100 - 2 - 5, 0));
    EXPECT_EQ(FRAME, shot.Pixel(w + 100 - 1, h - 1));
}

TEST_F(FluxGraphTest, TheScaleMenuRelabelsAtOnceAndDrawsTheNextSecondAtTheNewScale)
{
    CFluxGraph graph;
    Create(graph, FIRST_RECT, 0);
    ShowAndStart(graph);
    WaitForSamples(0, 1);
    PumpFor(300);
    const int h = HEIGHT;
    const RECT labels = {1, 1, 57, h - 1};
    const CDib before = CaptureWindow(graph);

    ChooseScale(graph, 0);   // "   5 K"
    ASSERT_TRUE(PumpUntil([&] { return graph.m_nScale == 5120; }, 3000)) << graph.m_nScale;
    CDib shot = CaptureWindow(graph);
    int changed = 0;
    for (int y = labels.top; y < labels.bottom; ++y)
        for (int x = labels.left; x < labels.right; ++x)
            changed += shot.Pixel(x, y) != before.Pixel(x, y);
    EXPECT_GT(changed, 10) << "the labels read anew";

    graph.AddBytes(2560);
    WaitForSample(0, 2560);
    shot = SaveTestScreen(graph, "after-scale-change");
    EXPECT_EQ(CURVE, shot.Pixel(WIDTH - 2, FluxCurveY(2560, h, FluxBytesPerPixel(5120, h))));
    EXPECT_EQ(57, FluxCurveY(2560, h, FluxBytesPerPixel(5120, h))) << "half way up";

    // With the refresh stopped nothing repaints on its own: a mark on the
    // labels shows whether a choice redrew them.
    graph.Stop();
    auto markLabels = [&] {
        HDC dc = ::GetDC(graph);
        HBRUSH red = ::CreateSolidBrush(RED);
        ::FillRect(dc, &labels, red);
        ::DeleteObject(red);
        ::ReleaseDC(graph, dc);
    };
    markLabels();
    ChooseScale(graph, 0);
    shot = CaptureWindow(graph);
    EXPECT_EQ(5120, graph.m_nScale);
    EXPECT_GT(shot.CountColour(RED, labels), 100) << "the scale already set changes nothing";

    ChooseScale(graph, 6);   // " 320 K"
    ASSERT_TRUE(PumpUntil([&] { return graph.m_nScale == 327680; }, 3000)) << graph.m_nScale;
    shot = CaptureWindow(graph);
    EXPECT_EQ(0, shot.CountColour(RED, labels)) << "another scale relabels at once";
}

TEST_F(FluxGraphTest, AHiddenGraphPostsNothingAndTheFirstSampleAfterCarriesAll)
{
    CFluxGraph graph;
    Create(graph, FIRST_RECT, 0);
    ShowAndStart(graph);
    WaitForSamples(0, 1);
    graph.ShowWindow(SW_HIDE);
    PumpFor(100);
    m_host->Log().Clear();

    DWORD added = 0;
    for (DWORD bytes : {100000u, 50000u, 25000u}) {
        graph.AddBytes(bytes);
        added += bytes;
        PumpFor(1000);
    }
    EXPECT_EQ(0u, Samples(0).size()) << "no sample while hidden";

    graph.ShowWindow(SW_SHOW);
    WaitForSamples(0, 1);
    EXPECT_EQ(added, Samples(0).front());
    PumpFor(300);
    const CDib shot = SaveTestScreen(graph, "after-hidden");
    EXPECT_EQ(CURVE, shot.Pixel(WIDTH - 2, FluxCurveY(added, HEIGHT, FluxBytesPerPixel(327680, HEIGHT))));
}

TEST_F(FluxGraphTest, StoppingOneGraphEndsTheRefreshOfBoth)
{
    CFluxGraph incoming, outgoing;
    Create(incoming, FIRST_RECT, 0);
    Create(outgoing, SECOND_RECT, 1);
    outgoing.m_crCurve = RGB(0xFF, 0xBC, 0xBC);
    m_host->Show();
    incoming.Start();
    outgoing.Start();
    WaitForSamples(0, 1);
    WaitForSamples(1, 1);
    EXPECT_EQ(m_baseThreads + 2, ThreadsOfThisProcess());
    SaveTestScreen(m_host->Handle(), "both-running");

    incoming.Stop();
    EXPECT_EQ(m_baseThreads, ThreadsOfThisProcess()) << "both refresh threads have ended";
    PumpFor(100);
    m_host->Log().Clear();
    PumpFor(1500);
    EXPECT_EQ(0, m_host->Log().Count(WM_FLUX_SAMPLE));
}

TEST_F(FluxGraphTest, OpenStartCloseCyclesWhileStepsRun)
{
    m_host.reset();
    for (int cycle = 0; cycle < 20; ++cycle) {
        m_host.reset(new CHostDialog);
        std::unique_ptr<CFluxGraph> incoming(new CFluxGraph), outgoing(new CFluxGraph);
        Create(*incoming, FIRST_RECT, 0);
        Create(*outgoing, SECOND_RECT, 1);
        m_host->Show();
        incoming->Start();
        outgoing->Start();
        incoming->AddBytes(1000 * cycle);
        PumpFor(40 * (cycle % 8));
        // Half the cycles close the dialog first, half drop the graphs first.
        if (cycle % 2)
            m_host.reset();
        incoming.reset();
        outgoing.reset();
        m_host.reset();
        EXPECT_EQ(m_baseThreads, ThreadsOfThisProcess()) << "cycle " << cycle;
    }
    m_host.reset(new CHostDialog);
}

TEST_F(FluxGraphTest, NoScaleATallGraphAndALateSizeAllDraw)
{
    CFluxGraph none, tall, late;
    Create(none, FIRST_RECT, 0);
    none.m_nScale = 0;
    Create(tall, RECT{320, 10, 420, 210}, 1);
    tall.m_nScale = 100;
    Create(late, RECT{10, 140, 10, 140}, 2);
    m_host->Show();
    none.Start();
    tall.Start();
    late.Start();
    none.AddBytes(50);
    tall.AddBytes(50);
    late.AddBytes(50);
    WaitForSample(0, 50);
    WaitForSample(1, 50);
    EXPECT_EQ(0u, Samples(2).size()) << "no steps without a size";

    late.MoveWindow(SECOND_RECT.left, SECOND_RECT.top, WIDTH, HEIGHT);
    WaitForSample(2, 50);
    const CDib shot = SaveTestScreen(m_host->Handle(), "edge-scales");

    struct Case {
        CFluxGraph &graph;
        int scale, width, height;
    } cases[] = {{none, 0, WIDTH, HEIGHT}, {tall, 100, 100, 200}, {late, 327680, WIDTH, HEIGHT}};
    for (const Case &c : cases) {
        const CDib graphShot = CaptureWindow(c.graph);
        ASSERT_EQ(c.width, graphShot.Width());
        // The second of 50 bytes has moved left by the steps since.
        const int sampleY = FluxCurveY(50, c.height, FluxBytesPerPixel(c.scale, c.height));
        EXPECT_LT(sampleY, c.height - 3) << "scale " << c.scale;
        EXPECT_GT(graphShot.CountColour(CURVE, RECT{60, sampleY, c.width - 1, sampleY + 1}), 0)
            << "scale " << c.scale;
    }
    none.Stop();
    EXPECT_EQ(m_baseThreads, ThreadsOfThisProcess());
}

} // namespace
