// Mapping the console's rule image into this process and the reader gate.
#include "AclMemory.h"
#include <Address32.h>
#include <DriverInterface.h>
#include <NullDacl.h>

namespace {

const char kAclBlockName[] = "_QFW_MEMORY_ACL_FILE";

} // namespace

// A rebuild that never ends (its console died, or its announcement failed)
// must not hold up socket calls: after a bounded wait the image is read as it
// stands, every walk of it being bounded by the block, and the flag is known
// as stuck until it changes.
BOOL CAclMemory::WaitWhileUpdating()
{
    for (int step = 0; LoadShared(m_control->AclUpdating); ++step) {
        if (UpdatingIsStuck())
            return TRUE;
        if (step == IMAGE_WAIT_STEPS) {
            m_stuck.Updating = TRUE;
            m_stuck.Generation = m_control->AclGeneration;
            return TRUE;
        }
        m_sleep(ACL_WAIT_STEP_MS);
    }
    m_stuck.Updating = FALSE;
    return TRUE;
}

BOOL CAclMemory::UpdatingIsStuck() const
{
    return m_stuck.Updating && LoadShared(m_control->AclUpdating) &&
           m_stuck.Generation == m_control->AclGeneration;
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
    if (!Open() || !m_image.IsAttached())
        return FALSE;
    // A rebuild that began after Open looked: the image is being rewritten.
    if (LoadShared(m_control->AclUpdating) && !UpdatingIsStuck())
        return FALSE;
    return EnterGate();
}

// Enters as a counted reader; past a writer flag that a bounded wait found
// stuck, reads without being counted, as the writer that set it is gone.
BOOL CAclMemory::EnterGate()
{
    CAclGate gate(m_image.Header(), m_sleep);
    for (int step = 0; !gate.TryEnterRead(); ++step) {
        LONG word = gate.Word();
        if (m_stuck.Gate && word == m_stuck.GateWord) {
            ++m_uncountedReads;
            return TRUE;
        }
        if (step == IMAGE_WAIT_STEPS) {
            m_stuck.Gate = TRUE;
            m_stuck.GateWord = word;
            ++m_uncountedReads;
            return TRUE;
        }
        m_sleep(ACL_WAIT_STEP_MS);
        if (LoadShared(m_control->AclUpdating) && !UpdatingIsStuck())
            return FALSE;
    }
    m_stuck.Gate = FALSE;
    return TRUE;
}

void CAclMemory::EndRead()
{
    if (m_uncountedReads > 0)
        --m_uncountedReads;
    else if (m_image.IsAttached())
        CAclGate(m_image.Header(), m_sleep).LeaveRead();
}
