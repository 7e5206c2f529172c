#include "Sniffers.h"

#include <windows.h>
#include <cstring>
#include "ReadableMemory.h"
#include "SessionTable.h"

namespace {

const int kDetailLength = SESSION_DETAIL_SIZE - 1;

// The examined part of a buffer as a NUL-terminated text; the text ends at
// the first NUL byte of the data.
class CSniffText {
public:
    CSniffText(const char *data, int length)
    {
        m_length = length < SNIFF_WINDOW ? length : SNIFF_WINDOW;
        memcpy(m_text, data, m_length);
        m_text[m_length] = '\0';
    }
    CSniffText(const CSniffText &) = delete;
    CSniffText &operator=(const CSniffText &) = delete;

    char *Text() { return m_text; }

private:
    int m_length;
    char m_text[SNIFF_WINDOW + 1];
};

// Protocol text starts with a letter; bytes of 128 and above do not count.
bool StartsWithLetter(const char *data)
{
    unsigned char first = static_cast<unsigned char>(data[0]);
    return first >= 'A' && first <= 'z';
}

// The prefixes are plain ASCII, so folding ASCII letters alone is enough:
// a lead byte of a double-byte character never equals a prefix character,
// and the compare stops there before its trail byte is looked at.
char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithAnyCase(const char *data, int length, const char *prefix)
{
    int i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= length || FoldAscii(data[i]) != FoldAscii(prefix[i]))
            return false;
    }
    return true;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Mail lines become one line of the record: CR to ';', LF to ' '.
void FlattenLines(char *text)
{
    for (; *text != '\0'; ++text) {
        if (*text == '\r')
            *text = ';';
        else if (*text == '\n')
            *text = ' ';
    }
}

// Appends what fits of sourceLength characters of the source. A target
// without its terminator counts as full.
void AppendBounded(char *target, size_t capacity, const char *source, size_t sourceLength)
{
    size_t used = strnlen(target, capacity);
    if (used + 1 >= capacity)
        return;
    size_t room = capacity - 1 - used;
    size_t count = sourceLength < room ? sourceLength : room;
    memcpy(target + used, source, count);
    target[used + count] = '\0';
}

// Whether the record's text holds the word, read within the field.
bool DetailHolds(const SessionRecord &record, const char *word)
{
    char detail[SESSION_DETAIL_SIZE];
    lstrcpynA(detail, record.Detail, sizeof detail);
    return strstr(detail, word) != nullptr;
}

void SetDetail(SessionRecord &record, const char *text, size_t length)
{
    record.Detail[0] = '\0';
    AppendBounded(record.Detail, sizeof record.Detail, text, length);
}

// The envelope of the mail being sent: the last "MAIL FROM: " line and the
// "RCPT TO: " lines after it. One per process, shared by the threads that
// send mail, so every use holds its lock.
class CMailEnvelope {
public:
    CMailEnvelope() { InitializeCriticalSection(&m_lock); }
    ~CMailEnvelope() { DeleteCriticalSection(&m_lock); }
    CMailEnvelope(const CMailEnvelope &) = delete;
    CMailEnvelope &operator=(const CMailEnvelope &) = delete;

    void Start(const char *line)
    {
        EnterCriticalSection(&m_lock);
        m_text[0] = '\0';
        AppendBounded(m_text, sizeof m_text, line, strlen(line));
        LeaveCriticalSection(&m_lock);
    }

    // Adds a recipient line and gives the whole envelope as one line.
    void AddRecipient(const char *line, SessionRecord &record)
    {
        EnterCriticalSection(&m_lock);
        AppendBounded(m_text, sizeof m_text, line, strlen(line));
        FlattenLines(m_text);
        SetDetail(record, m_text, strlen(m_text));
        LeaveCriticalSection(&m_lock);
    }

private:
    CRITICAL_SECTION m_lock;
    char m_text[SESSION_DETAIL_SIZE] = {};
};

CMailEnvelope g_envelope;

// Only what a sniffer examines is read, and only when all of it can be: a
// buffer that the application gave with a length past its end is the next
// provider's to refuse.
bool Sniffable(const char *data, int length)
{
    return IsReadableMemory(data, static_cast<size_t>(length < SNIFF_WINDOW ? length : SNIFF_WINDOW));
}

} // namespace

int SniffData(SessionRecord &record, const char *data, int length, bool outbound)
{
    if (!data || length <= 0)
        return SNIFF_ERR_NO_DATA;
    return outbound ? SniffOutbound(record, data, length) : SniffInbound(record, data, length);
}

int SniffOutbound(SessionRecord &record, const char *data, int length)
{
    if (record.Protocol != PROTO_FTP && record.Protocol != PROTO_HTTP && record.Protocol != PROTO_SMTP)
        return 0;
    if (!Sniffable(data, length))
        return SNIFF_ERR_NO_DATA;
    switch (record.Protocol) {
    case PROTO_FTP: return SniffFtpCommand(record, data, length);
    case PROTO_HTTP: return SniffHttpHost(record, data, length);
    case PROTO_SMTP: return SniffSmtpEnvelope(record, data, length);
    default: return 0;
    }
}

int SniffInbound(SessionRecord &record, const char *data, int length)
{
    if (record.Protocol != PROTO_POP3)
        return 0;
    return Sniffable(data, length) ? SniffPop3Headers(record, data, length) : SNIFF_ERR_NO_DATA;
}

// The value of the first header line with the name, or null. A header
// name stands at the start of a line, so the same letters at the end of
// another header's name, in its value or in the request's URL do not count.
// Header names match without regard to case, as HTTP defines them; blanks
// before the value are skipped.
const char *FindHeader(const char *text, const char *name)
{
    const size_t nameLength = strlen(name);
    for (const char *line = strchr(text, '\n'); line; line = strchr(line, '\n')) {
        ++line;
        if (StartsWithAnyCase(line, static_cast<int>(strnlen(line, nameLength)), name)) {
            const char *value = line + nameLength;
            while (*value == ' ' || *value == '\t')
                ++value;
            return value;
        }
    }
    return nullptr;
}

// The host name of the first request names the web site; later requests
// on the same connection leave it.
int SniffHttpHost(SessionRecord &record, const char *data, int length)
{
    if (length < 12 || !StartsWithLetter(data) || !StartsWithAnyCase(data, length, "GET"))
        return 0;
    CSniffText text(data, length);
    const char *host = FindHeader(text.Text(), "Host:");
    if (!host || record.Detail[0] != '\0')
        return 0;
    const char *end = strchr(host, '\r');
    SetDetail(record, host, end ? static_cast<size_t>(end - host) : strlen(host));
    return 0;
}

// A file transfer command names its file; the note also stamps the time.
int SniffFtpCommand(SessionRecord &record, const char *data, int length)
{
    if (length < 5 || !StartsWithLetter(data))
        return 0;
    const char *note;
    if (StartsWithAnyCase(data, length, "RETR "))
        note = "Get File: ";
    else if (StartsWithAnyCase(data, length, "STOR "))
        note = "Put File: ";
    else
        return 0;
    CSniffText text(data, length);
    const char *name = text.Text() + 4;
    while (IsWhiteSpace(*name))
        ++name;
    int nameLength = 0;
    while (nameLength < kDetailLength && name[nameLength] != '\0' && !IsWhiteSpace(name[nameLength]))
        ++nameLength;
    SetDetail(record, note, strlen(note));
    AppendBounded(record.Detail, sizeof record.Detail, name, nameLength);
    StampSessionEnd(&record);
    return 0;
}

// Only the command at the start of the buffer is looked at, so a buffer of
// several commands is taken whole by the first.
int SniffSmtpEnvelope(SessionRecord &record, const char *data, int length)
{
    if (length < 9 || !StartsWithLetter(data))
        return 0;
    bool sender = StartsWithAnyCase(data, length, "MAIL FROM: ");
    if (!sender && !StartsWithAnyCase(data, length, "RCPT TO: "))
        return 0;
    CSniffText text(data, length);
    if (sender)
        g_envelope.Start(text.Text());
    else
        g_envelope.AddRecipient(text.Text(), record);
    return 0;
}

// The sender and the other headers before the subject of a received mail;
// once the record holds a recipient header, later buffers add nothing.
int SniffPop3Headers(SessionRecord &record, const char *data, int length)
{
    if (length < 4 || !StartsWithLetter(data) || DetailHolds(record, "To: "))
        return 0;
    CSniffText text(data, length);
    char *from = strstr(text.Text(), "From: ");
    char *subject = strstr(text.Text(), "Subject: ");
    if (!from || !subject)
        return 0;
    size_t headerLength = subject > from ? static_cast<size_t>(subject - from) : 0;
    from[headerLength] = '\0';
    FlattenLines(from);
    AppendBounded(record.Detail, sizeof record.Detail, from, headerLength);
    return 0;
}

const char *ZoneName(int zone)
{
    switch (zone) {
    case ZONE_INTERNET: return "Internet";
    case ZONE_TRUSTED: return "Trusted";
    case ZONE_BLOCKED: return "Blocked";
    default: return "Unknown";
    }
}
