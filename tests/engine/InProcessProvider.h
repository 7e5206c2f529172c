// QFW.DLL inside the test program, which stands for the console: the
// installed catalog names it, the recording control entry hands every call
// on to it, and the test program is its registered console.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "Address32.h"
#include "CatalogFixture.h"
#include "FirewallTypes.h"
#include "ProviderTestSupport.h"
#include "PublisherFixture.h"
#include "SpiIoBlock.h"

class CInProcessProvider {
public:
    CInProcessProvider() = default;
    CInProcessProvider(const CInProcessProvider &) = delete;
    CInProcessProvider &operator=(const CInProcessProvider &) = delete;

    // Writes the catalog, loads the provider of the test folder and
    // registers this program as its console. Fails the test when the
    // provider cannot be loaded.
    void Load()
    {
        const std::string folder = TestFolder();
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(),
                                                           (folder + "TcpipBase.dll").c_str()));
        m_module = LoadLibraryA((folder + "QFW.DLL").c_str());
        ASSERT_NE(nullptr, m_module);
        m_entry = reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module, SPI_IO_CONTROL_NAME)));
        ForwardSpiCalls(m_entry);
        Call(SPI_SET_CONSOLE, 0, GetCurrentProcessId(), AddressToDword(TestProgramPath().c_str()));
    }

    // Ends the provider's work before the rest of the fixture is torn down:
    // it decides nothing more and has no console to ask.
    void StandDown()
    {
        if (!m_module)
            return;
        SetWorkMode(WORK_MODE_OFF);
        Call(SPI_SET_CONSOLE, 0, 0, 0);
    }

    // Once the fixture's publisher is gone: no call is handed on any more,
    // the provider is unloaded and the catalog cleared.
    void Unload()
    {
        ForwardSpiCalls(nullptr);
        if (m_module)
            FreeLibrary(m_module);
        m_module = nullptr;
        m_entry = nullptr;
        CCatalogFixture::Clear();
    }

    void SetWorkMode(DWORD mode) { Call(SPI_SET_WORK_MODE, mode); }

    // The provider's own control entry, for the poller.
    SpiIoControlProc Entry() const { return m_entry; }

private:
    void Call(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0)
    {
        SpiIoBlock block = {value, param1, param2, 0};
        m_entry(code, &block);
    }

    HMODULE m_module = nullptr;
    SpiIoControlProc m_entry = nullptr;
};
