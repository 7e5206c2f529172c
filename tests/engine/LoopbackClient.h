// What the end-to-end tests share: running the Winsock client program of
// the test folder to its end, and loopback listeners outside the provider
// for it to reach.
#pragma once

#include <winsock2.h>

#include <string>

#include "ProviderTestSupport.h"

// Runs a program to its end, in the folder given or this process's current
// one: its exit code, and what it wrote to its standard output and error in
// output; -1 when it did not end within two minutes.
inline int RunProgram(const std::string &program, const std::string &arguments, std::string &output,
                      const char *folder = NULL)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::string command = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, folder, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return -1;
    }
    char buffer[512];
    DWORD got;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, NULL) && got)
        output.append(buffer, got);
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 9);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// Runs the Winsock client of the test folder to its end, as RunProgram.
inline int RunClient(const std::string &arguments, std::string &output)
{
    return RunProgram(TestFolder() + "wsclient.exe", arguments, output);
}

// A TCP socket of this process, outside the provider, listening on
// loopback at the port, or at one the system picks when the port is 0.
// The caller has started Winsock.
inline SOCKET ListenOnLoopback(WORD port, int backlog)
{
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    listen(listener, backlog);
    return listener;
}

// A loopback listener of this process, outside the provider.
class CListener {
public:
    CListener()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = ListenOnLoopback(0, 4);
        sockaddr_in address = {};
        int length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~CListener()
    {
        closesocket(m_socket);
        WSACleanup();
    }
    CListener(const CListener &) = delete;
    CListener &operator=(const CListener &) = delete;

    WORD Port() const { return m_port; }

    // What the first waiting connection sent, or "" when none waits.
    std::string Received()
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_socket, &readable);
        timeval none = {0, 0};
        if (select(0, &readable, NULL, NULL, &none) != 1)
            return "";
        SOCKET peer = accept(m_socket, NULL, NULL);
        std::string data;
        char buffer[256];
        int got;
        while ((got = recv(peer, buffer, sizeof buffer, 0)) > 0)
            data.append(buffer, got);
        closesocket(peer);
        return data;
    }

private:
    SOCKET m_socket;
    WORD m_port = 0;
};
