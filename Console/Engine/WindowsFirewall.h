// Switching the Windows Firewall of the current profile through the
// firewall manager. Failures are only printed: the install and uninstall
// switches go on whatever happens, and where the manager is missing nothing
// changes.
#pragma once

#include <windows.h>
#include <netfw.h>

HRESULT WindowsFirewallInitialize(INetFwProfile **profile);
HRESULT WindowsFirewallIsOn(INetFwProfile *profile, BOOL *on);
HRESULT WindowsFirewallTurnOn(INetFwProfile *profile);
HRESULT WindowsFirewallTurnOff(INetFwProfile *profile);
