// Resource ids of the class library's drawing and menu tests (TestResources.rc).
#pragma once

#define IDB_TEST_PATTERN 129   // 4x2: red, green, blue, white over four black pixels
#define IDR_TEST_CONTEXT 139   // a menu bar of two pop-ups, the way context menus come

#define ID_TEST_OPEN 32771
#define ID_TEST_ADD_ZONE 32776
#define ID_TEST_ADD_HOST 32777
#define ID_TEST_EXIT 32772
