// A file layer for the engine that creates each new main database file with
// an access list granting every account full access. Journals and temporary
// files keep the engine's own opens, and so does an existing file's list.
#pragma once

// Registers the layer once (not as the default) and returns its name for
// sqlite3_open_v2.
const char *EveryoneAccessVfsName();
