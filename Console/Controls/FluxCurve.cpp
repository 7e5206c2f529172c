#include "FluxCurve.h"

#include <algorithm>

namespace {

// Free rows under the bottom grid line and the frame.
const int BOTTOM_MARGIN = 3;

} // namespace

int FluxBytesPerPixel(int scale, int height)
{
    if (height < 1)
        return 1;
    return std::max(1, scale / height);
}

int FluxCurveY(DWORD bytes, int height, int bytesPerPixel)
{
    const long long perPixel = std::max(1, bytesPerPixel);
    long long value = bytes;
    if (value > 0 && value < perPixel)
        value = perPixel;
    const long long y = height - value / perPixel - BOTTOM_MARGIN;
    return y < 0 ? 0 : static_cast<int>(y);
}

int FluxCurvePoints(const DWORD (&samples)[FLUX_SAMPLE_COUNT], int width, int height,
                    int bytesPerPixel, POINT (&points)[FLUX_SAMPLE_COUNT])
{
    int count = 0;
    int x = width - 2;
    for (int i = FLUX_SAMPLE_COUNT - 1; i >= 0; --i) {
        points[count].x = x;
        points[count].y = FluxCurveY(samples[i], height, bytesPerPixel);
        ++count;
        if (x <= 0)
            break;
        x -= FLUX_X_STEP;
    }
    return count;
}

CString FluxGridLabel(int scale, int line)
{
    const long long kilobytes = static_cast<long long>(scale) * line / 8192;
    CString label;
    label.Format("%d K", static_cast<int>(kilobytes));
    return label;
}
