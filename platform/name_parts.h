// File names and paths taken apart: the name at its extension, the path at
// its folder, and the name Windows really stores.
// The one set every command, the export, the walk and the file systems use;
// each part is a view into the text it came from, so that a loop over a
// million rows asks for no memory to take names apart.
#pragma once

#include <string>
#include <string_view>

namespace renamora {

struct NameParts {
  std::string_view base;       // before the last real "."
  std::string_view extension;  // from that "." to the end; the whole name when there is no "."
};

// 'photo.jpg' gives 'photo' and '.jpg'; 'README' gives '' and 'README';
// '.profile' gives '' and '.profile'; 'notes.' gives 'notes' and '.'.
NameParts SplitAtLastDot(std::string_view name);

struct PathParts {
  std::string_view folder;  // up to and including the last real "\"; empty without one
  std::string_view name;    // what follows it
};

// 'D:\a\b.txt' gives 'D:\a\' and 'b.txt'; 'b.txt' gives '' and 'b.txt'.
PathParts SplitAtLastBackslash(std::string_view path);

// The name as Windows stores it: the dots and blanks at its end are dropped
// ('ab. .' is stored as 'ab').
std::string_view WithoutTrailingDotsAndBlanks(std::string_view name);

}  // namespace renamora
