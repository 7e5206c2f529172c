// The kit's pump offers every message to the library's PreTranslateMessage
// walk first, as the application's loop does, in each window layer test.
#include <gtest/gtest.h>

#include "CWinApp.h"
#include "GuiPump.h"

namespace
{
class LibraryPumpEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { SetPumpFilter(AfxPreTranslateMessage); }
};

::testing::Environment *const g_libraryPump =
    ::testing::AddGlobalTestEnvironment(new LibraryPumpEnvironment);
} // namespace
