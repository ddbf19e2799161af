// Drops files on the running program's window from outside, as the shell
// does: waits for the main window, hands it a DROPFILES block of ANSI paths
// through WM_DROPFILES and waits until the File list shows rows. The block
// is written into the program's own memory, where its drop handling reads
// it, so the program takes the drop through its real drop path. Used by
// `make screenshot` to show the window with a loaded list.
//
//   drop_on_window.exe PATH...
//
// Exits 0 once the list shows rows, 1 when it does not within a minute.

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The class the program registers for its main window.
constexpr char kMainWindowClass[] = "RenamoraMainWindow";
constexpr int kPatienceMs = 60000;
constexpr int kStepMs = 100;

// The first list view of the window, the File list: it comes first in the
// layout table, so it is created first.
BOOL CALLBACK FindFirstList(HWND child, LPARAM found) {
  char name[64] = {};
  ::GetClassNameA(child, name, sizeof(name));
  if (std::strcmp(name, WC_LISTVIEWA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: drop_on_window PATH...\n");
    return 2;
  }
  HWND window = nullptr;
  for (int waited = 0; !window && waited < kPatienceMs; waited += kStepMs) {
    window = ::FindWindowA(kMainWindowClass, nullptr);
    if (!window || !::IsWindowVisible(window)) {
      window = nullptr;
      ::Sleep(kStepMs);
    }
  }
  if (!window) {
    std::fprintf(stderr, "drop_on_window: no main window\n");
    return 1;
  }

  std::string names;
  for (int i = 1; i < argc; ++i) names.append(argv[i]).push_back('\0');
  names.push_back('\0');
  std::string block(sizeof(DROPFILES), '\0');
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = FALSE;
  std::memcpy(block.data(), &header, sizeof(header));
  block += names;

  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  HANDLE target = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
  void* remote = target ? ::VirtualAllocEx(target, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                           PAGE_READWRITE)
                        : nullptr;
  if (!remote || !::WriteProcessMemory(target, remote, block.data(), block.size(), nullptr)) {
    std::fprintf(stderr, "drop_on_window: cannot reach the program's memory\n");
    return 1;
  }
  ::CloseHandle(target);
  ::PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);

  HWND list = nullptr;
  ::EnumChildWindows(window, FindFirstList, reinterpret_cast<LPARAM>(&list));
  for (int waited = 0; list && waited < kPatienceMs; waited += kStepMs) {
    if (::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) return 0;
    ::Sleep(kStepMs);
  }
  std::fprintf(stderr, "drop_on_window: the list shows no rows\n");
  return 1;
}
