// A client program run to its end on a thread of its own, so that the
// test's thread can answer the questions it raises meanwhile.
#pragma once

#include "LoopbackClient.h"

#include <GuiPump.h>

#include <string>

class CClientRun {
public:
    // Started in the folder given, or in this process's current one.
    explicit CClientRun(const std::string &arguments, const std::string &program = TestFolder() + "wsclient.exe",
                        const std::string &folder = "")
        : m_program(program), m_arguments(arguments), m_folder(folder)
    {
        m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
    }
    ~CClientRun() { Wait(); }
    CClientRun(const CClientRun &) = delete;
    CClientRun &operator=(const CClientRun &) = delete;

    bool Ended() const { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }
    // The client's exit code once it ended, this thread's windows kept
    // running meanwhile.
    int Wait()
    {
        if (m_thread) {
            while (WaitForSingleObject(m_thread, 0) != WAIT_OBJECT_0)
                PumpFor(50);
            CloseHandle(m_thread);
            m_thread = NULL;
        }
        return m_code;
    }
    const std::string &Output() const { return m_output; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        CClientRun *run = static_cast<CClientRun *>(self);
        run->m_code = RunProgram(run->m_program, run->m_arguments, run->m_output,
                                 run->m_folder.empty() ? NULL : run->m_folder.c_str());
        return 0;
    }

    std::string m_program;
    std::string m_arguments;
    std::string m_folder;
    std::string m_output;
    int m_code = -1;
    HANDLE m_thread;
};
