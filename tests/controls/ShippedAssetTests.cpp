// What the build lays into the program folder (<build>/program, beside the
// tests' <build>/bin), read the way the programs read it.
#include "DibSectionDC.h"

#include <FileInfo.h>
#include <LanguageText.h>
#include <SkinBitmap.h>
#include <SkinPalette.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string ProgramFolder()
{
    return BinFolder() + "..\\program\\";
}

std::string ReadAll(const std::string &path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0)
        bytes.append(buffer, count);
    CloseHandle(file);
    return bytes;
}

// A picture is opened without sharing, as the programs open it; tests that
// copy the program folder meanwhile must not find it held, so the picture is
// read from a private copy.
class PrivateCopy {
public:
    explicit PrivateCopy(const std::string &source)
    {
        char folder[MAX_PATH], path[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "qfw", 0, path);
        m_path = path;
        m_copied = CopyFileA(source.c_str(), path, FALSE) != FALSE;
    }
    ~PrivateCopy() { DeleteFileA(m_path.c_str()); }
    bool Copied() const { return m_copied; }
    const char *Path() const { return m_path.c_str(); }

private:
    std::string m_path;
    bool m_copied = false;
};

TEST(ShippedAssets, TheFolderHoldsEveryFile)
{
    const char *files[] = {"Language.ini", "QfwUpdate.ini", "Ferrowind.chm", "Firewall.dat",
                           "ProgramsRule.dat", "Skins\\Default\\BigIcon.bmp", "sound\\Alert.wav"};
    for (const char *file : files)
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((ProgramFolder() + file).c_str())) << file;
}

TEST(ShippedAssets, TheSharedTextsAreThere)
{
    CLanguageText text;
    text.SetSource((ProgramFolder() + "Language.ini").c_str(), "APP", "APP", "APP_NAME");
    EXPECT_STREQ("Ferrowind", text.GetAppName());
    for (const char *key : {"Install_Failed", "Error_Winsock2", "Error_OpenDriver", "Error_HelpFailed", "LOG_DONT"})
        EXPECT_FALSE(text.GetText(key).IsEmpty()) << key;
    // The escapes of the file come out as line breaks.
    EXPECT_NE(-1, text.GetText("Error_OpenDriver").Find("\r\n"));
}

TEST(ShippedAssets, TheUpdateDescriptionCarriesTheProgramsVersionAndTheEndMarker)
{
    CLanguageText description;
    description.SetSource((ProgramFolder() + "QfwUpdate.ini").c_str(), "MAIN_INFOR", "", "");
    const CString version = description.GetText("Version");
    EXPECT_FALSE(version.IsEmpty());
    EXPECT_STREQ("{9075D242-9EA9-4ca3-AE3C-5D4FAE69A9AE}", description.GetText("MARK_STR", "END_FLAG"));

    for (const char *program : {"QFW.exe", "Update.exe"}) {
        CFileInfo info;
        ASSERT_EQ(0, info.Read((BinFolder() + program).c_str())) << program;
        EXPECT_STREQ(version, info.GetProductVersion()) << program;
    }
}

TEST(ShippedAssets, TheConsoleCarriesItsIconAndSplashPicture)
{
    HMODULE console = LoadLibraryExA((BinFolder() + "QFW.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, console);
    HICON icon = static_cast<HICON>(LoadImageA(console, MAKEINTRESOURCEA(128), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(nullptr, icon);
    HBITMAP splash = LoadBitmapA(console, MAKEINTRESOURCEA(129));
    ASSERT_NE(nullptr, splash);
    BITMAP bitmap = {};
    GetObjectA(splash, sizeof bitmap, &bitmap);
    // The version line's place needs at least 277 x 190 pixels.
    EXPECT_EQ(300, bitmap.bmWidth);
    EXPECT_EQ(234, bitmap.bmHeight);
    // The resource itself holds 24 bits a pixel (a loaded copy takes the screen's).
    HRSRC resource = FindResourceA(console, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, resource);
    const auto *header = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(console, resource)));
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(24, header->biBitCount);
    DeleteObject(splash);
    if (icon)
        DestroyIcon(icon);
    FreeLibrary(console);
}

TEST(ShippedAssets, TheUpdatersPictureShowsItsShieldOverTheWindowBehind)
{
    PrivateCopy copy(ProgramFolder() + "Skins\\Default\\BigIcon.bmp");
    ASSERT_TRUE(copy.Copied());
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(copy.Path()));
    EXPECT_EQ(48, picture.m_size.cx);
    EXPECT_EQ(96, picture.m_size.cy);   // the image over its mask
    const COLORREF behind = RGB(10, 200, 30);
    DibSectionDC target(60, 60, behind);
    picture.DrawMasked(6, 6, &target);
    // The corners of the square stay the window's; the shield covers the middle.
    EXPECT_EQ(behind, target.Pixel(6, 53));
    EXPECT_EQ(behind, target.Pixel(53, 53));
    EXPECT_EQ(SkinPalette::SlateBlue, target.Pixel(12, 20));
    EXPECT_GT(target.Count(SkinPalette::Accent), 50);
    EXPECT_EQ(60 * 60 - 48 * 48, target.Count(behind, RECT{0, 0, 60, 6}) + target.Count(behind, RECT{0, 54, 60, 60}) +
                                     target.Count(behind, RECT{0, 6, 6, 54}) + target.Count(behind, RECT{54, 6, 60, 54}));
}

TEST(ShippedAssets, TheAlertSoundIsAShortPcmTone)
{
    const std::string wave = ReadAll(ProgramFolder() + "sound\\Alert.wav");
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ("RIFF", wave.substr(0, 4));
    EXPECT_EQ("WAVE", wave.substr(8, 4));
    const WORD format = *reinterpret_cast<const WORD *>(wave.data() + 20);
    EXPECT_EQ(1, format);   // PCM
    const DWORD rate = *reinterpret_cast<const DWORD *>(wave.data() + 24);
    const DWORD bytesPerSecond = *reinterpret_cast<const DWORD *>(wave.data() + 28);
    const DWORD dataBytes = *reinterpret_cast<const DWORD *>(wave.data() + 40);
    EXPECT_EQ(22050u, rate);
    EXPECT_EQ(wave.size(), 44u + dataBytes);
    // Shorter than a second, longer than a click; and not silent.
    EXPECT_LT(dataBytes, bytesPerSecond);
    EXPECT_GT(dataBytes, bytesPerSecond / 10);
    SHORT loudest = 0;
    for (size_t i = 44; i + 1 < wave.size(); i += 2)
        loudest = std::max(loudest, *reinterpret_cast<const SHORT *>(wave.data() + i));
    EXPECT_GT(loudest, 8000);
}

} // namespace
