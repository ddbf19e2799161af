#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

// The test executable links the program's resource script, so everything here
// is read back from this very module the way Windows reads it from the program.

namespace {

constexpr WORD kResourceId = 1;
// Numeric resource types, independent of the ANSI/Unicode macro variants.
constexpr WORD kIconType = 3;        // RT_ICON
constexpr WORD kGroupIconType = 14;  // RT_GROUP_ICON
constexpr WORD kManifestType = 24;   // RT_MANIFEST

struct IconEntry {
  int width = 0;
  int height = 0;
  int bits = 0;
  WORD id = 0;
};

// The group icon directory as stored in a module: a 6-byte header, then one
// 14-byte entry per image whose last field is the RT_ICON resource ID.
std::vector<IconEntry> IconGroupEntries() {
  std::vector<IconEntry> entries;
  HRSRC found =
      ::FindResourceA(nullptr, MAKEINTRESOURCEA(kResourceId), MAKEINTRESOURCEA(kGroupIconType));
  if (!found) return entries;
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  const DWORD size = ::SizeofResource(nullptr, found);
  if (!bytes || size < 6) return entries;
  WORD count;
  std::memcpy(&count, bytes + 4, sizeof count);
  for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= size; ++i) {
    const BYTE* entry = bytes + 6 + 14 * i;
    IconEntry e;
    e.width = entry[0] == 0 ? 256 : entry[0];
    e.height = entry[1] == 0 ? 256 : entry[1];
    WORD bits;
    std::memcpy(&bits, entry + 6, sizeof bits);
    e.bits = bits;
    std::memcpy(&e.id, entry + 12, sizeof e.id);
    entries.push_back(e);
  }
  return entries;
}

std::string ResourceBytes(WORD id, WORD type) {
  HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!found) return {};
  const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
  return bytes ? std::string(bytes, ::SizeofResource(nullptr, found)) : std::string();
}

struct LoadedIcon {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<RGBQUAD> pixels;
};

// Loads icon 1 at the given size the way a window class does and returns its
// colour bitmap with the pixels as top-down BGRA; all zero when it is missing.
LoadedIcon LoadProgramIcon(int size) {
  LoadedIcon result;
  HANDLE image = ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kResourceId),
                              IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
  if (!image) return result;
  HICON icon = static_cast<HICON>(image);
  ICONINFO info{};
  if (::GetIconInfo(icon, &info) && info.hbmColor) {
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    result.width = bitmap.bmWidth;
    result.height = bitmap.bmHeight;
    result.bits = bitmap.bmBitsPixel;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = bitmap.bmWidth;
    request.bmiHeader.biHeight = -bitmap.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    result.pixels.resize(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC screen = ::GetDC(nullptr);
    if (!::GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, result.pixels.data(), &request,
                     DIB_RGB_COLORS)) {
      result.pixels.clear();
    }
    ::ReleaseDC(nullptr, screen);
  }
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  ::DestroyIcon(icon);
  return result;
}

std::string VersionString(const std::vector<char>& block, const char* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\080403A8\\") + name;
  if (!::VerQueryValueA(block.data(), key.c_str(), &value, &length) || !value) return "<missing>";
  return std::string(static_cast<const char*>(value));
}

}  // namespace

TEST(ProgramIcon, HoldsA256PixelPngImageAndCrispSmallSizes) {
  const std::vector<IconEntry> entries = IconGroupEntries();
  ASSERT_FALSE(entries.empty()) << "no group icon with ID 1";
  std::set<int> sizes;
  for (const IconEntry& e : entries) {
    SCOPED_TRACE("icon image " + std::to_string(e.width));
    EXPECT_EQ(e.width, e.height);
    EXPECT_EQ(e.bits, 32);
    sizes.insert(e.width);
    const std::string image = ResourceBytes(e.id, kIconType);
    ASSERT_GE(image.size(), 8u);
    // The large image must be PNG-compressed: that is the form Windows
    // expects at 256 px, and as a bitmap it would weigh 256 KB.
    if (e.width == 256) {
      EXPECT_EQ(image.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    }
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

TEST(ProgramIcon, LoadsAtEverySizeWithTransparencyOutsideTheTile) {
  for (int size : {256, 48, 32, 16}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const LoadedIcon icon = LoadProgramIcon(size);
    ASSERT_EQ(icon.width, size);
    EXPECT_EQ(icon.height, size);
    EXPECT_EQ(icon.bits, 32);
    ASSERT_EQ(icon.pixels.size(), static_cast<size_t>(size) * size);
    // The tile's rounded corner leaves the image's corner fully transparent;
    // the middle is opaque. A missing alpha channel reads 0 or 255 everywhere.
    EXPECT_EQ(icon.pixels.front().rgbReserved, 0);
    EXPECT_EQ(icon.pixels.back().rgbReserved, 0);
    const RGBQUAD middle = icon.pixels[static_cast<size_t>(size / 2) * size + size / 2];
    EXPECT_EQ(middle.rgbReserved, 255);
  }
}

TEST(ProgramIcon, PicksTheImageDrawnForEachSize) {
  HRSRC found =
      ::FindResourceA(nullptr, MAKEINTRESOURCEA(kResourceId), MAKEINTRESOURCEA(kGroupIconType));
  ASSERT_NE(found, nullptr);
  auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  ASSERT_NE(directory, nullptr);
  for (const IconEntry& e : IconGroupEntries()) {
    SCOPED_TRACE("size " + std::to_string(e.width));
    EXPECT_EQ(::LookupIconIdFromDirectoryEx(directory, TRUE, e.width, e.width, LR_DEFAULTCOLOR),
              e.id);
  }
}

TEST(ProgramManifest, AsksForCommonControls6AndNoElevation) {
  const std::string manifest = ResourceBytes(kResourceId, kManifestType);
  ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource with ID 1";
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  // Windows 7 and Windows 10/11 are the two ends of the supported range.
  EXPECT_NE(manifest.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"), std::string::npos);
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
}

TEST(ProgramManifest, ActivatesCommonControls6) {
  // The manifest is only worth something if the loader accepts it: then the
  // process's activation context redirects comctl32.dll into the version 6
  // side-by-side assembly, and that is the copy this process loaded.
  ACTCTX_SECTION_KEYED_DATA redirection{};
  redirection.cbSize = sizeof redirection;
  EXPECT_TRUE(::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &redirection));
  // Nothing may have loaded it yet; loading by bare name goes through the
  // same redirection.
  HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
  if (!comctl) comctl = ::LoadLibraryA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // DllGetVersion would be the obvious probe, but Wine's version 6 copy still
  // reports 5; the assembly's folder name is the same on Windows and Wine.
  EXPECT_NE(lower.find("\\winsxs\\"), std::string::npos) << path;
  EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::string::npos)
      << path;
}

TEST(ProgramVersion, IsRenamora1000InSimplifiedChinese) {
  char path[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 936);

  EXPECT_EQ(VersionString(block, "ProductName"), "Renamora");
  EXPECT_EQ(VersionString(block, "CompanyName"), "Renamora");
  EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.0.0");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "1.0.0.0");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "renamora.exe");
  EXPECT_EQ(VersionString(block, "InternalName"), "renamora");
  EXPECT_NE(VersionString(block, "LegalCopyright").find("Renamora"), std::string::npos);
  // Read through the ANSI call, the Chinese description arrives as GBK text.
  EXPECT_EQ(VersionString(block, "FileDescription"), "Renamora 批量文件改名工具");
}
