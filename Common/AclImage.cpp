#include "AclImage.h"

BOOL ComputeAclLayout(const AclCounts &counts, AclLayout *layout)
{
    ULONGLONG offset = sizeof(AclHeader);
    ULONGLONG timeRules = offset;
    offset += sizeof(TimeRule) * (ULONGLONG(counts.Times) + 1);
    ULONGLONG tnetZones = offset;
    offset += sizeof(ZoneEntry) * (ULONGLONG(counts.Tnet) + ACL_SPARE_ENTRIES);
    ULONGLONG bnetZones = offset;
    offset += sizeof(ZoneEntry) * (ULONGLONG(counts.Bnet) + ACL_SPARE_ENTRIES);
    ULONGLONG programRules = offset;
    offset += sizeof(ProgramRule) * (ULONGLONG(counts.Programs) + ACL_SPARE_ENTRIES);
    if (offset > 0xFFFFFFFFu)
        return FALSE;
    layout->TimeRules = DWORD(timeRules);
    layout->TnetZones = DWORD(tnetZones);
    layout->BnetZones = DWORD(bnetZones);
    layout->ProgramRules = DWORD(programRules);
    layout->Size = DWORD(offset);
    return TRUE;
}

BOOL CAclImageView::Attach(void *view, DWORD size, DWORD consoleView)
{
    Detach();
    if (!view || size < sizeof(AclHeader))
        return FALSE;
    m_view = view;
    m_size = size;
    m_consoleView = consoleView;
    return TRUE;
}

void *CAclImageView::Rebase(DWORD consoleAddress) const
{
    DWORD offset = consoleAddress - m_consoleView;
    if (!m_view || consoleAddress == 0 || offset >= m_size)
        return 0;
    return static_cast<char *>(m_view) + offset;
}

// The bytes from the array at the address up to the next array that starts
// after it, or to the end of the block. An array must start past the header,
// on a 32-bit boundary; anything else gives 0 bytes.
DWORD CAclImageView::SectionBytes(DWORD consoleAddress) const
{
    if (!Rebase(consoleAddress))
        return 0;
    DWORD start = consoleAddress - m_consoleView;
    if (start < sizeof(AclHeader) || start % sizeof(DWORD) != 0)
        return 0;
    const AclHeader *header = Header();
    const DWORD arrays[] = {header->TimeRules, header->TnetZones, header->BnetZones,
                            header->ProgramRules};
    DWORD end = m_size;
    for (DWORD address : arrays) {
        DWORD next = address - m_consoleView;
        if (Rebase(address) && next > start && next < end)
            end = next;
    }
    return end - start;
}
