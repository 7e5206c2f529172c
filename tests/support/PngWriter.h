// A bitmap as a PNG file: 8-bit RGB, rows unfiltered, held in stored
// (uncompressed) zlib blocks. Screenshots are read by people and tests, not
// shipped, so size does not matter and the encoder stays small.
#pragma once

#include "Dib.h"

#include <string>
#include <vector>

std::vector<BYTE> EncodePng(const CDib &dib);
bool WritePngFile(const CDib &dib, const std::string &path);

// The checksums PNG and zlib use, for readers that check a file.
DWORD Crc32(const BYTE *data, size_t size, DWORD crc = 0);
DWORD Adler32(const BYTE *data, size_t size);
