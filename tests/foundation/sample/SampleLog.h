// The sample program's log: one line per event, appended to the file named
// by QFW_SAMPLE_LOG, so that its test reads what happened and in which order.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

inline void SampleLog(const char *pszFormat, ...)
{
    const char *pszPath = getenv("QFW_SAMPLE_LOG");
    FILE *pFile = pszPath != NULL ? fopen(pszPath, "a") : NULL;
    if (pFile == NULL)
        return;
    va_list args;
    va_start(args, pszFormat);
    vfprintf(pFile, pszFormat, args);
    va_end(args);
    fputc('\n', pFile);
    fclose(pFile);
}
