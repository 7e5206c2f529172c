// A GoogleTest fixture for tests that talk to the emulated driver: the
// device is installed and its state empty when each test starts, and the
// test program's driver caches (DriverInterface.h) are cleared before and
// after; a DLL that links the driver functions keeps caches of its own.
// Tests that use it hold the ctest RESOURCE_LOCKs "netvane" and "registry"
// and link qfw_common and qfw_netvane_control.
#pragma once

#include <gtest/gtest.h>
#include "DriverInterface.h"
#include "NetvaneControl.h"

class CNetvaneFixture : public ::testing::Test {
protected:
    // installed: whether the driver's service key exists during the test.
    explicit CNetvaneFixture(bool installed = true) : m_installed(installed) {}

    void SetUp() override
    {
        HKEY key;
        m_wasInstalled = RegOpenKeyExA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY, 0, KEY_READ,
                                       &key) == ERROR_SUCCESS;
        if (m_wasInstalled)
            RegCloseKey(key);
        CloseDriver();
        NetvaneReset();
        ASSERT_TRUE(m_installed ? NetvaneInstallService() : NetvaneRemoveService());
    }

    void TearDown() override
    {
        CloseDriver();
        NetvaneReset();
        if (m_wasInstalled && !m_installed)
            NetvaneInstallService();
        else if (!m_wasInstalled && m_installed)
            NetvaneRemoveService();
    }

private:
    bool m_installed;
    bool m_wasInstalled = false;
};
