// Builds the text of an update description, as the release publisher would
// write a server copy or an installation ships its QfwUpdate.ini.
#pragma once

#include <string>
#include <vector>

struct ReleaseFile {
    std::string file;
    std::string modify_time;
    std::string size;          // as written, so that tests can give odd values
};

struct ReleaseProgram {
    std::string fileName;
    std::string mutexName;
    std::string message;
};

struct ReleaseDescription {
    std::string version = "1.0";
    std::string swVersion = "1.0";
    std::string updateTime = "2004-05-01";
    std::string checkUrl;
    std::vector<ReleaseFile> files;
    std::vector<ReleaseProgram> programs;
    std::vector<std::string> mirrors;
    std::string marker = "{9075D242-9EA9-4ca3-AE3C-5D4FAE69A9AE}";
    bool withMarker = true;
    // Replaces the count of files when not empty.
    std::string fileNumber;

    std::string Text() const;
};

// A release file entry whose size is the given content's.
ReleaseFile FileOf(const std::string &file, const std::string &time, const std::string &content);
