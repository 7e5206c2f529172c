#include "UpdateRunFixture.h"
#include "UpdateMarkers.h"

UpdateRunFixture::UpdateRunFixture()
{
    EndProcessesNamed("qfw.exe");
    installed.version = "1.0";
    installed.swVersion = "sw-1";
    installed.checkUrl = http.Url("/release/QfwUpdate.ini");
    installed.files = {FileOf("core.dll", "2004-01-01 10:00", oldCore),
                       FileOf("keep.dll", "2004-01-01 10:00", keep),
                       {"gone.dll", "2003-01-01", "3"}};
    server.version = "2.0";
    server.swVersion = "sw-server";
    server.updateTime = "2004-02-02";
    server.checkUrl = http.Url("/release/QfwUpdate.ini");
    server.files = {FileOf("core.dll", "2004-02-01 10:00", newCore),
                    FileOf("Skins\\Default\\New.bmp", "2004-02-01 10:00", newBitmap),
                    FileOf("keep.dll", "2004-01-01 10:00", keep)};
    server.programs = {{"qfw.exe", CONSOLE_INSTANCE_MARKER, "2357"}};
    server.mirrors = {http.Url("/mirror")};
}

UpdateRunFixture::~UpdateRunFixture()
{
    harness.reset();
    EndProcessesNamed("qfw.exe");
}

void UpdateRunFixture::Publish()
{
    program.Write("core.dll", oldCore);
    program.Write("keep.dll", keep);
    program.Write("QfwUpdate.ini", installed.Text());
    http.Serve("/release/QfwUpdate.ini", server.Text());
    http.Serve("/mirror/core.dll", newCore);
    http.Serve("/mirror/Skins/Default/New.bmp", newBitmap);
    http.Serve("/mirror/keep.dll", keep);
}

void UpdateRunFixture::HoldFolder(const std::string &relative)
{
    locks.emplace_back(new FileLock(program.Write(relative + "\\held", "held")));
    ASSERT_TRUE(locks.back()->Held());
}

void UpdateRunFixture::StartConsole()
{
    console.reset(new ProgramCopy(program.Path(), "QFW.exe"));
    ASSERT_TRUE(console->Start());
}

std::string UpdateRunFixture::Run(DWORD milliseconds)
{
    harness.reset(new StepsHarness(true));
    harness->Steps().Begin(program.Path().c_str());
    EXPECT_TRUE(harness->RunToEnd(milliseconds)) << "the run did not end";
    return harness->StepsRun();
}

std::string UpdateRunFixture::ProgramFiles()
{
    std::string text;
    for (const char *file : {"core.dll", "keep.dll", "Skins\\Default\\New.bmp"}) {
        std::string content = UpdateTestFolder::Read(program.File(file));
        std::string state = content == "<missing>" ? "missing"
                            : content == oldCore   ? "old"
                            : content == keep      ? "kept"
                            : content == newCore || content == newBitmap ? "new"
                                                                         : "other";
        text += (text.empty() ? "" : " ") + std::string(file) + ":" + state;
    }
    return text;
}

std::string UpdateRunFixture::Requests()
{
    std::string text;
    for (const std::string &path : http.Requests())
        text += (text.empty() ? "" : " ") + path;
    return text;
}
