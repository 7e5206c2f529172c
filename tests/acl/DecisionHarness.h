// Two roles in separate processes, as in the system: a console that builds a
// rule image in a driver block and announces it, and a provider that maps
// the block at its own address and decides. Both meet in a shared area that
// stands for the provider's control block and one connection record.
#pragma once

#include <AclMemory.h>
#include <NetvaneFixture.h>
#include <string>

struct SharedArea {
    ProviderControlBlock Control;
    char ConsolePath[CONSOLE_PATH_SIZE];
    SessionRecord Record;
    volatile LONG ConsoleReady; // the console child has announced its image
    volatile LONG ConsoleQuit;  // the console child may end
};

// The images a console child can build.
enum TestImage {
    IMAGE_RULES = 1,     // the zones, rules and schedules of the decision tables
    IMAGE_ALTERNATE = 2, // another block, in which the switched program passes
};

// Schedules of IMAGE_RULES.
enum {
    TIME_OFFICE = 1,    // 08:30:00 to 17:00:00, Monday to Friday
    TIME_NIGHT = 2,     // 22:00 to 06:00, every day
    TIME_SUNDAY = 3,    // start equal to end: all of Sunday
    TIME_ZONE_ID = 5,   // no schedule; the first trusted entry has this ID
    TIME_ABSENT = 6,
};

// A UTC time whose local time (the pinned zone, UTC+3) is the given day of
// the week (0 Sunday) and time of day.
DWORD LocalTime(int weekDay, int hour, int minute, int second = 0);

// Pins the local time zone of this process and of its children.
void PinTimeZone();

// Child modes of the test program; RunChildMode gives the exit code, or -1
// when the arguments name no child mode.
int RunChildMode(int argc, char **argv);

// A decision lock, as the process table entry of the provider holds one.
CRITICAL_SECTION *TestDecisionLock();

// The steps of every wait, counted instead of slept. The console's answer
// can be given at a chosen step.
struct StepSeam {
    static int Steps;
    static int AnswerAtStep;  // 0: the console never answers
    static BYTE Answer;
    static SessionRecord *Asked;
    static void Reset();
    static void Step(DWORD milliseconds);
};

class CSharedArea {
public:
    CSharedArea();
    ~CSharedArea();
    BOOL Create();
    BOOL Open(const char *name);
    SharedArea *operator->() const { return m_area; }
    SharedArea *Get() const { return m_area; }
    const char *Name() const { return m_name; }

private:
    char m_name[64];
    HANDLE m_mapping;
    SharedArea *m_area;
};

// Starts this test program in a child mode and keeps its process.
class CChildProcess {
public:
    CChildProcess() : m_process(0) {}
    ~CChildProcess() { Close(); }
    CChildProcess(const CChildProcess &) = delete;
    CChildProcess &operator=(const CChildProcess &) = delete;

    BOOL Start(const std::string &arguments, const char *program = 0);
    // Ends a child that still runs and lets go of it.
    void Close();
    BOOL IsRunning() const;
    DWORD Wait(DWORD milliseconds = 60000);

private:
    HANDLE m_process;
};

// Polls until the condition holds, at most about the given time.
template <class Condition>
bool WaitFor(Condition condition, DWORD milliseconds = 60000)
{
    for (DWORD waited = 0; !condition(); waited += 10) {
        if (waited >= milliseconds)
            return false;
        Sleep(10);
    }
    return true;
}

// The provider's side in this process against the image of a console child.
class CDecisionTest : public CNetvaneFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a console child that builds and announces the image, and keeps
    // this process from mapping the block at the console's own address, so
    // that every address must be rebased.
    void StartConsole(TestImage image);
    void StopConsole();

    SessionRecord NewRecord(const char *path, DWORD remoteIp, BYTE direction = DIR_OUTBOUND,
                            BYTE protocol = PROTO_TCP, WORD remotePort = 80);

    CSharedArea m_area;
    CChildProcess m_console;
    void *m_reserved = nullptr;
    std::unique_ptr<CAclMemory> m_acl;
};
