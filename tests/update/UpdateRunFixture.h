// One update run of the step machine in a temporary program folder against
// a loopback update server: a release of a changed file, a new file in a
// sub-folder and an unchanged one, and the stand-in console as QFW.exe.
#pragma once

#include "LoopbackHttpServer.h"
#include "ReleaseDescription.h"
#include "Standin.h"
#include "StepsHarness.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// ProgramFiles() before and after the release is installed.
inline constexpr char kOldFiles[] = "core.dll:old keep.dll:kept Skins\\Default\\New.bmp:missing";
inline constexpr char kNewFiles[] = "core.dll:new keep.dll:kept Skins\\Default\\New.bmp:new";

class UpdateRunFixture : public ::testing::Test
{
public:
    UpdateRunFixture();
    ~UpdateRunFixture() override;

    // The installed release 1.0 and the server's release 2.0.
    ReleaseDescription installed, server;
    const std::string oldCore = "core 1.0", newCore = PatternBytes(3000, 'c');
    const std::string newBitmap = PatternBytes(200, 'n'), keep = "keep 1.0";

    UpdateTestFolder program{"run"};
    LoopbackHttpServer http;
    std::unique_ptr<ProgramCopy> console;
    std::unique_ptr<StepsHarness> harness;
    // Files held open by the test, released before the folder goes.
    std::vector<std::unique_ptr<FileLock>> locks;

    // Writes the installed files and QfwUpdate.ini, and serves the release.
    void Publish();
    // Makes a folder below the program folder that no clean-up removes while
    // the test runs: a file in it is held open.
    void HoldFolder(const std::string &relative);
    // Starts the stand-in console from the program folder.
    void StartConsole();
    // Runs a fresh step machine until the run ends; the steps run.
    std::string Run(DWORD milliseconds = 60000);
    std::string Events(const char *prefix) { return harness->View().Only(prefix); }
    // The program files the release touches, as they are now.
    std::string ProgramFiles();
    std::string Requests();
};
