// Lays out and fills a rule image in a zeroed block, as the console does:
// the tests' stand-in for the console's writer.
#pragma once

#include <AclImage.h>

class CAclImageBuilder {
public:
    // view: the block as the builder writes it; consoleView: the address that
    // the header's pointers are given in (the console's view of the block).
    CAclImageBuilder(void *view, DWORD size, DWORD consoleView);

    // Places the arrays for the counts and writes the header. FALSE when the
    // block is too small.
    BOOL Lay(const AclCounts &counts);

    AclHeader *Header() const { return m_image.Header(); }
    const CAclImageView &Image() const { return m_image; }

    TimeRule *AddTimeRule(DWORD id, DWORD startTime, DWORD endTime, BYTE weekDay);
    ZoneEntry *AddZone(BOOL blocked, DWORD id, BYTE type, DWORD ip1, DWORD ip2,
                       const char *site = "");
    // A rule that passes everything: actions pass, every switch on, no port
    // list, no schedule.
    ProgramRule *AddProgram(DWORD id, const char *path);
    BOOL RemoveZone(BOOL blocked, DWORD id);

private:
    template <class T>
    T *Add(const AclSection<T> &section, DWORD id, DWORD *count);

    void *m_view;
    DWORD m_size;
    DWORD m_consoleView;
    CAclImageView m_image;
};
