// The rule image's layout, its bounded arrays and the rebasing of its
// addresses, over blocks laid out as the console lays them.
#include "AclImageBuilder.h"
#include <Address32.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

const AclCounts kEmpty = {0, 0, 0, 0};

// A zeroed block for the counts, written as the console's own view.
class ImageTest : public testing::Test {
protected:
    void Build(const AclCounts &counts)
    {
        ASSERT_TRUE(ComputeAclLayout(counts, &m_layout));
        m_block.assign(m_layout.Size + 64, 0);
        m_builder.reset(new CAclImageBuilder(&m_block[0], m_layout.Size, Base()));
        ASSERT_TRUE(m_builder->Lay(counts));
    }
    DWORD Base() const { return AddressToDword(&m_block[0]); }
    AclHeader *Header() const { return m_builder->Header(); }
    const CAclImageView &Image() const { return m_builder->Image(); }

    AclLayout m_layout;
    std::vector<char> m_block;
    std::unique_ptr<CAclImageBuilder> m_builder;
};

TEST_F(ImageTest, EmptyImageIsTheMinimalBlockWithFourTerminators)
{
    Build(kEmpty);
    EXPECT_EQ(91660u, m_layout.Size);
    EXPECT_EQ(Base() + 44, Header()->TimeRules);
    EXPECT_EQ(Base() + 44 + 16, Header()->TnetZones);
    EXPECT_EQ(Base() + 44 + 16 + 27600, Header()->BnetZones);
    EXPECT_EQ(Base() + 44 + 16 + 2 * 27600, Header()->ProgramRules);
    EXPECT_EQ(m_layout.Size, Header()->ProgramRules - Base() + 364 * 100);

    EXPECT_EQ(1u, Image().TimeRules().Capacity);
    EXPECT_EQ(100u, Image().TnetZones().Capacity);
    EXPECT_EQ(100u, Image().BnetZones().Capacity);
    EXPECT_EQ(100u, Image().ProgramRules().Capacity);
    EXPECT_EQ(0u, Image().TimeRules().First->ID);
    EXPECT_EQ(0u, Image().TnetZones().First->ID);
    EXPECT_EQ(0u, Image().BnetZones().First->ID);
    EXPECT_EQ(0u, Image().ProgramRules().First->ID);
    EXPECT_EQ(0, Header()->WriterFlag);
    EXPECT_EQ(0, Header()->ReaderCount);
}

TEST_F(ImageTest, EachArrayGetsItsCountPlusItsSpareSlots)
{
    const AclCounts counts = {3, 7, 2, 5};
    Build(counts);
    EXPECT_EQ(44u + 16 * 4 + 276 * 107 + 276 * 102 + 364 * 105, m_layout.Size);
    EXPECT_EQ(276u * 107, Header()->BnetZones - Header()->TnetZones);
    EXPECT_EQ(4u, Image().TimeRules().Capacity);
    EXPECT_EQ(107u, Image().TnetZones().Capacity);
    EXPECT_EQ(102u, Image().BnetZones().Capacity);
    EXPECT_EQ(105u, Image().ProgramRules().Capacity);
    // No array reaches into the next one.
    EXPECT_EQ(static_cast<void *>(Image().TimeRules().end()), Image().TnetZones().First);
    EXPECT_EQ(static_cast<void *>(Image().TnetZones().end()), Image().BnetZones().First);
    EXPECT_EQ(static_cast<void *>(Image().BnetZones().end()), Image().ProgramRules().First);
    EXPECT_EQ(static_cast<void *>(Image().ProgramRules().end()), &m_block[m_layout.Size]);
}

TEST_F(ImageTest, ReaderMappedElsewhereRebasesEveryAddress)
{
    Build(kEmpty);
    m_builder->AddZone(FALSE, 9, ZONE_ENTRY_ADDRESS, 0xC0A80001, 0);
    // The console's view lies 0x10000 below this one.
    CAclImageView reader;
    DWORD consoleView = Base() - 0x10000;
    ASSERT_TRUE(reader.Attach(&m_block[0], m_layout.Size, consoleView));
    Header()->TnetZones = consoleView + m_layout.TnetZones;
    Header()->ProgramRules = consoleView + m_layout.ProgramRules;
    Header()->TimeRules = consoleView + m_layout.TimeRules;
    Header()->BnetZones = consoleView + m_layout.BnetZones;

    ASSERT_EQ(Header()->TnetZones + 0x10000, AddressToDword(reader.TnetZones().First));
    EXPECT_EQ(9u, reader.TnetZones().First->ID);
    EXPECT_EQ(0xC0A80001u, reader.TnetZones().First->IP1);
    EXPECT_EQ(100u, reader.ProgramRules().Capacity);
    EXPECT_EQ(nullptr, reader.Rebase(0));
}

TEST_F(ImageTest, AdditionsKeepATerminatorInsideTheirList)
{
    Build(kEmpty);
    m_builder->AddZone(TRUE, 500, ZONE_ENTRY_ADDRESS, 0x01020304, 0);
    for (DWORD id = 1; id <= 99; ++id)
        ASSERT_NE(nullptr, m_builder->AddZone(FALSE, id, ZONE_ENTRY_ADDRESS, id, 0)) << id;
    EXPECT_EQ(99u, Header()->TnetCount);

    AclSection<ZoneEntry> trusted = Image().TnetZones();
    EXPECT_EQ(99u, trusted.First[98].ID);
    EXPECT_EQ(0u, trusted.First[99].ID);
    EXPECT_EQ(500u, Image().BnetZones().First->ID);

    // The last slot stays the terminator: the hundredth addition is refused.
    EXPECT_EQ(nullptr, m_builder->AddZone(FALSE, 100, ZONE_ENTRY_ADDRESS, 100, 0));
    EXPECT_EQ(99u, Header()->TnetCount);
    EXPECT_EQ(0u, trusted.First[99].ID);
}

TEST_F(ImageTest, RemovalMovesTheLaterEntriesDown)
{
    Build(kEmpty);
    m_builder->AddZone(FALSE, 1, ZONE_ENTRY_ADDRESS, 0x0A000001, 0);
    m_builder->AddZone(FALSE, 2, ZONE_ENTRY_RANGE, 0x0A000002, 0x0A000009);
    m_builder->AddZone(FALSE, 3, ZONE_ENTRY_HOST, 0, 0, "example.org");

    ASSERT_TRUE(m_builder->RemoveZone(FALSE, 1));
    AclSection<ZoneEntry> trusted = Image().TnetZones();
    EXPECT_EQ(2u, trusted.First[0].ID);
    EXPECT_EQ(0x0A000009u, trusted.First[0].IP2);
    EXPECT_EQ(3u, trusted.First[1].ID);
    EXPECT_STREQ("example.org", trusted.First[1].Site);
    const ZoneEntry zero = {};
    EXPECT_EQ(0, memcmp(&zero, &trusted.First[2], sizeof zero));
    EXPECT_EQ(2u, Header()->TnetCount);

    EXPECT_FALSE(m_builder->RemoveZone(FALSE, 1));
    EXPECT_EQ(2u, trusted.First[0].ID);
}

TEST_F(ImageTest, RemovalFromAFullListZeroesItsLastSlot)
{
    const AclCounts counts = {0, 0, 0, 0};
    Build(counts);
    AclSection<ZoneEntry> trusted = Image().TnetZones();
    for (DWORD i = 0; i < trusted.Capacity; ++i)
        trusted.First[i].ID = i + 1; // a list without a terminator
    ASSERT_TRUE(RemoveAclEntry(trusted, trusted.Capacity));
    EXPECT_EQ(0u, trusted.First[trusted.Capacity - 1].ID);
    EXPECT_EQ(trusted.Capacity - 1, trusted.First[trusted.Capacity - 2].ID);
}

TEST_F(ImageTest, AWalkStopsAtTheEndOfItsOwnArray)
{
    Build(kEmpty);
    m_builder->AddZone(TRUE, 4242, ZONE_ENTRY_ADDRESS, 1, 0);
    AclSection<ZoneEntry> trusted = Image().TnetZones();
    for (DWORD i = 0; i < trusted.Capacity; ++i)
        trusted.First[i].ID = i + 1;
    EXPECT_EQ(nullptr, FindAclEntry(trusted, 4242));
    EXPECT_EQ(&trusted.First[99], FindAclEntry(trusted, 100));
    EXPECT_EQ(nullptr, FreeAclSlot(trusted));
}

// Header addresses that a sound console never writes give absent arrays.
TEST_F(ImageTest, AddressesOutsideTheBlockGiveNoArray)
{
    Build(kEmpty);
    struct Case {
        const char *what;
        DWORD address;
    } cases[] = {
        {"null", 0},
        {"below the block", Base() - 364},
        {"inside the header", Base() + 8},
        {"at the end of the block", Base() + m_layout.Size},
        {"past the end", Base() + m_layout.Size + 0x1000},
        {"not on a 32-bit boundary", Base() + m_layout.ProgramRules + 2},
        {"too close to the end for one entry", Base() + m_layout.Size - 100},
    };
    for (const Case &c : cases) {
        Header()->ProgramRules = c.address;
        AclSection<ProgramRule> programs = Image().ProgramRules();
        EXPECT_EQ(nullptr, programs.First) << c.what;
        EXPECT_EQ(0u, programs.Capacity) << c.what;
        EXPECT_EQ(nullptr, FindAclEntry(programs, 1)) << c.what;
    }
}

TEST_F(ImageTest, AnArrayPointedPastTheNextOneEndsAtTheBlock)
{
    Build(kEmpty);
    // The blocked list said to start where the programs do: it may then only
    // reach to the end of the block, never beyond.
    Header()->BnetZones = Header()->ProgramRules;
    AclSection<ZoneEntry> blocked = Image().BnetZones();
    EXPECT_EQ(364u * 100 / 276, blocked.Capacity);
    EXPECT_LE(reinterpret_cast<char *>(blocked.end()), &m_block[m_layout.Size]);
}

TEST(AclLayout, RefusesCountsBeyondAThirtyTwoBitBlock)
{
    AclLayout layout;
    const AclCounts huge = {0, 0, 0, 0x01000000};
    EXPECT_FALSE(ComputeAclLayout(huge, &layout));
}

TEST(AclImageView, RefusesABlockSmallerThanTheHeader)
{
    char block[43] = {};
    CAclImageView view;
    EXPECT_FALSE(view.Attach(block, sizeof block, AddressToDword(block)));
    EXPECT_FALSE(view.IsAttached());
}

} // namespace
