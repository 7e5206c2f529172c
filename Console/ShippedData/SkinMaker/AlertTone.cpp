#include "AlertTone.h"

#include <cmath>
#include <vector>

namespace {

const DWORD kRate = 22050;
const WORD kBits = 16;

void PutText(std::vector<BYTE> &bytes, const char *text)
{
    bytes.insert(bytes.end(), text, text + 4);
}

template <typename T>
void Put(std::vector<BYTE> &bytes, T value)
{
    const BYTE *p = reinterpret_cast<const BYTE *>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

} // namespace

bool WriteAlertTone(LPCTSTR path, int frequency, int milliseconds)
{
    const DWORD samples = kRate * milliseconds / 1000;
    const DWORD dataBytes = samples * (kBits / 8);
    std::vector<BYTE> bytes;
    PutText(bytes, "RIFF");
    Put<DWORD>(bytes, 36 + dataBytes);
    PutText(bytes, "WAVE");
    PutText(bytes, "fmt ");
    Put<DWORD>(bytes, 16);
    Put<WORD>(bytes, 1);                        // PCM
    Put<WORD>(bytes, 1);                        // mono
    Put<DWORD>(bytes, kRate);
    Put<DWORD>(bytes, kRate * (kBits / 8));     // bytes a second
    Put<WORD>(bytes, kBits / 8);                // bytes a sample
    Put<WORD>(bytes, kBits);
    PutText(bytes, "data");
    Put<DWORD>(bytes, dataBytes);
    const DWORD fade = kRate / 100;             // 10 ms at each end
    for (DWORD i = 0; i < samples; ++i) {
        double level = 0.5;
        if (i < fade)
            level *= static_cast<double>(i) / fade;
        else if (samples - i < fade)
            level *= static_cast<double>(samples - i) / fade;
        const double wave = std::sin(2.0 * 3.14159265358979 * frequency * i / kRate);
        Put<SHORT>(bytes, static_cast<SHORT>(level * wave * 32767.0));
    }

    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(out);
    return ok;
}
