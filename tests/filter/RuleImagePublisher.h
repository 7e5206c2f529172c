// Plays the console for the filter tests: one rule-image block in the
// emulated driver for the whole test program, laid out afresh for each test
// and announced to QFW.DLL through its control entry, as the console's
// rebuild does.
#pragma once

#include <windows.h>
#include <functional>
#include "AclImageBuilder.h"
#include "SpiIoBlock.h"

class CRuleImagePublisher {
public:
    CRuleImagePublisher() = default;
    ~CRuleImagePublisher();
    CRuleImagePublisher(const CRuleImagePublisher &) = delete;
    CRuleImagePublisher &operator=(const CRuleImagePublisher &) = delete;

    // Installs the emulated device when it is missing, loads the provider
    // library and makes the block, big enough for the counts.
    bool Create(const char *providerPath, const AclCounts &counts);

    // Rewrites the image under the provider's update flag: fill adds the
    // entries, then the image is announced.
    bool Publish(const std::function<void(CAclImageBuilder &)> &fill);
    // Changes the published image in place under its writer flag, as the
    // console's edits do: no new announcement.
    void Edit(const std::function<void(const CAclImageView &)> &patch);
    void SetWorkMode(BYTE mode);
    // Registers the console's process (0: none), without a path.
    void RegisterConsole(DWORD processId);
    // Raises or lowers the provider's update flag, as a rebuild does.
    void SetUpdating(BYTE updating);
    // The image's header, with its writer flag and reader count.
    AclHeader *Header() const { return static_cast<AclHeader *>(m_view); }

private:
    void Control(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0, DWORD param3 = 0);

    HMODULE m_provider = nullptr;
    SpiIoControlProc m_control = nullptr;
    bool m_installedDevice = false;
    AclCounts m_counts = {};
    AclLayout m_layout = {};
    HANDLE m_block = nullptr;
    void *m_view = nullptr;
};
