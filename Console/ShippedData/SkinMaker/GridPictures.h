// The grid's pictures: the header backgrounds, the cells' pictures and the
// header icons, written into the skin folder.
#pragma once

#include <string>

// The folder without its trailing backslash. False, after reporting each
// picture it could not write, when one failed.
bool MakeGridPictures(const std::string &folder);
