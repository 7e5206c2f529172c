#include "WindowsFirewall.h"

#include <stdio.h>

#include "Installer.h"

namespace {

// The import library does not carry these two, so they are defined here.
const CLSID kNetFwMgrClass = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
const IID kNetFwMgrInterface = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};

template <class T>
void Release(T *&object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

typedef HRESULT (*ProfileSwitch)(INetFwProfile *profile);

// Brackets one switch of the current profile with COM, on a thread whose
// apartment may already be set up either way: COM is taken down only when
// this call set it up.
void SwitchFirewall(ProfileSwitch turn, const char *failure)
{
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (SUCCEEDED(init) || init == RPC_E_CHANGED_MODE) {
        INetFwProfile *profile = nullptr;
        HRESULT hr = WindowsFirewallInitialize(&profile);
        if (FAILED(hr)) {
            printf("WindowsFirewallInitialize failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        } else {
            hr = turn(profile);
            if (FAILED(hr))
                printf(failure, static_cast<unsigned long>(hr));
        }
        Release(profile);
    } else {
        printf("CoInitializeEx failed: 0x%08lx\n", static_cast<unsigned long>(init));
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    fflush(stdout);
}

HRESULT SetFirewallEnabled(INetFwProfile *profile, bool enable)
{
    BOOL on = FALSE;
    HRESULT hr = WindowsFirewallIsOn(profile, &on);
    if (FAILED(hr)) {
        printf("WindowsFirewallIsOn failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        return hr;
    }
    if (!on == !enable)
        return hr;
    hr = profile->put_FirewallEnabled(enable ? VARIANT_TRUE : VARIANT_FALSE);
    if (FAILED(hr))
        printf("put_FirewallEnabled failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    else
        printf(enable ? "The firewall is now on.\n" : "The firewall is now off.\n");
    return hr;
}

} // namespace

HRESULT WindowsFirewallInitialize(INetFwProfile **profile)
{
    *profile = nullptr;
    INetFwMgr *manager = nullptr;
    INetFwPolicy *policy = nullptr;
    HRESULT hr = CoCreateInstance(kNetFwMgrClass, nullptr, CLSCTX_INPROC_SERVER, kNetFwMgrInterface,
                                  reinterpret_cast<void **>(&manager));
    if (FAILED(hr)) {
        printf("CoCreateInstance failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    } else if (FAILED(hr = manager->get_LocalPolicy(&policy))) {
        printf("get_LocalPolicy failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    } else if (FAILED(hr = policy->get_CurrentProfile(profile))) {
        printf("get_CurrentProfile failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    }
    Release(policy);
    Release(manager);
    return hr;
}

HRESULT WindowsFirewallIsOn(INetFwProfile *profile, BOOL *on)
{
    *on = FALSE;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    HRESULT hr = profile->get_FirewallEnabled(&enabled);
    if (FAILED(hr)) {
        printf("get_FirewallEnabled failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    } else if (enabled == VARIANT_FALSE) {
        printf("The firewall is off.\n");
    } else {
        *on = TRUE;
        printf("The firewall is on.\n");
    }
    return hr;
}

HRESULT WindowsFirewallTurnOn(INetFwProfile *profile)
{
    return SetFirewallEnabled(profile, true);
}

HRESULT WindowsFirewallTurnOff(INetFwProfile *profile)
{
    return SetFirewallEnabled(profile, false);
}

int CInstaller::TurnOffWindowsFirewall()
{
    SwitchFirewall(WindowsFirewallTurnOff, "WindowsFirewallTurnOff failed: 0x%08lx\n");
    return 1;
}

int CInstaller::TurnOnWindowsFirewall()
{
    SwitchFirewall(WindowsFirewallTurnOn, "WindowsFirewallTurnOn failed: 0x%08lx\n");
    return 1;
}
