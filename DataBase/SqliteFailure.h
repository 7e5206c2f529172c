// Shared by the connection and the query: how a failed step is reported.
#pragma once

#include <sqlite3.h>

// Finalizes a statement whose step did not give what was wanted and throws
// the engine's failure (or, where the engine saw none, the step's result).
[[noreturn]] void FinalizeAndThrow(sqlite3_stmt *statement, int stepResult);
