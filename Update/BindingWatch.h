// CBindingWatch: the running binding of a download, for the dialog thread
// to end from outside. A binding may read on for a long while without a
// report (under Wine a body without a length is read so), and then its
// status callback has no chance to abort it; the step machine's watch over
// downloads that tell nothing ends it through here. The status callback
// attaches the binding on the download thread.
#pragma once

#include <windows.h>
#include <urlmon.h>

class CBindingWatch
{
public:
    CBindingWatch();
    ~CBindingWatch();
    CBindingWatch(const CBindingWatch &) = delete;
    CBindingWatch &operator=(const CBindingWatch &) = delete;

    // The download thread: the binding starts (a binding) and stops (NULL).
    void Attach(IBinding *binding);
    void Detach();

    // Any thread: ends the binding if it still runs.
    void Abort();

private:
    CRITICAL_SECTION m_lock;
    IBinding *m_binding = nullptr;
};
