#include "KitMissReport.h"

#include <atomic>

namespace {
std::atomic<KitMissObserver> g_observer{nullptr};
}

KitMissObserver SetKitMissObserver(KitMissObserver observer)
{
    return g_observer.exchange(observer);
}

bool HasKitMissObserver()
{
    return g_observer.load() != nullptr;
}

void ReportKitMiss(KitMiss kind, LPCTSTR subject, LPCTSTR detail)
{
    if (KitMissObserver observer = g_observer.load())
        observer(kind, subject ? subject : "", detail ? detail : "");
}
