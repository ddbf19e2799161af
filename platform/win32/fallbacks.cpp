#include "platform/win32/fallbacks.h"

namespace renamora::win32 {

namespace {

bool forced = false;

}  // namespace

void ForceFallbacks(bool on) {
  forced = on;
}

bool FallbacksForced() {
  return forced;
}

FARPROC FindInLoadedModule(const char* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleA(module);
  return loaded ? ::GetProcAddress(loaded, name) : nullptr;
}

DllSearch LimitDllSearchToSystemFolder() {
  static const SystemFunction<BOOL(WINAPI*)(DWORD)> setDefault("kernel32.dll",
                                                               "SetDefaultDllDirectories");
  if (auto set = setDefault.get(); set && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return DllSearch::kSystemFolderOnly;
  }
  return ::SetDllDirectoryW(L"") ? DllSearch::kNotInCurrentFolder : DllSearch::kUnchanged;
}

WindowsVersion RunningWindowsVersion() {
  // GetVersionEx answers with the newest version the manifest declares
  // when the system is newer still; ntdll's own call tells the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  static const SystemFunction<RtlGetVersionFn> rtlGetVersion("ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  const auto get = rtlGetVersion.get();
  if ((get && get(&info) == 0) || ::GetVersionExW(&info)) {
    return {info.dwMajorVersion, info.dwMinorVersion};
  }
  return {};
}

}  // namespace renamora::win32
