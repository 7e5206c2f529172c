// The arithmetic behind the two percent bars: bytes of the current file and
// of the whole run, from the progress reports of successive downloads.
#pragma once

#include "DownloadCallback.h"

class CProgressTally
{
public:
    // A new file begins: its progress counts from 0.
    void StartFile() { m_lastProgress = 0; }
    // A new run: totalSize bytes are to come.
    void StartRun(int totalSize);

    // Takes one report. FALSE when it moves nothing (no progress yet or an
    // unknown length); otherwise the bars' new percents, which a bar ignores
    // when they leave 0..100.
    bool Take(const DownloadProgress &report, int &currentPercent, int &totalPercent);

    int BytesSoFar() const { return m_bytesSoFar; }
    int TotalSize() const { return m_totalSize; }

private:
    ULONG m_lastProgress = 0;
    int m_bytesSoFar = 0;
    int m_totalSize = 0;
};
