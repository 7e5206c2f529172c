#include "UpdateManifest.h"
#include "UpdateRunFixture.h"

namespace {

// The installed description, as the console and the next run read it.
std::string Installed(const UpdateTestFolder &program, CUpdateManifest &manifest)
{
    EXPECT_TRUE(manifest.ReadLocal(program.File("QfwUpdate.ini").c_str()));
    std::string files;
    for (const ManifestFile &entry : manifest.m_localFiles)
        files += (files.empty() ? "" : " ") + std::string(entry.file) + "@" +
                 static_cast<LPCSTR>(entry.modify_time);
    return files;
}

using UpdateRun = UpdateRunFixture;

TEST_F(UpdateRun, AWholeUpdateInstallsTheReleaseAndRestartsTheConsole)
{
    Publish();
    StartConsole();
    std::string steps = Run();
    EXPECT_EQ("0 2 3 5 8 9 10 10 11 14 16 17 19 20 21 23 24", steps);
    EXPECT_EQ("text:MINFOR_CHECK text:STEP_DOWNLOAD text:STEP_DOWNLOAD text:STEP_STOP_EXX "
              "text:STEP_BACK text:STEP_BACK text:STEP_UPDATE text:STEP_CLEAR text:STEP_RESTART "
              "text:STEP_RESTART_OK",
              Events("text:"));
    EXPECT_EQ("", Events("box:"));
    EXPECT_TRUE(harness->Closed());
    EXPECT_EQ("/release/QfwUpdate.ini /mirror/core.dll /mirror/Skins/Default/New.bmp", Requests());
    EXPECT_EQ("name:QfwUpdate.ini name:core.dll name:New.bmp", Events("name:"));
    EXPECT_EQ("total:100", Events("total:").substr(Events("total:").rfind(' ') + 1));

    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ(oldCore, UpdateTestFolder::Read(program.File("UpdateBack\\core.dll")));
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("UpdateBack\\QfwUpdate.ini")));
    EXPECT_FALSE(program.Exists("UpdateBack\\keep.dll"));  // not part of this install
    EXPECT_FALSE(program.Exists("UpdateTemp"));

    CUpdateManifest manifest;
    EXPECT_EQ("core.dll@2004-02-01 10:00 keep.dll@2004-01-01 10:00 gone.dll@2003-01-01 "
              "Skins\\Default\\New.bmp@2004-02-01 10:00",
              Installed(program, manifest));
    EXPECT_STREQ("2.0", manifest.m_strVersion);
    EXPECT_STREQ("sw-1", manifest.m_strSWVersion);
    EXPECT_STREQ("2004-02-02", manifest.m_strUpdateTime);
    EXPECT_EQ(std::string::npos,
              UpdateTestFolder::Read(program.File("QfwUpdate.ini")).find("SFILES"));

    EXPECT_EQ(0u, console->WaitForExit(5000));
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));

    // Right after, there is nothing new.
    EXPECT_EQ("0 2 3 6", Run());
    EXPECT_EQ("box:INF_NO_NEW_VERSION", Events("box:"));
    EXPECT_TRUE(harness->Closed());
    EXPECT_FALSE(program.Exists("UpdateTemp"));
}

TEST_F(UpdateRun, WithoutARunningConsoleNoneIsAskedAndOneIsStarted)
{
    Publish();
    ProgramCopy copy(program.Path(), "QFW.exe");
    EXPECT_EQ("0 2 3 5 8 9 10 10 11 15 19 20 21 23 24", Run());
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("start A", StandinLog(program.Path()));
    EXPECT_EQ("", Events("text:STEP_STOP_EXX"));
}


TEST_F(UpdateRun, AfterAFailedFileTheNextRunStartsAgainFromTheInstalledRelease)
{
    Publish();
    http.Serve("/mirror/core.dll", "", LoopbackHttpServer::NOT_FOUND);
    Run();
    EXPECT_EQ("box:ERR_DOWNLOAD_FAILED", Events("box:"));
    EXPECT_EQ(newBitmap, UpdateTestFolder::Read(program.File("UpdateTemp\\Skins\\Default\\New.bmp")));

    // What the failed run fetched is fetched again: only installed files
    // count as current.
    http.Serve("/mirror/core.dll", newCore);
    ProgramCopy copy(program.Path(), "QFW.exe");
    Run();
    EXPECT_EQ("/release/QfwUpdate.ini /mirror/core.dll /mirror/Skins/Default/New.bmp "
              "/release/QfwUpdate.ini /mirror/core.dll /mirror/Skins/Default/New.bmp",
              Requests());
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
}

TEST_F(UpdateRun, AFileThatCannotBeReplacedRestoresTheBackUpAndRestartsTheConsole)
{
    Publish();
    StartConsole();
    std::string steps;
    {
        // Readable, so the back-up takes it, but not deletable.
        FileLock held(program.File("core.dll"), FILE_SHARE_READ);
        ASSERT_TRUE(held.Held());
        steps = Run();
    }
    EXPECT_EQ("22", steps.substr(steps.rfind(' ') + 1));
    EXPECT_EQ("box:ERR_INSTALL_FAILED", Events("box:"));
    EXPECT_TRUE(harness->Closed());
    // The new file stays; every file that was there is as it was.
    EXPECT_EQ("core.dll:old keep.dll:kept Skins\\Default\\New.bmp:new", ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    EXPECT_FALSE(program.Exists("UpdateBack"));
    EXPECT_TRUE(program.Exists("UpdateTemp\\core.dll"));
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
}

TEST_F(UpdateRun, AFileThatCannotBeBackedUpReplacesNothing)
{
    Publish();
    StartConsole();
    program.Write("UpdateBack\\stale.dll", "from an older install");
    std::string steps;
    {
        FileLock held(program.File("core.dll"));
        ASSERT_TRUE(held.Held());
        steps = Run();
    }
    EXPECT_EQ("0 2 3 5 8 9 10 10 11 14 16 17 19 20 22", steps);
    EXPECT_EQ("box:ERR_INSTALL_FAILED", Events("box:"));
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    EXPECT_FALSE(program.Exists("UpdateBack"));
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
}

TEST_F(UpdateRun, TheBackUpHoldsOnlyThisInstallsFiles)
{
    Publish();
    program.Write("UpdateBack\\stale.dll", "from an older install");
    ProgramCopy copy(program.Path(), "QFW.exe");
    Run();
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_FALSE(program.Exists("UpdateBack\\stale.dll"));
    EXPECT_TRUE(program.Exists("UpdateBack\\core.dll"));
}

TEST_F(UpdateRun, AHeldIdleTimeLibraryIsLeftAsItIs)
{
    server.files.push_back(FileOf("idlewatch.dll", "2004-02-01", "idle 2.0"));
    installed.files.push_back(FileOf("idlewatch.dll", "2004-01-01", "idle 1.0"));
    Publish();
    program.Write("idlewatch.dll", "idle 1.0");
    http.Serve("/mirror/idlewatch.dll", "idle 2.0");
    ProgramCopy copy(program.Path(), "QFW.exe");
    {
        FileLock held(program.File("idlewatch.dll"), FILE_SHARE_READ);
        Run();
    }
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("idle 1.0", UpdateTestFolder::Read(program.File("idlewatch.dll")));
    // It is not recorded as installed: once free, the next run installs it.
    CUpdateManifest manifest;
    EXPECT_EQ("core.dll@2004-02-01 10:00 keep.dll@2004-01-01 10:00 gone.dll@2003-01-01 "
              "Skins\\Default\\New.bmp@2004-02-01 10:00",
              Installed(program, manifest));
    Run();
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
    EXPECT_EQ("idle 2.0", UpdateTestFolder::Read(program.File("idlewatch.dll")));
    EXPECT_NE(std::string::npos, Installed(program, manifest).find("idlewatch.dll@2004-02-01"));
}

TEST_F(UpdateRun, AProgramWithoutAFileNameIsNeverWaitedForOrEnded)
{
    server.programs.insert(server.programs.begin(), {"", "", "0"});
    Publish();
    StartConsole();
    Run();
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
    RecordingView &view = harness->View();
    EXPECT_LT(view.TickOf("text:STEP_BACK") - view.TickOf("text:STEP_STOP_EXX"), 5000u);
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
}

TEST_F(UpdateRun, AnEmptyServerAddressWaitsAtTheCheck)
{
    installed.checkUrl = "";
    Publish();
    harness.reset(new StepsHarness(true));
    harness->Steps().Begin(program.Path().c_str());
    harness->PumpUntil([] { return false; }, 2000);
    EXPECT_EQ(2, harness->Steps().Step());
    EXPECT_EQ("text:MINFOR_CHECK", Events("text:"));
    EXPECT_EQ("", Events("box:"));
    EXPECT_EQ("", Requests());
    EXPECT_TRUE(harness->Close());
    EXPECT_EQ(kOldFiles, ProgramFiles());
}

TEST_F(UpdateRun, AReleaseOfFilesWithoutBytesIsStillFetched)
{
    server.files = {FileOf("empty.txt", "2004-02-01", "")};
    Publish();
    http.Serve("/mirror/empty.txt", "");
    ProgramCopy copy(program.Path(), "QFW.exe");
    EXPECT_EQ("0 2 3 5 8 9 10 11 15 19 20 21 23 24", Run());
    EXPECT_EQ("", UpdateTestFolder::Read(program.File("empty.txt")));
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
}

TEST_F(UpdateRun, AFileThatCannotBePlacedIsNotRecordedAsFetched)
{
    Publish();
    HoldFolder("UpdateTemp\\core.dll");
    Run();
    EXPECT_EQ("box:ERR_DOWNLOAD_FAILED", Events("box:"));
    CUpdateManifest working;
    ASSERT_TRUE(working.ReadLocal(program.File("UpdateTemp\\QfwUpdate.ini").c_str()));
    std::string listed;
    for (const ManifestFile &entry : working.m_localFiles)
        listed += (listed.empty() ? "" : " ") + std::string(entry.file);
    EXPECT_EQ("keep.dll gone.dll Skins\\Default\\New.bmp", listed);

    // Once the way is clear, the next run fetches it.
    locks.clear();
    ProgramCopy copy(program.Path(), "QFW.exe");
    Run();
    EXPECT_EQ(kNewFiles, ProgramFiles());
}

} // namespace
