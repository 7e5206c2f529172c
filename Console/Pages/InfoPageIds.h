// The about page's labels, shared by its resource script and the page.
#pragma once

#include "ConsoleResources.h"

#define IDC_INFO_NOTICE 1111
#define IDC_INFO_VERSION_LABEL 1112
#define IDC_INFO_DESIGNER_LABEL 1113
#define IDC_INFO_VERSION 1114
#define IDC_INFO_DESIGNER 1115
