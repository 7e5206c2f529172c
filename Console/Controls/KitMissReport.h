// Reports of what the control kit could not find: a text that Language.ini
// lacks, a format text that does not fit its arguments, a picture that does
// not load. The windows still show an empty text or draw nothing in each
// case; the report only lets a watcher (a test) notice. The program itself
// installs no observer.
#pragma once

#include <windows.h>

enum KitMiss
{
    KIT_MISSING_TEXT,       // subject: the file; detail: "section/key"
    KIT_REFUSED_FORMAT,     // subject: the format text; detail: why
    KIT_PICTURE_NOT_LOADED  // subject: the picture's path; detail: why
};

typedef void (*KitMissObserver)(KitMiss kind, LPCTSTR subject, LPCTSTR detail);

// One observer for the whole process; NULL removes it. Returns the previous one.
KitMissObserver SetKitMissObserver(KitMissObserver observer);
bool HasKitMissObserver();
void ReportKitMiss(KitMiss kind, LPCTSTR subject, LPCTSTR detail);
