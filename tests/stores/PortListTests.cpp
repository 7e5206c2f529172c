#include "PortList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ParseCase
{
    const char *name;
    BYTE portType;
    const char *text;
    std::vector<WORD> ports;   // the rest are 0
};

class PortListParseTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(PortListParseTest, Reads)
{
    const ParseCase &c = GetParam();
    WORD ports[NET_RULE_PORT_COUNT];
    for (WORD &port : ports)
        port = 7;   // whatever was there before goes
    ParsePortList(c.portType, c.text, ports);
    for (int i = 0; i < NET_RULE_PORT_COUNT; i++)
    {
        const WORD expected = i < static_cast<int>(c.ports.size()) ? c.ports[i] : 0;
        EXPECT_EQ(expected, ports[i]) << "port " << i;
    }
}

std::string TwentyOnePorts()
{
    std::string text;
    for (int port = 1; port <= 21; port++)
        text += std::to_string(port) + "\n";
    return text;
}

const std::string kTwentyOne = TwentyOnePorts();

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListParseTest,
    testing::Values(
        ParseCase{"list", PORT_RULE_LIST, "80\n8080\n", {80, 8080}},
        ParseCase{"range", PORT_RULE_RANGE, "1024\n65535\n", {1024, 65535}},
        ParseCase{"no_rule_reads_none", PORT_RULE_NONE, "80\n8080\n", {}},
        ParseCase{"blanks_around_a_piece", PORT_RULE_LIST, " 80 \n\t443\t\n", {80, 443}},
        ParseCase{"empty_pieces_skipped", PORT_RULE_LIST, "80\n\n  \n443\n", {80, 443}},
        ParseCase{"last_piece_without_line_feed", PORT_RULE_LIST, "80\n443", {80, 443}},
        ParseCase{"trailing_blanks_are_no_port", PORT_RULE_LIST, "80\n  ", {80}},
        ParseCase{"first_twenty_of_more", PORT_RULE_LIST, kTwentyOne.c_str(),
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        ParseCase{"outside_1_to_65535_dropped", PORT_RULE_LIST, "70000\n0\n-21\nabc\n25\n", {25}},
        ParseCase{"empty_text", PORT_RULE_LIST, "", {}}),
    [](const testing::TestParamInfo<ParseCase> &info) { return std::string(info.param.name); });

TEST(PortListFormat, EachPortUpToTheFirstZero)
{
    WORD ports[NET_RULE_PORT_COUNT] = {80, 443, 0, 25};
    EXPECT_STREQ("80\n443\n", FormatPortList(PORT_RULE_LIST, ports));
    EXPECT_STREQ("80\n443\n", FormatPortList(PORT_RULE_RANGE, ports));
    EXPECT_STREQ("", FormatPortList(PORT_RULE_NONE, ports));
}

TEST(PortListFormat, AllTwentyPortsAndTheLargest)
{
    WORD ports[NET_RULE_PORT_COUNT];
    std::string expected;
    for (int i = 0; i < NET_RULE_PORT_COUNT; i++)
    {
        ports[i] = static_cast<WORD>(65535 - i);
        expected += std::to_string(65535 - i) + "\n";
    }
    const CString text = FormatPortList(PORT_RULE_LIST, ports);
    EXPECT_EQ(expected, static_cast<LPCTSTR>(text));

    WORD read[NET_RULE_PORT_COUNT];
    ParsePortList(PORT_RULE_LIST, text, read);
    for (int i = 0; i < NET_RULE_PORT_COUNT; i++)
        EXPECT_EQ(ports[i], read[i]);
}

} // namespace
