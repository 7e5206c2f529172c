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

// What a trusted or blocked zone entry holds.
enum ZoneEntryType {
    ZONE_ENTRY_ADDRESS = 0, // one address, IP1
    ZONE_ENTRY_RANGE = 1,   // the addresses IP1 to IP2
    ZONE_ENTRY_SUBNET = 2,  // IP1 under the mask IP2
    ZONE_ENTRY_HOST = 3,    // a host name, Site; IP1/IP2 hold the address it resolves to
};
