// GoogleTest's own settings for the Windows builds, found before its empty
// default. The win32 thread model has no std::mutex, on which GoogleTest
// builds the one class that needs more than its Win32 locks.
#pragma once

namespace testing::internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
