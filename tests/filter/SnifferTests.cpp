// The sniffers over real protocol text: each case feeds one connection's
// buffers, in order, to a fresh record of its protocol and checks the text
// the record ends up with.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "Sniffers.h"

namespace {

struct Buffer {
    bool Outbound;
    std::string Data;
};

struct SniffCase {
    const char *Name;
    BYTE Protocol;
    std::string DetailBefore;
    std::vector<Buffer> Buffers;
    std::string Detail;
    BYTE State;
};

Buffer Out(const std::string &data)
{
    return {true, data};
}

Buffer In(const std::string &data)
{
    return {false, data};
}

std::string Repeat(char c, size_t count)
{
    return std::string(count, c);
}

const std::string kGet = "GET /index.html HTTP/1.1\r\nHost: abc\r\nAccept: */*\r\n\r\n";
const std::string kPop3Headers =
    "Received: from mx\r\nFrom: Ann <ann@example.org>\r\nDate: Mon, 7 Dec 2026\r\nSubject: Hello\r\n\r\nbody";

const SniffCase kCases[] = {
    {"HttpHostOfFirstRequest", PROTO_HTTP, "", {Out(kGet)}, "abc", SESSION_OPEN},
    {"HttpSecondRequestKeepsFirstHost", PROTO_HTTP, "",
     {Out(kGet), Out("GET / HTTP/1.1\r\nHost: other.example\r\n\r\n")}, "abc", SESSION_OPEN},
    {"HttpLowerCaseGet", PROTO_HTTP, "", {Out("get / HTTP/1.0\r\nHost: low.example\r\n\r\n")}, "low.example",
     SESSION_OPEN},
    {"HttpHostRunsToEndWithoutCarriageReturn", PROTO_HTTP, "", {Out("GET / HTTP/1.0\nHost: tail.example")},
     "tail.example", SESSION_OPEN},
    {"HttpWithoutHostHeader", PROTO_HTTP, "", {Out("GET / HTTP/1.0\r\nAccept: */*\r\n\r\n")}, "", SESSION_OPEN},
    {"HttpHostHeaderNameInAnyCase", PROTO_HTTP, "", {Out("GET / HTTP/1.1\r\nhost: abc\r\n\r\n")}, "abc",
     SESSION_OPEN},
    {"HttpHostHeaderWithoutBlank", PROTO_HTTP, "", {Out("GET / HTTP/1.1\r\nHOST:abc\r\n\r\n")}, "abc",
     SESSION_OPEN},
    {"HttpPostIsNotRead", PROTO_HTTP, "", {Out("POST / HTTP/1.1\r\nHost: abc\r\n\r\n")}, "", SESSION_OPEN},
    {"HttpGetShorterThanTwelveBytes", PROTO_HTTP, "", {Out("GET\nHost: a")}, "", SESSION_OPEN},
    {"HttpTwelveBytesAreEnough", PROTO_HTTP, "", {Out("GET\nHost: ab")}, "ab", SESSION_OPEN},
    // The header name counts only where a line starts.
    {"HttpHostAtTheEndOfAnotherHeaderName", PROTO_HTTP, "",
     {Out("GET / HTTP/1.1\r\nX-Forwarded-Host: good.example\r\nHost: bad.example\r\n\r\n")}, "bad.example",
     SESSION_OPEN},
    {"HttpHostInsideAHeaderName", PROTO_HTTP, "", {Out("GET / HTTP/1.1\r\nGhost: x\r\nHost: bad.example\r\n\r\n")},
     "bad.example", SESSION_OPEN},
    {"HttpHostInTheUrl", PROTO_HTTP, "", {Out("GET /?host:good.example HTTP/1.1\r\nHost: bad.example\r\n\r\n")},
     "bad.example", SESSION_OPEN},
    {"HttpHostInAnotherHeadersValue", PROTO_HTTP, "",
     {Out("GET / HTTP/1.1\r\nReferer: http://x/?Host: good.example\r\nHost: bad.example\r\n\r\n")},
     "bad.example", SESSION_OPEN},
    {"HttpHostOnlyInsideOtherText", PROTO_HTTP, "", {Out("GET /host: HTTP/1.1\r\nX-Host: good.example\r\n\r\n")},
     "", SESSION_OPEN},
    {"HttpDetailAlreadySet", PROTO_HTTP, "zone.example", {Out(kGet)}, "zone.example", SESSION_OPEN},
    {"HttpLongHostIsCut", PROTO_HTTP, "", {Out("GET / HTTP/1.1\r\nHost: " + Repeat('h', 400) + "\r\n\r\n")},
     Repeat('h', 259), SESSION_OPEN},
    {"HttpReceivedRequestIsNotRead", PROTO_HTTP, "", {In(kGet)}, "", SESSION_OPEN},
    {"HttpHostOnTcpIsNotRead", PROTO_TCP, "", {Out(kGet)}, "", SESSION_OPEN},

    {"FtpRetrieve", PROTO_FTP, "", {Out("RETR readme.txt\r\n")}, "Get File: readme.txt", SESSION_FTP_NOTED},
    {"FtpStoreTakesFirstWord", PROTO_FTP, "", {Out("STOR a b\r\n")}, "Put File: a", SESSION_FTP_NOTED},
    {"FtpAnyCaseAndSpaces", PROTO_FTP, "", {Out("retr    notes.doc\r\n")}, "Get File: notes.doc",
     SESSION_FTP_NOTED},
    {"FtpReplacesDetail", PROTO_FTP, "Get File: old", {Out("RETR new.bin")}, "Get File: new.bin",
     SESSION_FTP_NOTED},
    {"FtpWithoutFileName", PROTO_FTP, "", {Out("STOR \r\n")}, "Put File: ", SESSION_FTP_NOTED},
    {"FtpOtherCommand", PROTO_FTP, "", {Out("LIST /pub\r\n")}, "", SESSION_OPEN},
    {"FtpLongNameIsCut", PROTO_FTP, "", {Out("RETR " + Repeat('f', 300))}, "Get File: " + Repeat('f', 249),
     SESSION_FTP_NOTED},

    {"SmtpEnvelope", PROTO_SMTP, "", {Out("MAIL FROM: <a>\r\n"), Out("RCPT TO: <b>\r\n")},
     "MAIL FROM: <a>; RCPT TO: <b>; ", SESSION_OPEN},
    {"SmtpSenderAloneLeavesRecord", PROTO_SMTP, "was", {Out("MAIL FROM: <a>\r\n")}, "was", SESSION_OPEN},
    {"SmtpRecipientsAccumulate", PROTO_SMTP, "",
     {Out("mail from: <x>\r\n"), Out("RCPT TO: <y>\r\n"), Out("rcpt to: <z>\r\n")},
     "mail from: <x>; RCPT TO: <y>; rcpt to: <z>; ", SESSION_OPEN},
    {"SmtpNewSenderStartsNewEnvelope", PROTO_SMTP, "",
     {Out("MAIL FROM: <old>\r\n"), Out("RCPT TO: <o>\r\n"), Out("MAIL FROM: <new>\r\n"), Out("RCPT TO: <n>\r\n")},
     "MAIL FROM: <new>; RCPT TO: <n>; ", SESSION_OPEN},
    {"SmtpBufferOfSeveralCommandsTakenWhole", PROTO_SMTP, "",
     {Out("MAIL FROM: <a>\r\n"), Out("RCPT TO: <b>\r\nDATA\r\n")}, "MAIL FROM: <a>; RCPT TO: <b>; DATA; ",
     SESSION_OPEN},
    {"SmtpOtherCommand", PROTO_SMTP, "", {Out("HELO host.example\r\n")}, "", SESSION_OPEN},
    {"SmtpEnvelopeIsCut", PROTO_SMTP, "",
     {Out("MAIL FROM: <" + Repeat('s', 240) + ">\r\n"), Out("RCPT TO: <" + Repeat('r', 100) + ">\r\n")},
     ("MAIL FROM: <" + Repeat('s', 240) + ">; RCPT TO: <" + Repeat('r', 100)).substr(0, 259), SESSION_OPEN},

    {"Pop3HeadersFromSenderToSubject", PROTO_POP3, "", {In(kPop3Headers)},
     "From: Ann <ann@example.org>; Date: Mon, 7 Dec 2026; ", SESSION_OPEN},
    {"Pop3StatusLineIsNotRead", PROTO_POP3, "", {In("+OK 120 octets\r\n" + kPop3Headers)}, "", SESSION_OPEN},
    {"Pop3SubjectBeforeSender", PROTO_POP3, "pre ", {In("Subject: Hi\r\nFrom: b\r\n")}, "pre ", SESSION_OPEN},
    {"Pop3WithoutSubject", PROTO_POP3, "", {In("From: b\r\nDate: x\r\n")}, "", SESSION_OPEN},
    {"Pop3AppendsToDetail", PROTO_POP3, "", {In(kPop3Headers), In("From: c\r\nSubject: s\r\n")},
     "From: Ann <ann@example.org>; Date: Mon, 7 Dec 2026; From: c; ", SESSION_OPEN},
    {"Pop3StopsOnceRecipientSeen", PROTO_POP3, "",
     {In("From: a\r\nTo: me\r\nSubject: s\r\n"), In("From: later\r\nSubject: t\r\n")}, "From: a; To: me; ",
     SESSION_OPEN},
    {"Pop3FullDetailGetsNothing", PROTO_POP3, Repeat('d', 259), {In(kPop3Headers)}, Repeat('d', 259),
     SESSION_OPEN},
    {"Pop3AppendIsCutToFit", PROTO_POP3, Repeat('d', 250), {In(kPop3Headers)},
     Repeat('d', 250) + "From: Ann", SESSION_OPEN},
    {"Pop3SentTextIsNotRead", PROTO_POP3, "", {Out(kPop3Headers)}, "", SESSION_OPEN},

    {"Pop3FirstByteAboveAsciiIsNoLetter", PROTO_POP3, "", {In("\xC4" + kPop3Headers)}, "", SESSION_OPEN},
    {"Pop3FirstByteAfterLettersIsNoLetter", PROTO_POP3, "", {In("{\r\n" + kPop3Headers)}, "", SESSION_OPEN},
    {"Pop3FirstByteBetweenCasesCounts", PROTO_POP3, "", {In("_x\r\nFrom: a\r\nSubject: s\r\n")}, "From: a; ",
     SESSION_OPEN},
};

class SniffTest : public testing::TestWithParam<SniffCase> {};

TEST_P(SniffTest, LeavesText)
{
    const SniffCase &c = GetParam();
    SessionRecord record = {};
    record.Protocol = c.Protocol;
    strcpy(record.Detail, c.DetailBefore.c_str());
    for (const Buffer &buffer : c.Buffers)
        EXPECT_EQ(0, SniffData(record, buffer.Data.data(), static_cast<int>(buffer.Data.size()), buffer.Outbound));
    EXPECT_EQ(c.Detail, std::string(record.Detail));
    EXPECT_EQ(c.State, record.State);
    EXPECT_EQ(c.State == SESSION_FTP_NOTED, record.EndTime != 0);
}

INSTANTIATE_TEST_SUITE_P(Protocols, SniffTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SniffCase> &info) { return std::string(info.param.Name); });

TEST(SniffData, NoDataIsReported)
{
    SessionRecord record = {};
    record.Protocol = PROTO_HTTP;
    EXPECT_EQ(SNIFF_ERR_NO_DATA, SniffData(record, nullptr, 20, true));
    EXPECT_EQ(SNIFF_ERR_NO_DATA, SniffData(record, kGet.data(), 0, true));
    EXPECT_EQ(SNIFF_ERR_NO_DATA, SniffData(record, kGet.data(), -1, true));
    EXPECT_STREQ("", record.Detail);
}

// Only the window at the start of a buffer is examined: a header beyond it
// is not found, and nothing past the given length is read.
TEST(SniffData, ExaminesOnlyTheWindow)
{
    SessionRecord record = {};
    record.Protocol = PROTO_HTTP;
    std::string late = "GET / HTTP/1.1\r\nX: " + Repeat('x', SNIFF_WINDOW) + "\r\nHost: late\r\n\r\n";
    EXPECT_EQ(0, SniffData(record, late.data(), static_cast<int>(late.size()), true));
    EXPECT_STREQ("", record.Detail);

    std::string cut = "GET / HTTP/1.1\r\nHost: abcdef\r\n";
    int upToHost = static_cast<int>(cut.find("def"));
    EXPECT_EQ(0, SniffData(record, cut.data(), upToHost, true));
    EXPECT_STREQ("abc", record.Detail);
}

TEST(ZoneName, NamesEachKind)
{
    EXPECT_STREQ("Internet", ZoneName(ZONE_INTERNET));
    EXPECT_STREQ("Trusted", ZoneName(ZONE_TRUSTED));
    EXPECT_STREQ("Blocked", ZoneName(ZONE_BLOCKED));
    EXPECT_STREQ("Unknown", ZoneName(0));
    EXPECT_STREQ("Unknown", ZoneName(4));
}

} // namespace
