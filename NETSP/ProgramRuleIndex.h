// The process's index of the rule image's program rules by path, so that a
// decision finds its program's rule without comparing its path with every
// rule's. The image is the truth: a rule that the index names is checked
// against the image entry, ID and path, before it is used, and when the
// index finds none, it is rebuilt if the rules' IDs or places changed since
// (a rule added or removed in place) or the image was rebuilt (a new
// generation), and asked again. The console never gives a rule another path
// in place: a rule's ID stands for its path. Equal paths are those of
// PathEqualsNoCase; the first of several equal rules wins, as a walk of the
// array would find.
//
// Used under the image's reader gate and the process's decision lock.
#pragma once

#include <AclImage.h>
#include <vector>

class CProgramRuleIndex {
public:
    // The rule for the path as the array of the image's generation stands
    // now, or null.
    const ProgramRule *Find(const AclSection<ProgramRule> &rules, DWORD generation, const char *path);

private:
    struct Slot {
        DWORD Hash;
        DWORD Position;
        DWORD Id;
    };
    struct Shape {
        DWORD Generation;
        const ProgramRule *First;
        DWORD Capacity;
        DWORD Count;
        DWORD IdSum; // the IDs weighted by their places

        bool operator==(const Shape &other) const
        {
            return Generation == other.Generation && First == other.First && Capacity == other.Capacity && Count == other.Count &&
                   IdSum == other.IdSum;
        }
    };

    static Shape ShapeOf(const AclSection<ProgramRule> &rules, DWORD generation);
    void Rebuild(const AclSection<ProgramRule> &rules, const Shape &shape);
    // The rule of the path among those the index names, checked against the
    // image entry; null when none holds.
    const ProgramRule *Look(const AclSection<ProgramRule> &rules, DWORD hash, const char *path) const;

    std::vector<Slot> m_slots; // by hash, then by place
    Shape m_shape = {};
    bool m_built = false;
};

// The hash under which equal paths (see PathEqualsNoCase) fall together.
DWORD PathHash(const char *path, UINT codePage = CP_ACP);
