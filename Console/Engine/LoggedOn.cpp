#include "LoggedOn.h"

int LoggedOn = 1;
