// A second thread for the tests and the benchmark, joined before it goes:
// the win32 thread model of the Windows builds has no std::thread.
#pragma once

#include <functional>

namespace renamora::testing {

class Thread {
 public:
  explicit Thread(std::function<void()> work);
  ~Thread() { join(); }
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  void join();

 private:
  std::function<void()> work_;
  void* handle_;
};

}  // namespace renamora::testing
