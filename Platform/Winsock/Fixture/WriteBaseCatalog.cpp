// WriteBaseCatalog.exe <library>: gives a Wine prefix the Winsock catalog
// of a system before the firewall is installed (a TCP and a UDP entry
// naming the library), when it has no catalog yet. An existing catalog,
// installed or not, is left alone.
#include <cstdio>

#include "CatalogFixture.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: WriteBaseCatalog <library>\n");
        return 2;
    }
    if (CCatalogFixture::HasEntries()) {
        printf("the Winsock catalog is there already\n");
        return 0;
    }
    if (!CCatalogFixture::WriteBaseCatalog(argv[1])) {
        fprintf(stderr, "WriteBaseCatalog: the catalog cannot be written\n");
        return 1;
    }
    printf("wrote the base Winsock catalog naming %s\n", argv[1]);
    return 0;
}
