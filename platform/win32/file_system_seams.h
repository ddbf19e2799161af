// For the tests alone: what the real file system meets on machines and in
// moments a test cannot bring about where it runs. The program never calls
// these, and nothing from outside the process reaches them.
#pragma once

#include <cstddef>

namespace renamora::win32::seams {

// From now on the listing's basic information level and large fetch are
// refused with ERROR_INVALID_PARAMETER, as Windows Vista refuses them (false:
// taken again). Either way the answer the process remembered is forgotten.
void RefuseFastListing(bool refuse);

// The next write of a whole file stops after `bytes` bytes with
// ERROR_DISK_FULL when it has more to write.
void FailNextWriteAfter(std::size_t bytes);

}  // namespace renamora::win32::seams
