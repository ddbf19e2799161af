// The program where the language for non-Unicode programs is not Chinese:
// one box in both languages, then exit code 1. scripts/test.sh runs this
// case under a locale of another code page; in the project's prefix (936)
// there is nothing to see.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

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
  for (const wchar_t* part : {L"中文(简体，中国)", L"更改系统区域设置",
                              L"Chinese (Simplified, China)", L"Change system locale", L"UTF-8"}) {
    EXPECT_NE(text.find(part), std::wstring::npos) << static_cast<int>(text.size());
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

}  // namespace
}  // namespace renamora::testing
