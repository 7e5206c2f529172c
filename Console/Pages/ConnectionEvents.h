// CConnectionEvents: what the traffic monitor page does with the connection
// events that the poller posts, apart from drawing them. It counts the bytes
// of live connections, logs every finished connection once and frees its
// record, tells the program page which programs are active, turns driver
// table entries into connection records and hands packet events of the
// driver's ring to the log page. The page gives it the tree and the alert.
//
// The closed records of one burst of events (one poller pass) are logged in
// one transaction and freed only after it: a record is freed once, whether
// the transaction stored its row or not, so each finished connection is
// offered to the log exactly once.
//
// A burst's traffic is summed and posted to the monitor once for each
// direction at its end, and a program's state is told to the program page
// only when it differs from what the burst already told it: a pass of a
// thousand connections would otherwise cost a thousand more messages, each
// dearer than the handling of an event.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "DriverRecords.h"
#include "LogRecord.h"
#include "PacketLogEntry.h"
#include "SessionRecord.h"

class CProgramLogs;

// The page's side of the handling.
class IConnectionView
{
public:
    // A live connection that the tree should show (path not empty).
    virtual void ShowConnection(const SessionRecord &record) = 0;
    // A connection whose node, if any, goes.
    virtual void RemoveConnection(const SessionRecord &record) = 0;
    // A connection that a rule refused has ended.
    virtual void RaiseAlert(const SessionRecord &record) = 0;

protected:
    ~IConnectionView() {}
};

// Where the posted indexes point; the console takes CSessionMonitor's
// accessors, tests their own tables.
struct ConnectionSources
{
    SessionRecord *(*SessionTable)();
    DWORD (*SessionCount)();
    DriverTableRecord *(*Table1Entry)(DWORD index);
    DWORD (*Table1Count)();
    DriverTableRecord *(*Table2Entry)(DWORD index);
    const DriverQueueRecord *(*QueueRecord)(int index);
};

// The poller's tables (CSessionMonitor), which the console's page reads.
ConnectionSources PollerSources();

// The page's windows that the handling reaches.
struct ConnectionPeers
{
    HWND Monitor;     // receives WM_TRAFFIC_DELTA (posted, once a direction a burst)
    HWND ProgramPage; // receives WM_PROGRAM_ACTIVE (sent); may be NULL
    HWND LogPage;     // receives WM_PACKET_LOGGED (sent); may be NULL
};

// The wParam of the marker that ends a burst: the page's own.
constexpr WPARAM SESSION_SOURCE_BURST_END = 0x100;

// The protocol filter of the tree.
enum ConnectionFilter { FILTER_ALL = 0, FILTER_TCP = 1, FILTER_UDP = 2 };

// The flag names of a packet event, in the order the log shows them; empty
// for UDP and ICMP.
void MakeFlagText(BYTE protocol, BYTE tcpFlags, char (&text)[PACKET_FLAG_TEXT_MAX + 1]);

// A driver table entry as a connection record; "SYSTEM" leaves the path empty.
void DecodeTableEntry(const DriverTableRecord &entry, SessionRecord &record);

// The log row of a finished connection.
LogRecord MakeLogRecord(const SessionRecord &record);

// Whether the filter lets a connection of that protocol into the tree.
bool FilterAdmits(int filter, BYTE protocol);

class CConnectionEvents
{
public:
    CConnectionEvents(const ConnectionSources &sources, IConnectionView &view);
    CConnectionEvents(const CConnectionEvents &) = delete;
    CConnectionEvents &operator=(const CConnectionEvents &) = delete;

    // A program page given anew has been told nothing yet.
    void SetPeers(const ConnectionPeers &peers)
    {
        m_peers = peers;
        m_reportedInBurst.clear();
    }
    // The store that finished connections go to; NULL logs nothing (records
    // are freed all the same).
    void SetLogStore(CProgramLogs *logs) { m_logs = logs; }
    void SetFilter(int filter) { m_filter = filter; }
    int GetFilter() const { return m_filter; }
    // While clear, counting, logging and freeing go on but the tree is not fed.
    void SetTreeFollows(bool follows) { m_treeFollows = follows; }
    bool TreeFollows() const { return m_treeFollows; }

    // One posted WM_SESSION_UPDATE: wParam the source, lParam the index. An
    // index outside its table or an unknown source changes nothing.
    void Handle(WPARAM source, LPARAM index);

    // One WM_SESSION_UPDATE as the window received it. The first event of a
    // burst that leaves something for its end posts the window a marker
    // behind the events already queued; the marker ends the burst
    // (EndBurst). Asking the queue after every event would cost more than
    // the events themselves.
    void HandlePosted(HWND window, WPARAM source, LPARAM index);

    // Posts the bytes counted since the last call, logs the finished
    // connections gathered since then in one transaction, frees their
    // records and reports them inactive. Called when no further event waits.
    void EndBurst();
    size_t WaitingRecords() const { return m_closing.size(); }

    // The number of connections being counted.
    size_t CounterCount() const { return m_counters.size(); }

private:
    struct Counter {
        DWORD Socket;
        DWORD ProcessId;
        DWORD Received;
        DWORD Sent;
    };
    struct Closing {
        SessionRecord *Shared; // the record in the table
        DWORD Socket;          // its socket when it was gathered
        LONG RuleId;
    };

    void HandleSession(DWORD index);
    void HandleTableEntry(DriverTableRecord &entry, bool removed);
    void HandlePacket(const DriverQueueRecord &event);
    void Gather(SessionRecord &shared, const SessionRecord &copy);
    bool IsGathered(const SessionRecord *shared) const;
    void UpdateConnection(const SessionRecord &record);
    void CountBytes(const SessionRecord &record, bool finished);
    std::vector<Counter>::iterator FindCounter(const SessionRecord &record);
    void ForgetCounter(const SessionRecord &record);
    bool BurstHasAnEnd() const;
    void PostTraffic();
    void LogAndFreeClosing();
    void ReportActive(LONG ruleId, bool active);
    static void Free(SessionRecord &shared);

    ConnectionSources m_sources;
    IConnectionView &m_view;
    ConnectionPeers m_peers;
    CProgramLogs *m_logs;
    int m_filter;
    bool m_treeFollows;
    bool m_markerPosted;
    std::vector<Counter> m_counters;
    std::vector<Closing> m_closing;
    std::vector<LogRecord> m_rows;
    ULONGLONG m_receivedInBurst;
    ULONGLONG m_sentInBurst;
    std::map<LONG, bool> m_reportedInBurst; // rule ID: active
};
