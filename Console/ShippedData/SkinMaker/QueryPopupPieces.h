// The query pop-up's own pictures: the balloon's tail, the alert sign and
// the Allow and Deny buttons.
#pragma once

#include <string>

bool DrawQueryPopupPieces(const std::string &skinFolder);
