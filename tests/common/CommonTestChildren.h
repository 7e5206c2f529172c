// This test program started again, as a copy elsewhere or under another
// Windows version, to check what it finds about itself.
#pragma once

#include <string>

// --module-dir <folder> <path>: GetModuleDir gives the folder and the path.
constexpr char kModuleDirSwitch[] = "--module-dir";

// --os <kind> <9x>: GetOsKind and IsWin9x give these, and the null-DACL
// attributes exist exactly when the system is not of the 9x family.
constexpr char kOsSwitch[] = "--os";

// --host-names: IpToHostName finds kKnownHost and not kUnknownHost, in the
// way of its system's family.
constexpr char kHostNamesSwitch[] = "--host-names";
constexpr unsigned long kKnownHost = 0xC0A80001;
constexpr char kKnownHostName[] = "router.example";
constexpr unsigned long kUnknownHost = 0xC0A80002;

// A copy of this test program at the path, started with the arguments,
// under the Windows version Wine is told to show it ("" for the default);
// the result is its exit code, or -1.
int RunCopy(const std::string &path, const std::string &arguments, const char *version);
