// The program where the language for non-Unicode programs is not Chinese:
// one box in both languages, naming the setting where the running Windows
// keeps it, then exit code 1. scripts/test.sh runs this case under a
// locale of another code page, with Wine set to XP, 7 and 10 in turn
// (RENAMORA_TEST_WINDOWS); in the project's prefix (936) there is nothing
// to see. And the start's first step, the DLL search.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>

#include "app/win32/code_page_message.h"
#include "platform/win32/fallbacks.h"

namespace renamora::testing {
namespace {

TEST(StartUp, UnderAnotherCodePageOneBoxSaysWhereToSetItAndTheProgramEnds) {
  if (::GetACP() == 936) {
    // The run that asks for another code page must get one.
    ASSERT_EQ(std::getenv("RENAMORA_OTHER_CODE_PAGE"), nullptr) << "the code page is still 936";
    GTEST_SKIP() << "needs another code page (scripts/test.sh runs it so)";
  }
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  exe.resize(exe.rfind(L"tests\\"));  // the build's folder
  exe += L"renamora.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
  HWND box = nullptr;
  for (int wait = 0; wait < 400 && !box; ++wait, ::Sleep(50)) {
    box = ::FindWindowW(L"#32770", L"信息：");
  }
  std::wstring text(2048, L'\0');
  text.resize(static_cast<std::size_t>(::GetDlgItemTextW(box, 0xFFFF, text.data(), 2048)));
  const win32::WindowsVersion version = win32::RunningWindowsVersion();
  EXPECT_EQ(text, win32::NeedsChineseCodePageText(version));
  // Wine reports the version scripts/test.sh set it to.
  const std::map<std::string, DWORD> reported = {{"winxp", 51}, {"win7", 61}, {"win10", 100}};
  if (const char* set = std::getenv("RENAMORA_TEST_WINDOWS")) {
    EXPECT_EQ(version.major * 10 + version.minor, reported.at(set));
  }
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  // A program that went on to open its window never ends by itself.
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 99);
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 1u);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

TEST(StartUp, TheCodePageMessageNamesTheSettingWhereEachWindowsKeepsIt) {
  const struct {
    DWORD major, minor;
    const wchar_t* path;
    const wchar_t* english;
  } systems[] = {
      {5, 1, L"控制面板 → 区域和语言选项 → 高级", L"Regional and Language Options → Advanced"},
      {6, 0, L"控制面板 → 区域和语言选项 → 管理 → 更改系统区域设置",
       L"Regional and Language Options → Administrative → Change system locale"},
      {6, 3, L"控制面板 → 区域和语言 → 管理 → 更改系统区域设置",
       L"Region and Language → Administrative → Change system locale"},
      {10, 0, L"控制面板 → 区域 → 管理 → 更改系统区域设置",
       L"Control Panel → Region → Administrative → Change system locale"}};
  for (const auto& s : systems) {
    const std::wstring text = win32::NeedsChineseCodePageText({s.major, s.minor});
    EXPECT_NE(text.find(s.path), std::wstring::npos) << s.major << "." << s.minor;
    EXPECT_NE(text.find(s.english), std::wstring::npos) << s.major << "." << s.minor;
    // Only Windows 10 on has the UTF-8 box to leave unticked.
    EXPECT_EQ(text.find(L"UTF-8") != std::wstring::npos, s.major >= 10) << s.major;
  }
}

// A DLL planted in the exe's folder under a name the program might load is
// not taken once the start's first step ran; the system folder's copy is.
TEST(StartUp, LaterLoadsByNameComeFromTheSystemFolder) {
  wchar_t buffer[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring planted = buffer;
  planted.resize(planted.rfind(L'\\') + 1);
  planted += L"renamora_planted.dll";
  ::GetSystemDirectoryW(buffer, MAX_PATH);
  const std::wstring system = std::wstring(buffer) + L"\\";
  ASSERT_TRUE(::CopyFileW((system + L"msimg32.dll").c_str(), planted.c_str(), FALSE));
  HMODULE before = ::LoadLibraryW(L"renamora_planted.dll");
  EXPECT_NE(before, nullptr) << "the planted copy is not even found before";
  if (before) ::FreeLibrary(before);

  EXPECT_EQ(win32::LimitDllSearchToSystemFolder(), win32::DllSearch::kSystemFolderOnly);
  EXPECT_EQ(::LoadLibraryW(L"renamora_planted.dll"), nullptr);
  HMODULE fromSystem = ::LoadLibraryW(L"msimg32.dll");
  ASSERT_NE(fromSystem, nullptr);
  ::GetModuleFileNameW(fromSystem, buffer, MAX_PATH);
  EXPECT_EQ(_wcsnicmp(buffer, system.c_str(), system.size()), 0);
  ::FreeLibrary(fromSystem);
  ::DeleteFileW(planted.c_str());

  // Where SetDefaultDllDirectories is missing: the current folder at least.
  win32::ForceFallbacks(true);
  EXPECT_EQ(win32::LimitDllSearchToSystemFolder(), win32::DllSearch::kNotInCurrentFolder);
  win32::ForceFallbacks(false);
}

}  // namespace
}  // namespace renamora::testing
