// The image announced to the real provider: a second process takes the
// announcement from the provider's shared data, maps the image as a provider
// instance does and reads the rules that the console wrote; also after edits,
// and after additions that outgrew a list's spare room.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "AclGate.h"
#include "Address32.h"
#include "AnnouncedImage.h"
#include "ProviderControlBlock.h"
#include "ProviderTestSupport.h"
#include "PublisherFixture.h"

namespace {

template <class T, class Describe>
void DescribeSection(std::ostringstream &out, const char *name, const AclSection<T> &section,
                     Describe describe)
{
    out << name << ":";
    for (const T *entry = section.begin(); entry != section.end() && entry->ID != 0; ++entry) {
        out << " [";
        describe(out, *entry);
        out << "]";
    }
    out << "\n";
}

void DescribeZone(std::ostringstream &out, const ZoneEntry &zone)
{
    out << zone.ID << " " << int(zone.Type) << " " << zone.IP1 << " " << zone.IP2 << " "
        << zone.Site;
}

// Every rule of the image as text, the same in every process that reads it.
std::string DescribeImage(const CAclImageView &image)
{
    std::ostringstream out;
    const AclHeader *header = image.Header();
    out << "counts " << header->TimeCount << " " << header->TnetCount << " "
        << header->BnetCount << " " << header->ProgramCount << "\n";
    DescribeSection(out, "times", image.TimeRules(), [](std::ostringstream &o, const TimeRule &t) {
        o << t.ID << " " << t.StartTime << " " << t.EndTime << " " << int(t.WeekDay);
    });
    DescribeSection(out, "trusted", image.TnetZones(), DescribeZone);
    DescribeSection(out, "blocked", image.BnetZones(), DescribeZone);
    DescribeSection(out, "programs", image.ProgramRules(),
                    [](std::ostringstream &o, const ProgramRule &r) {
                        o << r.ID << " " << r.Path << " " << int(r.InetAction) << int(r.TnetAction)
                          << int(r.EmailAction) << int(r.LockKey);
                        for (int zone = ACL_INET; zone <= ACL_TNET; ++zone) {
                            o << " " << int(r.AdvAction[zone]) << int(r.TcpAccess[zone])
                              << int(r.UdpAccess[zone]) << int(r.TcpServer[zone])
                              << int(r.UdpServer[zone]) << int(r.PortType[zone]) << "/"
                              << int(r.TimeID[zone]);
                            for (WORD port : r.PortList[zone])
                                o << "," << port;
                        }
                    });
    return out.str();
}

std::string DescribeConsoleImage(const CAclPublisher &publisher)
{
    CAclImageView view;
    view.Attach(publisher.GetHeader(), publisher.GetSize(), AddressToDword(publisher.GetHeader()));
    return DescribeImage(view);
}

// The provider's shared data as every process that loads it sees it.
ProviderControlBlock &ProviderControl(HMODULE provider)
{
    return *ModuleSection<ProviderControlBlock>(provider, PROVIDER_CONTROL_SECTION);
}

// The child: loads the provider, takes the image's announcement from its
// shared data, maps the block there as a provider instance does (the
// announced size, flag 0) and writes what it reads under the reader gate.
int DumpAnnouncedImage(const char *file)
{
    HMODULE provider = LoadLibraryA((TestFolder() + "QFW.DLL").c_str());
    if (!provider)
        return 2;
    CAnnouncedImage announced(ProviderControl(provider));
    if (announced.Status() != IMAGE_MAPPED)
        return announced.Status();
    const CAclImageView &image = announced.View();
    CAclGate gate(image.Header());
    if (!gate.TryEnterRead())
        return 6;
    std::string text = DescribeImage(image);
    gate.LeaveRead();
    std::ofstream out(file, std::ios::binary);
    out << text;
    return out ? 0 : 7;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

// The console's side with the real provider loaded by path, as the console
// loads it; its control entry is recorded on the way.
class CReaderTest : public CPublisherFixture {
protected:
    void SetUp() override
    {
        CPublisherFixture::SetUp();
        m_provider = LoadLibraryA((TestFolder() + "QFW.DLL").c_str());
        ASSERT_TRUE(m_provider);
        ForwardSpiCalls(reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_provider, SPI_IO_CONTROL_NAME))));
    }

    void TearDown() override
    {
        CPublisherFixture::TearDown();
        if (m_provider)
            FreeLibrary(m_provider);
    }

    // What a second process reads through the provider's announcement.
    std::string ReadInChild()
    {
        std::string file = m_folder.File("image.txt");
        DeleteFileA(file.c_str());
        EXPECT_EQ(0, WaitForExit(StartProgram(TestProgramPath(), "--dump-image \"" + file + "\"")));
        return ReadFile(file);
    }

    // The provider holds the last announcement, with no update under way.
    void ExpectAnnounced()
    {
        const ProviderControlBlock &control = ProviderControl(m_provider);
        SpiIoBlock announced = LastAnnouncement();
        EXPECT_EQ(0, control.AclUpdating);
        EXPECT_EQ(announced.Param1, control.AclHandle);
        EXPECT_EQ(AddressToDword(m_publisher->GetHeader()), control.AclConsoleView);
        EXPECT_EQ(m_publisher->GetSize(), control.AclSize);
    }

    size_t Announcements() const
    {
        size_t count = 0;
        for (const SpiCall &call : RecordedSpiCalls())
            count += call.Code == SPI_SET_ACL_INFO;
        return count;
    }

    HMODULE m_provider = nullptr;
};

TEST_F(CReaderTest, SecondProcessReadsTheAnnouncedRules)
{
    UseShippedDatabases();
    StoreZone(FALSE, "Office", ZONE_ENTRY_RANGE, 0xC0A80001, 0xC0A800FE, "");
    StoreZone(TRUE, "Bad host", ZONE_ENTRY_HOST, 0, 0, "bad.example");
    StoreRule("C:\\Apps\\Browser.exe", ACTION_PASS, ACTION_QUERY, ACTION_DENY, 1);
    BuildPublisher();
    ExpectAnnounced();
    std::string console = DescribeConsoleImage(*m_publisher);
    EXPECT_NE(std::string::npos, console.find("bad.example"));
    EXPECT_EQ(console, ReadInChild());

    // Edits reach the readers in place, without a new announcement.
    ASSERT_NE(0u, m_publisher->AddProgram("C:\\Apps\\Mailer.exe", 2, 0, 0, 2));
    ZoneRecord zone;
    zone.Name = "Printer";
    zone.IP1 = 0xC0A80063;
    ASSERT_NE(0u, m_publisher->AddZoneEntry(FALSE, zone));
    ASSERT_TRUE(m_publisher->SetProgramActions(1, ACTION_DENY, ACTION_DENY, ACTION_DENY, 0));
    EXPECT_EQ(1u, Announcements());
    console = DescribeConsoleImage(*m_publisher);
    EXPECT_NE(std::string::npos, console.find("Mailer.exe"));
    EXPECT_EQ(console, ReadInChild());
}

// More additions to one list than its spare room holds: every one of them
// reaches the image, through a new image announced like the first.
struct Overflow {
    const char *name;
    DWORD (*add)(CAclPublisher &publisher, int index);
    DWORD AclHeader::*count;
};

class COverflowTest : public CReaderTest, public ::testing::WithParamInterface<Overflow> {
};

DWORD AddZone(CAclPublisher &publisher, int index, BOOL blocked)
{
    ZoneRecord zone;
    zone.Name.Format("Zone %d", index);
    zone.IP1 = 0x0A000000 + DWORD(index);
    return publisher.AddZoneEntry(blocked, zone);
}

TEST_P(COverflowTest, EveryAdditionReachesTheReaders)
{
    const int kAdditions = ACL_SPARE_ENTRIES + 1;
    UseEmptyDatabases();
    BuildPublisher();
    DWORD firstSize = m_publisher->GetSize();
    for (int index = 0; index < kAdditions; ++index)
        ASSERT_NE(0u, GetParam().add(*m_publisher, index)) << "addition " << index;

    EXPECT_EQ(DWORD(kAdditions), m_publisher->GetHeader()->*GetParam().count);
    EXPECT_EQ(2u, Announcements());
    EXPECT_GT(m_publisher->GetSize(), firstSize);
    ExpectAnnounced();
    std::string console = DescribeConsoleImage(*m_publisher);
    char last[32];
    snprintf(last, sizeof last, "%d", kAdditions - 1);
    EXPECT_NE(std::string::npos, console.find(std::string(GetParam().name) == "Programs"
                                                  ? std::string("Program") + last + ".exe"
                                                  : std::to_string(0x0A000000 + kAdditions - 1)));
    EXPECT_EQ(console, ReadInChild());

    // The new image has fresh room again.
    EXPECT_NE(0u, GetParam().add(*m_publisher, kAdditions));
    EXPECT_EQ(2u, Announcements());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, COverflowTest,
    ::testing::Values(
        Overflow{"Trusted", [](CAclPublisher &p, int i) { return AddZone(p, i, FALSE); },
                 &AclHeader::TnetCount},
        Overflow{"Blocked", [](CAclPublisher &p, int i) { return AddZone(p, i, TRUE); },
                 &AclHeader::BnetCount},
        Overflow{"Programs",
                 [](CAclPublisher &p, int i) {
                     CString path;
                     path.Format("C:\\Apps\\Program%d.exe", i);
                     return p.AddProgram(path, ACTION_PASS, ACTION_PASS, ACTION_DENY, 0);
                 },
                 &AclHeader::ProgramCount}),
    [](const ::testing::TestParamInfo<Overflow> &info) { return info.param.name; });

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--dump-image") == 0)
        return DumpAnnouncedImage(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
