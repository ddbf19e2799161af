// Splitting a file name at its extension, and cutting a text out of it:
// shared by both rename pages and the export.
#pragma once

#include <string>
#include <string_view>

namespace renamora {

struct NameParts {
  std::string base;       // before the last real "."
  std::string extension;  // from that "." to the end; the whole name when there is no "."
};

// 'photo.jpg' gives 'photo' and '.jpg'; 'README' gives '' and 'README';
// '.profile' gives '' and '.profile'; 'notes.' gives 'notes' and '.'.
NameParts SplitAtLastDot(std::string_view name);

// The name with every occurrence of `cut` taken out, leftmost first and
// never overlapping, each starting on a character. An empty `cut` changes
// nothing.
std::string RemoveEvery(std::string_view name, std::string_view cut);

}  // namespace renamora
