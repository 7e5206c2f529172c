#include "RuleImagePublisher.h"

#include <cstring>
#include "AclGate.h"
#include "Address32.h"
#include "DriverInterface.h"
#include "NetvaneControl.h"

CRuleImagePublisher::~CRuleImagePublisher()
{
    if (m_control)
        SetWorkMode(0);
    NetvaneReset();
    if (m_installedDevice)
        NetvaneRemoveService();
}

bool CRuleImagePublisher::Create(const char *providerPath, const AclCounts &counts)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
    } else {
        if (!NetvaneInstallService())
            return false;
        m_installedDevice = true;
    }
    NetvaneReset();
    m_provider = LoadLibraryA(providerPath);
    if (!m_provider)
        return false;
    // void (*)() is the type that any procedure address may pass through.
    m_control = reinterpret_cast<SpiIoControlProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_provider, SPI_IO_CONTROL_NAME)));
    if (!m_control || !ComputeAclLayout(counts, &m_layout))
        return false;
    m_counts = counts;
    m_block = CreateDriverBlock(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, m_layout.Size,
                                "_QFW_MEMORY_ACL_FILE");
    m_view = m_block ? MapDriverBlock(m_block, FILE_MAP_WRITE, 0, 0, 0, 1) : nullptr;
    return m_view != nullptr;
}

bool CRuleImagePublisher::Publish(const std::function<void(CAclImageBuilder &)> &fill)
{
    Control(SPI_SET_ACL_UPDATING, 1);
    memset(m_view, 0, m_layout.Size);
    CAclImageBuilder image(m_view, m_layout.Size, AddressToDword(m_view));
    bool laid = image.Lay(m_counts) != FALSE;
    if (laid)
        fill(image);
    Control(SPI_SET_ACL_INFO, 0, AddressToDword(m_block), AddressToDword(m_view), m_layout.Size);
    Control(SPI_SET_ACL_UPDATING, 0);
    return laid;
}

void CRuleImagePublisher::Edit(const std::function<void(const CAclImageView &)> &patch)
{
    CAclImageView image;
    image.Attach(m_view, m_layout.Size, AddressToDword(m_view));
    CAclGate gate(image.Header());
    gate.LockForWrite();
    patch(image);
    gate.Unlock();
}

void CRuleImagePublisher::SetWorkMode(BYTE mode)
{
    Control(SPI_SET_WORK_MODE, mode);
}

void CRuleImagePublisher::RegisterConsole(DWORD processId)
{
    Control(SPI_SET_CONSOLE, 0, processId, 0);
}

void CRuleImagePublisher::SetUpdating(BYTE updating)
{
    Control(SPI_SET_ACL_UPDATING, updating);
}

void CRuleImagePublisher::Control(DWORD code, DWORD value, DWORD param1, DWORD param2, DWORD param3)
{
    SpiIoBlock block = {value, param1, param2, param3};
    m_control(code, &block);
}
