// The question path end to end inside this test program: it is the console
// (real rule databases, the rule image, the poller, the program page), a
// client program connects on loopback through the catalog router and
// QFW.DLL, its question pops up at the screen's corner, and the test
// answers it with real clicks.
#include <winsock2.h>

#include "ClientRun.h"
#include "ProgramPageFixture.h"

#include <Address32.h>
#include <CatalogFixture.h>
#include <ProgramQueryDialog.h>
#include <ProviderTestSupport.h>
#include <SessionMonitor.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

BOOL CALLBACK CollectPopup(HWND window, LPARAM found)
{
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_QUERY_ALLOW) && GetDlgItem(window, IDC_QUERY_DENY))
        reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> Popups()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TextOf(HWND popup, UINT id)
{
    char text[300] = "";
    GetDlgItemTextA(popup, id, text, sizeof text);
    return text;
}

} // namespace

class QueryEndToEnd : public ProgramPage
{
protected:
    void SetUp() override
    {
        ProgramPage::SetUp();
        const std::string folder = TestFolder();
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(),
                                                           (folder + "TcpipBase.dll").c_str()));
        m_provider = LoadLibraryA((folder + "QFW.DLL").c_str());
        ASSERT_NE(nullptr, m_provider);
        m_spi = reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_provider, SPI_IO_CONTROL_NAME)));
        ForwardSpiCalls(m_spi);
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, sizeof self);
        Spi(SPI_SET_CONSOLE, 0, GetCurrentProcessId(), AddressToDword(self));
    }

    void TearDown() override
    {
        CSessionMonitor::Stop();
        m_listener.reset();
        for (HWND popup : Popups())
            DestroyWindow(popup);
        if (m_provider) {
            Spi(SPI_SET_WORK_MODE, WORK_MODE_OFF);
            Spi(SPI_SET_CONSOLE, 0, 0, 0);
        }
        ProgramPage::TearDown();
        ForwardSpiCalls(nullptr);
        if (m_provider)
            FreeLibrary(m_provider);
        CCatalogFixture::Clear();
    }

    void Spi(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0)
    {
        SpiIoBlock block = {value, param1, param2, 0};
        m_spi(code, &block);
    }

    void StartConsole()
    {
        OpenPage();
        ASSERT_NE(nullptr, m_publisher->GetHeader());
        Spi(SPI_SET_WORK_MODE, WORK_MODE_NORMAL);
        ASSERT_TRUE(CSessionMonitor::Start(m_spi, m_page->m_hWnd, NULL));
        m_listener.reset(new CListener);
    }

    static std::string ClientPath() { return TestFolder() + "wsclient.exe"; }
    std::string SendLine() const { return "send 127.0.0.1 " + std::to_string(m_listener->Port()) + " --line hello"; }

    // The pop-up of the running client, once it stands.
    HWND AwaitPopup(const CClientRun &run)
    {
        PumpUntil([&] { return !Popups().empty() || run.Ended(); }, 30000);
        return Popups().empty() ? NULL : Popups()[0];
    }

    void Answer(HWND popup, bool remember, BYTE verdict)
    {
        BringToFront(popup);
        if (remember)
            ClickControl(GetDlgItem(popup, IDC_QUERY_REMEMBER));
        PumpFor(50);
        ClickControl(GetDlgItem(popup, verdict == ACTION_PASS ? IDC_QUERY_ALLOW : IDC_QUERY_DENY));
        PumpUntil([popup] { return !IsWindow(popup); }, 3000);
    }

    RuleRecord StoredRule()
    {
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(RulesPath().c_str()));
        std::vector<RuleRecord> rules;
        store.LoadRules(rules);
        for (const RuleRecord &rule : rules)
            if (lstrcmpiA(rule.Path, ClientPath().c_str()) == 0)
                return rule;
        return RuleRecord();
    }

    // A second run of the client, which must not be asked about.
    void RunUnasked(int exitCode, const char *received)
    {
        CClientRun run(SendLine());
        bool asked = false;
        while (!run.Ended()) {
            asked = asked || !Popups().empty();
            PumpFor(50);
        }
        EXPECT_FALSE(asked);
        EXPECT_EQ(exitCode, run.Wait()) << run.Output();
        EXPECT_EQ(received, m_listener->Received());
    }

    HMODULE m_provider = nullptr;
    SpiIoControlProc m_spi = nullptr;
    std::unique_ptr<CListener> m_listener;
};

TEST_F(QueryEndToEnd, AllowRememberedLetsTheDataThroughAndBecomesAPassRule)
{
    StartConsole();
    CClientRun run(SendLine());
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    EXPECT_EQ(LanguageText("DLG_PROGRAM_QUERY", "LB_TITLE_NEW"), TextOf(popup, IDC_QUERY_TITLE));
    EXPECT_EQ("wsclient.exe", TextOf(popup, IDC_QUERY_FILE));
    EXPECT_EQ("127.0.0.1", TextOf(popup, IDC_QUERY_IP));
    EXPECT_EQ("TCP [" + std::to_string(m_listener->Port()) + "]", TextOf(popup, IDC_QUERY_PORT));
    PumpFor(2000); // the fade ends
    SaveTestScreen(NULL, "client-asks");
    EXPECT_FALSE(run.Ended()) << "the connect waits for the answer";

    Answer(popup, true, ACTION_PASS);
    EXPECT_EQ(0, run.Wait()) << run.Output();
    EXPECT_EQ("hello\r\n", m_listener->Received());
    const RuleRecord rule = StoredRule();
    ASSERT_NE(0u, rule.ID);
    EXPECT_EQ(ACTION_PASS, rule.InetAction);
    EXPECT_EQ(ACTION_PASS, rule.TnetAction);
    EXPECT_EQ(ACTION_DENY, rule.EmailAction);
    bool inImage = false;
    for (const ProgramRule &entry : ProgramRules(*m_publisher))
        if (entry.ID == rule.ID) {
            inImage = true;
            EXPECT_EQ(ACTION_PASS, entry.InetAction);
            EXPECT_EQ(2, entry.LockKey);
        }
    EXPECT_TRUE(inImage);
    RunUnasked(0, "hello\r\n");
}

TEST_F(QueryEndToEnd, DenyRememberedRefusesAndBecomesADenyRule)
{
    StartConsole();
    CClientRun run(SendLine());
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    Answer(popup, true, ACTION_DENY);
    EXPECT_EQ(1, run.Wait());
    EXPECT_NE(std::string::npos, run.Output().find("error 10061")) << run.Output();
    EXPECT_EQ("", m_listener->Received());
    const RuleRecord rule = StoredRule();
    EXPECT_EQ(ACTION_DENY, rule.InetAction);
    EXPECT_EQ(ACTION_PASS, rule.TnetAction);
    RunUnasked(1, "");
}

TEST_F(QueryEndToEnd, AnAnswerNotRememberedDecidesOnceAndTheNextRunAsksAgain)
{
    StartConsole();
    {
        CClientRun run(SendLine());
        HWND popup = AwaitPopup(run);
        ASSERT_NE(nullptr, popup) << run.Output();
        Answer(popup, false, ACTION_PASS);
        EXPECT_EQ(0, run.Wait()) << run.Output();
        EXPECT_EQ("hello\r\n", m_listener->Received());
    }
    const RuleRecord asks = StoredRule();
    EXPECT_EQ(ACTION_QUERY, asks.InetAction);
    EXPECT_EQ(ACTION_PASS, asks.TnetAction);

    CClientRun again(SendLine());
    HWND popup = AwaitPopup(again);
    ASSERT_NE(nullptr, popup) << again.Output();
    EXPECT_EQ(LanguageText("DLG_PROGRAM_QUERY", "LB_TITLE_REPEAT"), TextOf(popup, IDC_QUERY_TITLE));
    PumpFor(2000);
    SaveTestScreen(NULL, "client-asks-again");
    Answer(popup, false, ACTION_DENY);
    EXPECT_EQ(1, again.Wait());
    const RuleRecord after = StoredRule();
    EXPECT_EQ(asks.ID, after.ID);
    EXPECT_EQ(ACTION_QUERY, after.InetAction) << "an unticked answer changes no row";
    EXPECT_EQ(ACTION_PASS, after.TnetAction);
}
