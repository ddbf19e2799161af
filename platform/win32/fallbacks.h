// What not every Windows version from XP SP3 on offers. A function that
// only newer systems export is looked up at run time: importing it by name
// would keep the program from starting on the older ones at all. Where it
// is missing, the caller takes the road the older system needs.
#pragma once

#include <windows.h>

namespace renamora::win32 {

// The tests' way onto the roads that older systems take: while on, every
// function looked up through SystemFunction is missing, and so is the
// taskbar interface. Nothing in the program turns it on.
void ForceFallbacks(bool on);
bool FallbacksForced();

// `name` in the system DLL `module`, which the program has loaded already
// (kernel32, user32 and ntdll are in every process of it).
FARPROC FindInLoadedModule(const char* module, const char* name);

template <typename Function>
class SystemFunction {
 public:
  SystemFunction(const char* module, const char* name)
      // Through void (*)(): a cast GCC accepts between any two function types.
      : found_(reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(FindInLoadedModule(module, name)))) {}
  // nullptr where this system lacks the function, and while fallbacks are
  // forced.
  Function get() const { return FallbacksForced() ? nullptr : found_; }

 private:
  Function found_;
};

// Which road LimitDllSearchToSystemFolder took.
enum class DllSearch { kSystemFolderOnly, kNotInCurrentFolder, kUnchanged };

// Later loads of a DLL by name (the themes, the save dialog's helpers) no
// longer look in the program's own folder first, where a portable exe is
// run from Downloads beside whatever else was downloaded: only the system
// folder, where the system can (Windows 8 on, 7 and Vista with
// KB2533623). Elsewhere, from XP SP1 on, at least the current folder is
// left out; the program's own folder keeps its place there. Called first
// thing at start, before any window.
DllSearch LimitDllSearchToSystemFolder();

struct WindowsVersion {
  DWORD major = 0;
  DWORD minor = 0;
};
// The version of the running system as it reports itself, whatever the
// manifest declares.
WindowsVersion RunningWindowsVersion();

}  // namespace renamora::win32
