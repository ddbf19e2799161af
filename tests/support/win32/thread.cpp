#include "tests/support/win32/thread.h"

#include <process.h>
#include <windows.h>

namespace renamora::testing {

namespace {

unsigned WINAPI Run(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}

}  // namespace

// Through the C runtime, which sets up what it keeps for each thread.
Thread::Thread(std::function<void()> work)
    : work_(std::move(work)),
      handle_(reinterpret_cast<void*>(::_beginthreadex(nullptr, 0, Run, &work_, 0, nullptr))) {}

void Thread::join() {
  if (!handle_) return;
  ::WaitForSingleObject(handle_, INFINITE);
  ::CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace renamora::testing
