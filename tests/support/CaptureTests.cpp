// A window painted with a known pattern is captured from the screen, read
// back pixel by pixel, and saved as a PNG file that is checked twice: chunk
// by chunk against its own checksums, and decoded by the system's codec.
#include "Dib.h"
#include "PngWriter.h"
#include "RealInput.h"
#include "TestScreens.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <string>
#include <vector>

namespace {

const int PATTERN_WIDTH = 240, PATTERN_HEIGHT = 160;
const COLORREF QUADRANTS[4] = {RGB(200, 30, 40), RGB(20, 160, 60), RGB(30, 60, 210),
                               RGB(250, 240, 20)};
const COLORREF LINE = RGB(71, 78, 98);
const int LINE_Y = 100; // one row across the lower quadrants

// The colour the pattern has at a client point.
COLORREF PatternAt(int x, int y)
{
    if (y == LINE_Y)
        return LINE;
    return QUADRANTS[(y >= PATTERN_HEIGHT / 2) * 2 + (x >= PATTERN_WIDTH / 2)];
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT rect = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int w = PATTERN_WIDTH, h = PATTERN_HEIGHT;
    Fill(dc, 0, 0, w / 2, h / 2, QUADRANTS[0]);
    Fill(dc, w / 2, 0, w, h / 2, QUADRANTS[1]);
    Fill(dc, 0, h / 2, w / 2, h, QUADRANTS[2]);
    Fill(dc, w / 2, h / 2, w, h, QUADRANTS[3]);
    Fill(dc, 0, LINE_Y, w, LINE_Y + 1, LINE);
    EndPaint(window, &paint);
    return 0;
}

// A borderless pop-up whose client area is exactly the pattern.
class PatternWindow {
public:
    PatternWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PatternProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QfwPatternWindow";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(WS_EX_TOPMOST, "QfwPatternWindow", "", WS_POPUP | WS_VISIBLE,
                                   130, 170, PATTERN_WIDTH, PATTERN_HEIGHT, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        BringToFront(m_window);
    }
    ~PatternWindow() { DestroyWindow(m_window); }
    HWND Handle() const { return m_window; }

private:
    HWND m_window;
};

void ExpectPattern(const CDib &dib)
{
    ASSERT_EQ(dib.Width(), PATTERN_WIDTH);
    ASSERT_EQ(dib.Height(), PATTERN_HEIGHT);
    int wrong = 0;
    for (int y = 0; y < PATTERN_HEIGHT; ++y)
        for (int x = 0; x < PATTERN_WIDTH; ++x)
            wrong += dib.Pixel(x, y) != PatternAt(x, y);
    EXPECT_EQ(wrong, 0);
}

DWORD BigEndianAt(const std::vector<BYTE> &bytes, size_t at)
{
    return (DWORD(bytes[at]) << 24) | (DWORD(bytes[at + 1]) << 16) | (DWORD(bytes[at + 2]) << 8)
           | bytes[at + 3];
}

std::vector<BYTE> ReadFile(const std::string &path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Walks the chunks (every CRC checked), joins the stored blocks of the zlib
// stream (every length and the Adler-32 checked) and rebuilds the pixels.
CDib DecodeStoredPng(const std::vector<BYTE> &png)
{
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(png.size() > 8 && std::equal(signature, signature + 8, png.begin()));
    int width = 0, height = 0;
    std::vector<BYTE> zlib;
    bool ended = false;
    for (size_t at = 8; !ended && at + 12 <= png.size();) {
        DWORD length = BigEndianAt(png, at);
        std::string type(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_LE(at + 12 + length, png.size()) << type;
        if (at + 12 + length > png.size())
            return CDib();
        EXPECT_EQ(BigEndianAt(png, at + 8 + length), Crc32(&png[at + 4], length + 4)) << type;
        if (type == "IHDR") {
            width = BigEndianAt(png, at + 8);
            height = BigEndianAt(png, at + 12);
            EXPECT_EQ(std::vector<BYTE>(png.begin() + at + 16, png.begin() + at + 21),
                      (std::vector<BYTE>{8, 2, 0, 0, 0}));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        }
        ended = type == "IEND";
        at += 12 + length;
    }
    EXPECT_TRUE(ended);

    std::vector<BYTE> raw;
    size_t at = 2;
    for (bool last = false; !last && at + 5 <= zlib.size();) {
        last = zlib[at] & 1;
        EXPECT_EQ(zlib[at] >> 1, 0) << "only stored blocks are written";
        size_t length = zlib[at + 1] | (zlib[at + 2] << 8);
        size_t check = zlib[at + 3] | (zlib[at + 4] << 8);
        EXPECT_EQ(length ^ 0xFFFF, check);
        raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + length);
        at += 5 + length;
    }
    EXPECT_EQ(at + 4, zlib.size());
    EXPECT_EQ(BigEndianAt(zlib, at), Adler32(raw.data(), raw.size()));

    const size_t stride = 1 + 3 * static_cast<size_t>(width);
    EXPECT_EQ(raw.size(), stride * height);
    if (raw.size() != stride * height)
        return CDib();
    CDib dib(width, height);
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(raw[y * stride], 0) << "row filter";
        for (int x = 0; x < width; ++x) {
            const BYTE *rgb = &raw[y * stride + 1 + 3 * x];
            dib.SetPixel(x, y, RGB(rgb[0], rgb[1], rgb[2]));
        }
    }
    return dib;
}

// The system's own PNG codec reads the file.
CDib DecodeWithCodec(const std::string &path)
{
    CDib dib;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory *factory = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICFormatConverter *converter = nullptr;
    std::wstring widePath(path.begin(), path.end());
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void **>(&factory)))
        && SUCCEEDED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnDemand, &decoder))
        && SUCCEEDED(decoder->GetFrame(0, &frame))
        && SUCCEEDED(factory->CreateFormatConverter(&converter))
        && SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR,
                                           WICBitmapDitherTypeNone, nullptr, 0,
                                           WICBitmapPaletteTypeCustom))
        && SUCCEEDED(converter->GetSize(&width, &height))) {
        CDib read(width, height);
        if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                            reinterpret_cast<BYTE *>(read.Bits())))) {
            for (UINT i = 0; i < width * height; ++i)
                read.Bits()[i] &= 0x00FFFFFF;
            dib = read;
        }
    }
    for (IUnknown *object : {static_cast<IUnknown *>(converter), static_cast<IUnknown *>(frame),
                             static_cast<IUnknown *>(decoder), static_cast<IUnknown *>(factory)})
        if (object)
            object->Release();
    CoUninitialize();
    return dib;
}

TEST(Capture, AShownPatternIsReadBackPixelForPixel)
{
    PatternWindow pattern;

    CDib shot = SaveTestScreen(pattern.Handle(), "pattern");

    ExpectPattern(shot);
}

TEST(Capture, ThePngFileHoldsTheSamePixels)
{
    PatternWindow pattern;
    CDib shot = CaptureWindow(pattern.Handle());
    ASSERT_FALSE(shot.IsEmpty());

    std::string path = SaveScreen(shot, TestScreenName("pattern"));
    ASSERT_NE(path, "");

    // 240 x 160 RGB rows need two stored blocks.
    SCOPED_TRACE("own reader");
    ExpectPattern(DecodeStoredPng(ReadFile(path)));
    SCOPED_TRACE("system codec");
    ExpectPattern(DecodeWithCodec(path));
}

TEST(Capture, TheWholeScreenHasTheScreenSize)
{
    PatternWindow pattern;
    CDib screen = CaptureScreen();

    ASSERT_EQ(screen.Width(), GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(screen.Height(), GetSystemMetrics(SM_CYSCREEN));
    RECT where;
    GetWindowRect(pattern.Handle(), &where);
    EXPECT_EQ(screen.Pixel(where.left, where.top), QUADRANTS[0]);
    EXPECT_EQ(screen.Pixel(where.right - 1, where.bottom - 1), QUADRANTS[3]);
    EXPECT_EQ(screen.CountColour(LINE, where), PATTERN_WIDTH);
}

TEST(Capture, ScreenNamesBecomeFileNames)
{
    CDib dib(2, 2);
    std::string path = SaveScreen(dib, "Suite/Case:1-state");
    EXPECT_NE(path.find("\\screens\\Suite_Case_1-state.png"), std::string::npos) << path;
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());
}

} // namespace
