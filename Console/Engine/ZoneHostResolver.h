// The background thread that keeps the address of every host-name entry of
// the trusted and blocked lists in the rule image equal to the address its
// name resolves to (0 while it does not resolve), about once a second, for as
// long as the console runs.
#pragma once

#include <windows.h>

class CAclPublisher;

class CZoneHostResolver {
public:
    // Starts the thread over the publisher's image once per run; 1 when it
    // runs now or ran before, 0 when it cannot be created.
    static BOOL Start(CAclPublisher &publisher);
    // Ends the thread and returns once it has ended; always 1.
    static BOOL Stop();

    // One pass over both lists, as the thread makes it. The names are looked
    // up outside the publisher's lock, so an edit never waits for a slow one.
    static void ResolvePass(CAclPublisher &publisher);

    // The first IPv4 address of the name, most significant byte first; 0
    // when it does not resolve. An empty name never resolves.
    static DWORD ResolveName(LPCSTR name);

private:
    static DWORD WINAPI ThreadProc(LPVOID publisher);
    static void ResolveList(CAclPublisher &publisher, BOOL blocked);
    static BOOL IsRunning();
};
