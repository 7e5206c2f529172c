// The console on a system without Windows Sockets 2: the real program's
// start-up in every other step, so that a test sees that failure's box and
// what the process leaves behind.
#include <ConsoleApp.h>

class CConsoleWithoutWinsock : public CConsoleApp
{
protected:
    BOOL HasWinsock2() override { return FALSE; }
};

CConsoleWithoutWinsock theApp;
