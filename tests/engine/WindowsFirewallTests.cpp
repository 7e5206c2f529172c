// The Windows Firewall switch: its steps against a small fake profile, then
// the whole switch against the firewall manager this system has.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>

#include "Installer.h"
#include "WindowsFirewall.h"

namespace {

// A current profile whose state and method results the test sets.
class FakeProfile : public INetFwProfile
{
public:
    bool enabled = false;
    HRESULT getResult = S_OK;
    HRESULT putResult = S_OK;
    int puts = 0;

    HRESULT STDMETHODCALLTYPE get_FirewallEnabled(VARIANT_BOOL *value) override
    {
        if (SUCCEEDED(getResult))
            *value = enabled ? VARIANT_TRUE : VARIANT_FALSE;
        return getResult;
    }
    HRESULT STDMETHODCALLTYPE put_FirewallEnabled(VARIANT_BOOL value) override
    {
        ++puts;
        if (SUCCEEDED(putResult))
            enabled = value != VARIANT_FALSE;
        return putResult;
    }

    // Nothing else of the profile is used by the switch.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                     UINT *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Type(NET_FW_PROFILE_TYPE *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ExceptionsNotAllowed(VARIANT_BOOL *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ExceptionsNotAllowed(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_NotificationsDisabled(VARIANT_BOOL *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_NotificationsDisabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UnicastResponsesToMulticastBroadcastDisabled(VARIANT_BOOL *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_UnicastResponsesToMulticastBroadcastDisabled(VARIANT_BOOL) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_RemoteAdminSettings(INetFwRemoteAdminSettings **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IcmpSettings(INetFwIcmpSettings **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_GloballyOpenPorts(INetFwOpenPorts **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Services(INetFwServices **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AuthorizedApplications(INetFwAuthorizedApplications **) override
    {
        return E_NOTIMPL;
    }
};

typedef HRESULT (*ProfileStep)(INetFwProfile *);

struct SwitchCase {
    const char *name;
    ProfileStep step;
    bool enabledBefore;
    HRESULT getResult;
    HRESULT putResult;
    HRESULT expectedResult;
    bool enabledAfter;
    int expectedPuts;
    const char *expectedOutput;
};

const HRESULT kAccessDenied = E_ACCESSDENIED;

class FirewallSwitchStep : public testing::TestWithParam<SwitchCase> {};

TEST_P(FirewallSwitchStep, ChangesOnlyWhatIsNeededAndSaysWhat)
{
    const SwitchCase &c = GetParam();
    FakeProfile profile;
    profile.enabled = c.enabledBefore;
    profile.getResult = c.getResult;
    profile.putResult = c.putResult;

    testing::internal::CaptureStdout();
    HRESULT result = c.step(&profile);
    fflush(stdout);
    std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(c.expectedResult, result);
    EXPECT_EQ(c.enabledAfter, profile.enabled);
    EXPECT_EQ(c.expectedPuts, profile.puts);
    EXPECT_EQ(c.expectedOutput, output);
}

const SwitchCase kSwitchCases[] = {
    {"OffTurnsAnOnFirewallOff", WindowsFirewallTurnOff, true, S_OK, S_OK, S_OK, false, 1,
     "The firewall is on.\nThe firewall is now off.\n"},
    {"OffLeavesAnOffFirewallAlone", WindowsFirewallTurnOff, false, S_OK, S_OK, S_OK, false, 0,
     "The firewall is off.\n"},
    {"OnTurnsAnOffFirewallOn", WindowsFirewallTurnOn, false, S_OK, S_OK, S_OK, true, 1,
     "The firewall is off.\nThe firewall is now on.\n"},
    {"OnLeavesAnOnFirewallAlone", WindowsFirewallTurnOn, true, S_OK, S_OK, S_OK, true, 0, "The firewall is on.\n"},
    {"OffStopsWhenTheStateCannotBeRead", WindowsFirewallTurnOff, true, kAccessDenied, S_OK, kAccessDenied, true, 0,
     "get_FirewallEnabled failed: 0x80070005\nWindowsFirewallIsOn failed: 0x80070005\n"},
    {"OnStopsWhenTheStateCannotBeRead", WindowsFirewallTurnOn, false, kAccessDenied, S_OK, kAccessDenied, false, 0,
     "get_FirewallEnabled failed: 0x80070005\nWindowsFirewallIsOn failed: 0x80070005\n"},
    {"OffReportsARefusedSwitch", WindowsFirewallTurnOff, true, S_OK, E_NOTIMPL, E_NOTIMPL, true, 1,
     "The firewall is on.\nput_FirewallEnabled failed: 0x80004001\n"},
    {"OnReportsARefusedSwitch", WindowsFirewallTurnOn, false, S_OK, E_NOTIMPL, E_NOTIMPL, false, 1,
     "The firewall is off.\nput_FirewallEnabled failed: 0x80004001\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FirewallSwitchStep, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase> &info) { return info.param.name; });

TEST(FirewallState, IsReadWithoutChangingIt)
{
    FakeProfile profile;
    profile.enabled = true;
    BOOL on = FALSE;
    testing::internal::CaptureStdout();
    EXPECT_EQ(S_OK, WindowsFirewallIsOn(&profile, &on));
    EXPECT_EQ("The firewall is on.\n", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(on);

    profile.getResult = E_FAIL;
    on = TRUE;
    testing::internal::CaptureStdout();
    EXPECT_EQ(E_FAIL, WindowsFirewallIsOn(&profile, &on));
    EXPECT_EQ("get_FirewallEnabled failed: 0x80004005\n", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(on);
    EXPECT_EQ(0, profile.puts);
}

std::string RunSwitch(int (CInstaller::*turn)())
{
    CInstaller installer;
    testing::internal::CaptureStdout();
    int result = (installer.*turn)();
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(1, result);
    return output;
}

// This system's firewall manager reports the firewall off and refuses to
// switch it on.
TEST(SystemFirewall, OffIsLeftOffAndOnIsRefusedQuietly)
{
    EXPECT_EQ("The firewall is off.\n", RunSwitch(&CInstaller::TurnOffWindowsFirewall));
    EXPECT_EQ("The firewall is off.\n"
              "put_FirewallEnabled failed: 0x80004001\n"
              "WindowsFirewallTurnOn failed: 0x80004001\n",
              RunSwitch(&CInstaller::TurnOnWindowsFirewall));
}

TEST(SystemFirewall, ProfileIsReachedThroughTheManager)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    INetFwProfile *profile = reinterpret_cast<INetFwProfile *>(1);
    testing::internal::CaptureStdout();
    HRESULT hr = WindowsFirewallInitialize(&profile);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(S_OK, hr);
    ASSERT_NE(nullptr, profile);
    profile->Release();
    CoUninitialize();
}

TEST(SystemFirewall, WithoutComTheManagerCannotBeMade)
{
    INetFwProfile *profile = reinterpret_cast<INetFwProfile *>(1);
    testing::internal::CaptureStdout();
    HRESULT hr = WindowsFirewallInitialize(&profile);
    EXPECT_EQ("CoCreateInstance failed: 0x800401f0\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(CO_E_NOTINITIALIZED, hr);
    EXPECT_EQ(nullptr, profile);
}

// A thread whose apartment is multithreaded keeps it: the switch works there
// and leaves COM as it found it.
DWORD WINAPI SwitchInMultithreadedApartment(void *result)
{
    HRESULT first = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CInstaller installer;
    int switched = installer.TurnOffWindowsFirewall();
    HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(again))
        CoUninitialize();
    if (SUCCEEDED(first))
        CoUninitialize();
    *static_cast<bool *>(result) = first == S_OK && switched == 1 && again == S_FALSE;
    return 0;
}

TEST(SystemFirewall, WorksInAMultithreadedApartmentAndKeepsIt)
{
    bool passed = false;
    testing::internal::CaptureStdout();
    HANDLE thread = CreateThread(nullptr, 0, SwitchInMultithreadedApartment, &passed, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ("The firewall is off.\n", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(passed);
}

} // namespace
