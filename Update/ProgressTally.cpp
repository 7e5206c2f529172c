#include "ProgressTally.h"

void CProgressTally::StartRun(int totalSize)
{
    m_bytesSoFar = 0;
    m_totalSize = totalSize;
}

bool CProgressTally::Take(const DownloadProgress &report, int &currentPercent, int &totalPercent)
{
    if (report.ulProgress == 0 || report.ulProgressMax == 0)
        return false;
    // Unsigned arithmetic: a server that reports less than before wraps
    // instead of overflowing.
    m_bytesSoFar = static_cast<int>(static_cast<ULONG>(m_bytesSoFar) + report.ulProgress -
                                    m_lastProgress);
    m_lastProgress = report.ulProgress;
    currentPercent = static_cast<int>(static_cast<double>(report.ulProgress) /
                                      report.ulProgressMax * 100);
    totalPercent = m_totalSize != 0
                       ? static_cast<int>(static_cast<double>(m_bytesSoFar) / m_totalSize * 100)
                       : 0;
    return true;
}
