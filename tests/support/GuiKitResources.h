// Resource ids of the kit's resource script, which every GUI test program
// gets; the ids stay clear of those a test program brings.
#pragma once

#define IDD_GUI_KIT_HOST 32700
