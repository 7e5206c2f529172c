// The provider's access to the connection table, the shared mapping of
// SessionRecords (see SessionRecord.h). One instance per process lives in
// the socket filter; its destructor closes the process's records as the
// provider unloads, and unmaps the table when no process has the provider
// loaded any more.
//
// The table has no lock. A free record (Socket 0) is claimed with an
// interlocked exchange on its Socket field; after that only the owning
// process and the console write it, each its own fields.
#pragma once

#include <winsock2.h>
#include "SessionRecord.h"

class CSessionTable {
public:
    CSessionTable() = default;
    virtual ~CSessionTable();
    CSessionTable(const CSessionTable &) = delete;
    CSessionTable &operator=(const CSessionTable &) = delete;

    // Maps the table when this process has no view yet, and initialises it
    // when no process has done so. 1 with a view, 0 without.
    int Open();
    // 1 when the process has a view (already or now), 0 when the mapping
    // cannot be created or mapped.
    int MapFile();
    void Unmap();

    // The record at the index, or null without a view or out of 0..1023.
    SessionRecord *GetRecord(int index) const;

    // Index of the live record of (this process, socket); closed records are
    // skipped, so a reused handle value never finds an old socket's record.
    // SESSION_ERR_FULL when there is none, SESSION_ERR_NO_TABLE without a view.
    int Find(SOCKET s) const;
    // Index of the new record; SESSION_ERR_EXISTS, SESSION_ERR_FULL or
    // SESSION_ERR_NO_TABLE.
    int Register(SOCKET s, BYTE kind, const char *path);
    // The same for a socket that the caller knows has no live record of
    // this process (the socket filter keeps its own list of them), without
    // looking through the table for one.
    int RegisterUnrecorded(SOCKET s, BYTE kind, const char *path);
    // A registered record's fields as they stand at registration.
    static void Initialise(SessionRecord &record, int index, SOCKET s, BYTE kind, const char *path);
    // Closes the socket's record: its index, or the result of Find.
    int Unregister(SOCKET s);

    // The port is in host byte order, the address in network byte order.
    // Direction DIR_UNKNOWN keeps the stored one. 0, SESSION_ERR_FULL for an
    // index out of range, SESSION_ERR_NO_TABLE.
    int UpdateAddress(int index, BYTE direction, WORD port, DWORD address, bool useLocalPort);
    // Adds a positive count to the sent or received bytes; a text goes into
    // an empty Detail. Same results as UpdateAddress.
    int AddTraffic(int index, BYTE direction, const char *text, int count, bool isSend);
    // The same on a record of the process's own. mayHaveName is false for
    // a TCP socket that was never bound, connected or accepted: it has no
    // local name yet, and the next provider is not asked for one.
    static void UpdateAddress(SessionRecord &record, BYTE direction, WORD port, DWORD address,
                              bool useLocalPort, bool mayHaveName = true);
    static void AddTraffic(SessionRecord &record, BYTE direction, const char *text, int count, bool isSend,
                           bool mayHaveName = true);
    // Fills a missing local address, announcing the port to the driver; the
    // local port, 0 when it is not known.
    static WORD FillLocalPort(SessionRecord &record);

    // The shared record at the index while it is the live record of (this
    // process, socket); null once it was closed, freed or taken by another.
    SessionRecord *OwnedRecord(int index, SOCKET s) const;
    // Copies what the socket's calls wrote in the process's own record into
    // its shared record: addresses, ports, kind, direction, counters, the
    // sniffed text and an FTP note. The decision's fields are published by
    // the decision itself.
    void Mirror(const SessionRecord &own, int index, SOCKET s);

    // Stamps the end, withdraws the local port from the driver and marks the
    // record closed; a record already closed is left as it is. 0.
    int CloseRecord(SessionRecord *record);
    // Closes every live record of the process.
    void CloseProcessSessions(DWORD processId);
    // 0, or SESSION_ERR_NO_TABLE.
    int CloseAllOfProcess();

private:
    void InitialiseFreeRecords();
    // Fills a missing local address from the socket, optionally announcing
    // the local port to the driver. A local name once known is not asked
    // again: it stays what it is for the socket's life.
    static void FillLocalAddress(SessionRecord &record, bool announcePort, bool mayHaveName);
    SessionRecord *RecordForUpdate(int index, int &result) const;

    HANDLE m_mapping = nullptr;
    void *m_view = nullptr;
    SessionRecord *m_records = nullptr;
};

// Notes an FTP transfer: stamps EndTime and sets SESSION_FTP_NOTED. 0.
int StampSessionEnd(SessionRecord *record);
