// Byte values shared by the stores, the rule image, the provider and the pages.
#pragma once

// The action of a rule for a zone, and the verdict on a socket.
enum RuleAction {
    ACTION_PASS = 0,
    ACTION_QUERY = 1,
    ACTION_DENY = 2,
};

// Where a peer address lies; 0 in a connection record means not classified yet.
enum ZoneKind {
    ZONE_INTERNET = 1,
    ZONE_TRUSTED = 2,
    ZONE_BLOCKED = 3,
};

// How the provider treats programs: off lets everything pass, normal asks the
// console about a program without a rule, locked refuses such a program.
enum WorkMode {
    WORK_MODE_OFF = 0,
    WORK_MODE_NORMAL = 1,
    WORK_MODE_LOCKED = 2,
};
