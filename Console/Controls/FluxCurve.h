// The geometry of a traffic graph: where each second's bytes are drawn and
// what the scale's grid lines read. Pure arithmetic, shared by the graph
// and its tests.
#pragma once

#include <CString.h>

#include <windows.h>

enum {
    FLUX_SAMPLE_COUNT = 560,   // seconds of history, the oldest first
    FLUX_X_STEP = 5,           // pixels between two seconds on the curve
    FLUX_GRID_LINES = 9,       // from the bottom line up to the full scale
};

// Bytes that one pixel of height stands for; at least 1, so that a scale
// below the height (or none at all) still draws.
int FluxBytesPerPixel(int scale, int height);

// The row of a second's bytes: 3 pixels above the bottom for nothing, at
// least one pixel higher for any bytes at all, and 0 at or above the top.
int FluxCurveY(DWORD bytes, int height, int bytesPerPixel);

// The curve's points, the newest second first, from x = width - 2 leftwards
// in FLUX_X_STEP steps up to and including the first point at x <= 0.
// `points` holds FLUX_SAMPLE_COUNT; the result is how many were filled.
int FluxCurvePoints(const DWORD (&samples)[FLUX_SAMPLE_COUNT], int width, int height,
                    int bytesPerPixel, POINT (&points)[FLUX_SAMPLE_COUNT]);

// The label of grid line `line` (0 the bottom), in whole kilobytes:
// "0 K", ..., the scale's own at line 8.
CString FluxGridLabel(int scale, int line);
