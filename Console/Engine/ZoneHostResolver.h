// The background thread that keeps the address of every host-name entry of
// the trusted and blocked lists in the rule image equal to the address its
// name resolves to (0 while it does not resolve), about once a second, for as
// long as the console runs.
//
// A lookup can block for as long as the name servers take, and nothing can
// cut it short. Stopping therefore never waits for one without limit: the
// pass looks at the run flag between lookups, and once Stop has cleared the
// flag the thread never touches the image again, so a thread still caught
// in a lookup is left to end on its own and the console exits in time.
#pragma once

#include <windows.h>

class CAclPublisher;

class CZoneHostResolver {
public:
    // How long Stop waits for a thread caught in a lookup.
    enum { STOP_WAIT_MS = 2000 };

    // Starts the thread over the publisher's image once per run; 1 when it
    // runs now or ran before, 0 when it cannot be created.
    static BOOL Start(CAclPublisher &publisher);
    // Ends the thread: returns once it has ended, or after STOP_WAIT_MS
    // with the thread left to end by itself; always 1.
    static BOOL Stop();

    // One pass over both lists, as the thread makes it, to its end. The
    // names are looked up outside the publisher's lock, so an edit never
    // waits for a slow one.
    static void ResolvePass(CAclPublisher &publisher);

    // The first IPv4 address of the name, most significant byte first; 0
    // when it does not resolve. An empty name never resolves.
    static DWORD ResolveName(LPCSTR name);

    // The lookup the passes use (ResolveName unless replaced); tests put a
    // slow one in its place. The previous one is returned; NULL restores
    // ResolveName.
    typedef DWORD (*HostLookup)(LPCSTR name);
    static HostLookup SetHostLookup(HostLookup lookup);

private:
    static DWORD WINAPI ThreadProc(LPVOID publisher);
    // FALSE when a stoppable pass found the run flag cleared.
    static BOOL Pass(CAclPublisher &publisher, BOOL stoppable);
    static BOOL ResolveList(CAclPublisher &publisher, BOOL blocked, BOOL stoppable);
    static BOOL IsRunning();
};
