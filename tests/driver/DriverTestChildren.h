// The second and third processes of the driver tests: this test program
// started again with a switch.
#pragma once

#include <windows.h>

constexpr DWORD kSharedBlockSize = 8192;
constexpr char kConsoleText[] = "written by the console";
constexpr char kProviderText[] = "written by a provider";
constexpr DWORD kProviderOffset = 4096;

// Opens the block as a provider does and checks the console's text in it,
// then writes its own text at kProviderOffset.
constexpr char kReadBlockSwitch[] = "--read-block";

// Takes the next ring record and checks that it is the question that the
// ring test pushed through NetvaneCtl.
constexpr char kPopRingSwitch[] = "--pop-ring";

// The exit code of a child mode, or -1 when the switch is none of them.
int RunChildMode(const char *mode);
