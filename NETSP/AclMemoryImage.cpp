// Mapping the console's rule image into this process and the reader gate.
#include "AclMemory.h"
#include <Address32.h>
#include <DriverInterface.h>
#include <NullDacl.h>

namespace {

const char kAclBlockName[] = "_QFW_MEMORY_ACL_FILE";

} // namespace

// A rebuild that never ends (its console died, or its announcement failed)
// must not hold up socket calls: after a bounded wait the image counts as
// unavailable and the call goes on without it.
BOOL CAclMemory::WaitWhileUpdating()
{
    for (int step = 0; LoadShared(m_control->AclUpdating); ++step) {
        if (step == IMAGE_WAIT_STEPS)
            return FALSE;
        m_sleep(ACL_WAIT_STEP_MS);
    }
    return TRUE;
}

CAclMemory::Announcement CAclMemory::CurrentAnnouncement() const
{
    Announcement announced = {m_control->AclGeneration, m_control->AclHandle,
                              m_control->AclConsoleView, m_control->AclSize};
    return announced;
}

BOOL CAclMemory::Open()
{
    if (!WaitWhileUpdating())
        return FALSE;
    Announcement announced = CurrentAnnouncement();
    if (announced.Handle == 0)
        return FALSE;
    if (m_image.IsAttached()) {
        if (memcmp(&announced, &m_mapped, sizeof announced) == 0)
            return TRUE;
        // The console has published another image since (it restarted):
        // forget the old block, and the driver's caches of it, and map anew.
        DropMapping();
    }
    return MapBlock(announced);
}

BOOL CAclMemory::MapBlock(const Announcement &announced)
{
    // The driver looks only at the size, and gives the console's block when
    // the sizes agree.
    HANDLE block = CreateDriverBlock(INVALID_HANDLE_VALUE, GetNullDaclAttributes(), PAGE_READWRITE,
                                     0, announced.Size, kAclBlockName);
    // The console made the block; a provider that would make one is refused.
    if (!block || GetLastError() != ERROR_ALREADY_EXISTS)
        return FALSE;
    void *view = MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, 0, 0);
    if (!view || !m_image.Attach(view, announced.Size, announced.ConsoleView)) {
        // Start afresh at the next call: a kept handle may stand for a block
        // that the driver has replaced since.
        CloseDriverBlock(block);
        return FALSE;
    }
    m_block = block;
    m_mapped = announced;
    return TRUE;
}

void CAclMemory::DropMapping()
{
    DriverIoctlDword(m_block, IOCTL_NETVANE_UNMAP_BLOCK, AddressToDword(m_image.Header()));
    CloseDriverBlock(m_block);
    m_block = 0;
    m_image.Detach();
    m_mapped = Announcement();
}

void *CAclMemory::Rebase(DWORD consoleAddress) const
{
    return m_image.Rebase(consoleAddress);
}

BOOL CAclMemory::BeginRead()
{
    if (!Open() || !m_image.IsAttached() || LoadShared(m_control->AclUpdating))
        return FALSE;
    CAclGate gate(m_image.Header(), m_sleep);
    for (int step = 0; !gate.TryEnterRead(); ++step) {
        if (step == IMAGE_WAIT_STEPS)
            return FALSE;
        m_sleep(ACL_WAIT_STEP_MS);
        if (LoadShared(m_control->AclUpdating))
            return FALSE;
    }
    return TRUE;
}

void CAclMemory::EndRead()
{
    if (m_image.IsAttached())
        CAclGate(m_image.Header(), m_sleep).LeaveRead();
}
