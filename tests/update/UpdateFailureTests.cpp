#include "UpdateManifest.h"
#include "UpdateMarkers.h"
#include "UpdateRunFixture.h"

#include <cctype>
#include <functional>

namespace {

struct FailureRow {
    const char *name;
    std::function<void(UpdateRunFixture &)> setUp;  // after the release is laid out
    const char *ending;        // the box shown, or the text the run stopped at
    const char *files;         // the program files afterwards
    const char *requests;      // the server's log, or null when it does not matter
};

class UpdateFailure : public UpdateRunFixture, public ::testing::WithParamInterface<FailureRow>
{
protected:
    void Check(const FailureRow &row)
    {
        SCOPED_TRACE(row.name);
        installedText = installed.Text();
        Run();
        const std::vector<std::string> &events = harness->View().events;
        std::string boxes = Events("box:");
        std::string ending = boxes.empty() && !events.empty() ? LastText() : boxes;
        EXPECT_EQ(row.ending, ending);
        EXPECT_EQ(row.files, ProgramFiles());
        if (row.requests) {
            EXPECT_EQ(row.requests, Requests());
        }
        // The installed description is the old one, and a working copy left
        // behind still reads.
        if (program.Exists("QfwUpdate.ini")) {
            EXPECT_EQ(installedText, UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
        }
        if (installed.withMarker && program.Exists("UpdateTemp\\QfwUpdate.ini")) {
            CUpdateManifest working;
            EXPECT_TRUE(working.ReadLocal(program.File("UpdateTemp\\QfwUpdate.ini").c_str()));
        }
    }

    std::string LastText()
    {
        std::string texts = Events("text:");
        return texts.substr(texts.rfind(' ') + 1);
    }

    std::string installedText;
};

const char kCheck[] = "/release/QfwUpdate.ini";

const FailureRow kFailureRows[] = {
    {"no installed description",
     [](UpdateRunFixture &f) { DeleteFileA(f.program.File("QfwUpdate.ini").c_str()); },
     "box:ERROR_BAD_LOCAL_CONFIG_FILE", kOldFiles, ""},
    {"an installed description without its marker",
     [](UpdateRunFixture &f) {
         f.installed.withMarker = false;
         f.program.Write("QfwUpdate.ini", f.installed.Text());
     },
     "box:ERROR_BAD_LOCAL_CONFIG_FILE", kOldFiles, ""},
    {"the server's description missing",
     [](UpdateRunFixture &f) { f.http.Serve(kCheck, "", LoopbackHttpServer::NOT_FOUND); },
     "box:ERR_CHECK_FAILED", kOldFiles, "/release/QfwUpdate.ini"},
    {"the server's description cut before its end",
     [](UpdateRunFixture &f) {
         std::string text = f.server.Text();
         f.http.Serve(kCheck, text.substr(0, text.find("[END_FLAG]")));
     },
     "box:ERR_CHECK_FAILED", kOldFiles, "/release/QfwUpdate.ini"},
    {"the server's description cut off on the way",
     [](UpdateRunFixture &f) {
         f.http.Serve(kCheck, f.server.Text(), LoopbackHttpServer::CUT_SHORT);
     },
     "box:ERR_CHECK_FAILED", kOldFiles, "/release/QfwUpdate.ini"},
    {"the server's description names a file outside the folder",
     [](UpdateRunFixture &f) {
         f.server.files.push_back({"..\\outside.dll", "1", "1"});
         f.http.Serve(kCheck, f.server.Text());
     },
     "box:ERR_CHECK_FAILED", kOldFiles, "/release/QfwUpdate.ini"},
    {"a file not found",
     [](UpdateRunFixture &f) {
         f.http.Serve("/mirror/core.dll", "", LoopbackHttpServer::NOT_FOUND);
     },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles,
     "/release/QfwUpdate.ini /mirror/core.dll /mirror/Skins/Default/New.bmp"},
    {"a file a byte short",
     [](UpdateRunFixture &f) { f.http.Serve("/mirror/core.dll", f.newCore.substr(1)); },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles, nullptr},
    {"a file cut off on the way",
     [](UpdateRunFixture &f) {
         f.http.Serve("/mirror/core.dll", f.newCore, LoopbackHttpServer::CUT_SHORT);
     },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles, nullptr},
    {"no mirrors",
     [](UpdateRunFixture &f) {
         f.server.mirrors.clear();
         f.http.Serve(kCheck, f.server.Text());
     },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles, "/release/QfwUpdate.ini"},
    {"a working copy that cannot be rewritten",
     [](UpdateRunFixture &f) { f.HoldFolder("UpdateTemp\\QfwUpdate.ini.new"); },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles, nullptr},
    {"a fetched file that cannot be placed",
     [](UpdateRunFixture &f) { f.HoldFolder("UpdateTemp\\core.dll"); },
     "box:ERR_DOWNLOAD_FAILED", kOldFiles, nullptr},
    {"only files left from an earlier run",
     [](UpdateRunFixture &f) {
         f.http.Serve(kCheck, f.installed.Text());
         f.program.Write("UpdateTemp\\left.dll", "left");
     },
     "box:INF_NO_NEW_VERSION", kOldFiles, "/release/QfwUpdate.ini"},
};

TEST_P(UpdateFailure, EndsInItsBoxOrStopWithTheProgramFilesUnchanged)
{
    Publish();
    GetParam().setUp(*this);
    Check(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, UpdateFailure, ::testing::ValuesIn(kFailureRows),
                         [](const ::testing::TestParamInfo<FailureRow> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; ++c)
                                 name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

} // namespace
