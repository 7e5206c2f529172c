#include "PngWriter.h"

DWORD Crc32(const BYTE *data, size_t size, DWORD crc)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

DWORD Adler32(const BYTE *data, size_t size)
{
    const DWORD modulus = 65521;
    DWORD a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % modulus;
        b = (b + a) % modulus;
    }
    return (b << 16) | a;
}

static void PutBigEndian(std::vector<BYTE> &out, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

// Length, type, data and the CRC of type and data.
static void PutChunk(std::vector<BYTE> &out, const char *type, const std::vector<BYTE> &data)
{
    PutBigEndian(out, static_cast<DWORD>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[typeAt], out.size() - typeAt));
}

// Each row: filter type 0, then red, green, blue.
static std::vector<BYTE> RawRows(const CDib &dib)
{
    std::vector<BYTE> raw;
    raw.reserve(static_cast<size_t>(dib.Height()) * (1 + 3 * dib.Width()));
    for (int y = 0; y < dib.Height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < dib.Width(); ++x) {
            COLORREF colour = dib.Pixel(x, y);
            raw.push_back(GetRValue(colour));
            raw.push_back(GetGValue(colour));
            raw.push_back(GetBValue(colour));
        }
    }
    return raw;
}

// A zlib stream of stored deflate blocks, at most 65535 bytes each.
static std::vector<BYTE> StoredZlib(const std::vector<BYTE> &raw)
{
    const size_t blockMax = 65535;
    std::vector<BYTE> out = {0x78, 0x01}; // deflate, 32K window, no dictionary
    size_t at = 0;
    do {
        size_t length = raw.size() - at < blockMax ? raw.size() - at : blockMax;
        bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<BYTE>(length));
        out.push_back(static_cast<BYTE>(length >> 8));
        out.push_back(static_cast<BYTE>(~length));
        out.push_back(static_cast<BYTE>(~length >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    PutBigEndian(out, Adler32(raw.data(), raw.size()));
    return out;
}

std::vector<BYTE> EncodePng(const CDib &dib)
{
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<BYTE> png(signature, signature + sizeof signature);

    std::vector<BYTE> header;
    PutBigEndian(header, dib.Width());
    PutBigEndian(header, dib.Height());
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(RawRows(dib)));
    PutChunk(png, "IEND", {});
    return png;
}

bool WritePngFile(const CDib &dib, const std::string &path)
{
    if (dib.IsEmpty())
        return false;
    std::vector<BYTE> png = EncodePng(dib);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == png.size();
}
