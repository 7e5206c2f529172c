// Where a console password must never show: the message boxes the tests
// answered and the stores' error logs in the program folder.
#pragma once

#include <DialogDriver.h>
#include <ProgramFolderFixture.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string FileText(const CString &path)
{
    std::ifstream file(static_cast<LPCTSTR>(path), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void ExpectPasswordNowhere(const CDialogDriver &driver, const CProgramFolderFixture &folder,
                                  const std::string &password)
{
    for (const BoxRecord &box : driver.Boxes())
        EXPECT_EQ(box.text.find(password), std::string::npos) << "a box shows the password";
    for (LPCSTR log : {"sqlite_err.log", "kv_err.log"})
        EXPECT_EQ(FileText(folder.File(log)).find(password), std::string::npos) << log << " holds the password";
}
