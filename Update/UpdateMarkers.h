// Names shared with the update server and the programs the updater stops.
#pragma once

// The value of [END_FLAG] MARK_STR in every update description.
extern const char UPDATE_FILE_MARKER[];

// The updater's single-instance mutex and the property on its dialog.
extern const char UPDATE_INSTANCE_MARKER[];

// The console's single-instance mutex and the property on its main window.
extern const char CONSOLE_INSTANCE_MARKER[];
