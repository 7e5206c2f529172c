#include "NetRuleSettings.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

NetRuleSettings Base(BYTE portType)
{
    NetRuleSettings settings;
    settings.ID = 3;
    settings.AdvAction = 2;
    settings.TcpAccess = 1;
    settings.UdpAccess = 1;
    settings.TcpServer = 0;
    settings.UdpServer = 1;
    settings.TimeID = 1;
    settings.PortType = portType;
    for (int i = 0; i < NET_RULE_PORT_COUNT; i++)
        settings.Ports[i] = static_cast<WORD>(100 + i);
    settings.Memo = "Memo";
    return settings;
}

struct EqualityCase
{
    const char *name;
    BYTE portType;
    std::function<void(NetRuleSettings &)> change;
    bool equal;
};

class NetRuleSettingsEqualityTest : public testing::TestWithParam<EqualityCase>
{
};

TEST_P(NetRuleSettingsEqualityTest, Compares)
{
    const EqualityCase &c = GetParam();
    const NetRuleSettings a = Base(c.portType);
    NetRuleSettings b = Base(c.portType);
    c.change(b);
    EXPECT_EQ(c.equal, a == b);
    EXPECT_EQ(!c.equal, a != b);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetRuleSettingsEqualityTest,
    testing::Values(
        EqualityCase{"same", PORT_RULE_LIST, [](NetRuleSettings &) {}, true},
        EqualityCase{"id", PORT_RULE_NONE, [](NetRuleSettings &s) { s.ID = 4; }, false},
        EqualityCase{"adv_action", PORT_RULE_NONE, [](NetRuleSettings &s) { s.AdvAction = 0; }, false},
        EqualityCase{"tcp_access", PORT_RULE_NONE, [](NetRuleSettings &s) { s.TcpAccess = 0; }, false},
        EqualityCase{"tcp_server", PORT_RULE_NONE, [](NetRuleSettings &s) { s.TcpServer = 1; }, false},
        EqualityCase{"udp_access", PORT_RULE_NONE, [](NetRuleSettings &s) { s.UdpAccess = 0; }, false},
        EqualityCase{"udp_server", PORT_RULE_NONE, [](NetRuleSettings &s) { s.UdpServer = 0; }, false},
        EqualityCase{"time_id", PORT_RULE_NONE, [](NetRuleSettings &s) { s.TimeID = 2; }, false},
        EqualityCase{"port_type", PORT_RULE_NONE, [](NetRuleSettings &s) { s.PortType = PORT_RULE_LIST; }, false},
        EqualityCase{"memo_case", PORT_RULE_NONE, [](NetRuleSettings &s) { s.Memo = "memo"; }, false},
        EqualityCase{"no_rule_ignores_ports", PORT_RULE_NONE, [](NetRuleSettings &s) { s.Ports[0] = 1; }, true},
        EqualityCase{"range_second_port", PORT_RULE_RANGE, [](NetRuleSettings &s) { s.Ports[1] = 1; }, false},
        EqualityCase{"range_ignores_third_port", PORT_RULE_RANGE, [](NetRuleSettings &s) { s.Ports[2] = 1; }, true},
        EqualityCase{"list_third_port", PORT_RULE_LIST, [](NetRuleSettings &s) { s.Ports[2] = 1; }, false},
        EqualityCase{"list_last_port", PORT_RULE_LIST, [](NetRuleSettings &s) { s.Ports[19] = 1; }, false}),
    [](const testing::TestParamInfo<EqualityCase> &info) { return std::string(info.param.name); });

} // namespace
