#include "ReleaseDescription.h"

std::string ReleaseDescription::Text() const
{
    std::string text = "[MAIN_INFOR]\r\nVersion=" + version + "\r\nSWVersion=" + swVersion +
                       "\r\nUpdateTime=" + updateTime + "\r\nCheckVeisionUrl=" + checkUrl + "\r\n";
    text += "[FILES]\r\nNumber=" + (fileNumber.empty() ? std::to_string(files.size()) : fileNumber) +
            "\r\n";
    for (size_t i = 0; i < files.size(); ++i) {
        std::string n = std::to_string(i + 1);
        text += n + "_file=" + files[i].file + "\r\n" + n + "_modify_time=" +
                files[i].modify_time + "\r\n" + n + "_size=" + files[i].size + "\r\n" + n +
                "_rar_size=7\r\n";
    }
    text += "[SFILES]\r\nNumber=" + std::to_string(programs.size()) + "\r\n";
    for (size_t i = 0; i < programs.size(); ++i) {
        std::string n = std::to_string(i + 1);
        text += n + "_FileName=" + programs[i].fileName + "\r\n" + n + "_MName=" +
                programs[i].mutexName + "\r\n" + n + "_MID=" + programs[i].message + "\r\n" + n +
                "_W1=1\r\n" + n + "_W2=2\r\n";
    }
    text += "[DOWNLOAD_URL]\r\nNumber=" + std::to_string(mirrors.size()) + "\r\n";
    for (size_t i = 0; i < mirrors.size(); ++i)
        text += std::to_string(i + 1) + "=" + mirrors[i] + "\r\n";
    if (withMarker)
        text += "[END_FLAG]\r\nMARK_STR=" + marker + "\r\n";
    return text;
}

ReleaseFile FileOf(const std::string &file, const std::string &time, const std::string &content)
{
    return ReleaseFile{file, time, std::to_string(content.size())};
}
