// The upcall table that the router hands to the providers it starts: the
// services Winsock offers its providers, over the process's own Winsock and
// kernel objects.
#pragma once

#include <winsock2.h>
#include <ws2spi.h>

const WSPUPCALLTABLE &RouterUpcalls();
