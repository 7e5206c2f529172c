// Records the control kit's reports of misses while it lives.
#pragma once

#include <KitMissReport.h>

#include <string>
#include <vector>

class KitMissRecorder
{
public:
    struct Miss
    {
        KitMiss kind;
        std::string subject;
        std::string detail;
    };

    KitMissRecorder() { s_misses.clear(); m_previous = SetKitMissObserver(&Record); }
    ~KitMissRecorder() { SetKitMissObserver(m_previous); }

    const std::vector<Miss> &Misses() const { return s_misses; }

private:
    static void Record(KitMiss kind, LPCTSTR subject, LPCTSTR detail)
    {
        s_misses.push_back({kind, subject, detail});
    }

    static inline std::vector<Miss> s_misses;
    KitMissObserver m_previous;
};
