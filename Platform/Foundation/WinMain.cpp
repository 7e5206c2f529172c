// The program entry of applications: WinMain hands over to AfxWinMain. In
// its own library, so that test programs with main() do not get it.
#include "CWinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
