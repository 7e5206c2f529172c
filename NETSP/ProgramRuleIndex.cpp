#include "ProgramRuleIndex.h"

#include <algorithm>
#include <cstring>
#include "PathEquals.h"

namespace {

bool IsTerminated(const ProgramRule &rule)
{
    return memchr(rule.Path, 0, sizeof rule.Path) != 0;
}

} // namespace

// Letters folded as PathEqualsNoCase folds them; a double-byte character
// whole, so that its trail byte is never folded.
DWORD PathHash(const char *path, UINT codePage)
{
    DWORD hash = 2166136261u;
    for (const BYTE *p = reinterpret_cast<const BYTE *>(path); *p; ++p) {
        BYTE c = *p;
        if (c >= 'a' && c <= 'z')
            c = BYTE(c - 'a' + 'A');
        hash = (hash ^ c) * 16777619u;
        if (c > 0x7F && IsDBCSLeadByteEx(codePage, c)) {
            if (!p[1])
                break;
            ++p;
            hash = (hash ^ *p) * 16777619u;
        }
    }
    return hash;
}

CProgramRuleIndex::Shape CProgramRuleIndex::ShapeOf(const AclSection<ProgramRule> &rules, DWORD generation)
{
    Shape shape = {generation, rules.First, rules.Capacity, 0, 0};
    for (const ProgramRule *rule = rules.begin(); rule != rules.end() && rule->ID != 0; ++rule)
        shape.IdSum += rule->ID * ++shape.Count;
    return shape;
}

void CProgramRuleIndex::Rebuild(const AclSection<ProgramRule> &rules, const Shape &shape)
{
    m_slots.clear();
    m_slots.reserve(shape.Count);
    for (DWORD i = 0; i < shape.Count; ++i) {
        const ProgramRule &rule = rules.First[i];
        if (IsTerminated(rule))
            m_slots.push_back(Slot{PathHash(rule.Path), i, rule.ID});
    }
    std::sort(m_slots.begin(), m_slots.end(), [](const Slot &a, const Slot &b) {
        return a.Hash != b.Hash ? a.Hash < b.Hash : a.Position < b.Position;
    });
    m_shape = shape;
    m_built = true;
}

// A rule the index names is checked against the image before it is used,
// so an index that an edit in place left behind can only miss: a found rule
// is taken at once, and only a miss pays the walk that tells whether the
// rules changed, and looks again in an index built anew.
const ProgramRule *CProgramRuleIndex::Find(const AclSection<ProgramRule> &rules, DWORD generation,
                                           const char *path)
{
    const DWORD hash = PathHash(path);
    if (m_built && m_shape.Generation == generation && m_shape.First == rules.First &&
        m_shape.Capacity == rules.Capacity) {
        if (const ProgramRule *rule = Look(rules, hash, path))
            return rule;
    }
    const Shape shape = ShapeOf(rules, generation);
    if (m_built && shape == m_shape)
        return 0;
    Rebuild(rules, shape);
    return Look(rules, hash, path);
}

const ProgramRule *CProgramRuleIndex::Look(const AclSection<ProgramRule> &rules, DWORD hash, const char *path) const
{
    auto slot = std::lower_bound(m_slots.begin(), m_slots.end(), hash,
                                 [](const Slot &s, DWORD h) { return s.Hash < h; });
    for (; slot != m_slots.end() && slot->Hash == hash; ++slot) {
        const ProgramRule &rule = rules.First[slot->Position];
        if (rule.ID == slot->Id && IsTerminated(rule) && PathEqualsNoCase(rule.Path, path))
            return &rule;
    }
    return 0;
}
