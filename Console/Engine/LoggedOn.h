// LoggedOn: whether the console is logged on. Windows that change stored
// data, and the grid's clickable cells, act only while it is 1. It starts
// at 1; the options page's log on and log off button changes it.
#pragma once

extern int LoggedOn;
