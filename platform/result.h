// The one error convention: a success flag, with the system's error code taken
// at the failing call (Windows error numbers, also in the in-memory platform).
#pragma once

#include <cstdint>

namespace renamora {

namespace error {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kFilenameTooLong = 206;
}  // namespace error

struct OpResult {
  bool ok = false;
  std::uint32_t error = 0;  // 0 on success

  static OpResult Success() { return {true, 0}; }
  static OpResult Failure(std::uint32_t code) { return {false, code}; }
  explicit operator bool() const { return ok; }
};

}  // namespace renamora
