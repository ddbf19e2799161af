// GoogleTest's own settings for the Windows builds, found before its empty
// default. The win32 thread model has no std::mutex, on which GoogleTest
// builds this one class; only GoogleTest's tests of its own threads use it.
#pragma once

#include <atomic>

namespace testing::internal {

class Notification {
 public:
  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
