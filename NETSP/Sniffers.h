// The application-protocol sniffers: they read the first data buffer of a
// send or receive before the call is decided and leave a short text in the
// socket's record (Detail): the host name of an HTTP request, the file of an
// FTP transfer, the envelope of an outgoing mail, the headers of a received
// mail. The decision matches host-name zones against that text, so a blocked
// web site is refused at its first request. The sniffers never refuse
// anything themselves.
//
// Only the first SNIFF_WINDOW bytes of a buffer are examined; every text is
// cut to the 259 characters that Detail holds.
#pragma once

#include "FirewallTypes.h"
#include "SessionRecord.h"

enum {
    SNIFF_ERR_NO_DATA = -501, // no buffer, or an empty one
    SNIFF_WINDOW = 4096,
};

// Hands the data to the sniffer of the record's protocol: outbound for
// sends, inbound for receives. SNIFF_ERR_NO_DATA or 0.
int SniffData(SessionRecord &record, const char *data, int length, bool outbound);
int SniffOutbound(SessionRecord &record, const char *data, int length);
int SniffInbound(SessionRecord &record, const char *data, int length);

// Each examines data of a length that SniffData has bounded; 0.
int SniffHttpHost(SessionRecord &record, const char *data, int length);
int SniffFtpCommand(SessionRecord &record, const char *data, int length);
int SniffSmtpEnvelope(SessionRecord &record, const char *data, int length);
int SniffPop3Headers(SessionRecord &record, const char *data, int length);

// "Internet", "Trusted", "Blocked" or "Unknown".
const char *ZoneName(int zone);
