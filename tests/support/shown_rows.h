// The File list's rows as plain values, for tests that join, keep or
// compare them.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "platform/list_model.h"

namespace renamora::testing {

struct ShownRow {
  std::string folder, originalName, currentName;
  Status status = Status::kNone;

  auto Tie() const { return std::tie(folder, originalName, currentName, status); }
  bool operator==(const ShownRow& o) const { return Tie() == o.Tie(); }
};

inline std::vector<ShownRow> ShownRows(const FileList& list) {
  std::vector<ShownRow> rows;
  rows.reserve(list.RowCount());
  for (std::size_t r = 0; r < list.RowCount(); ++r) {
    rows.push_back({std::string(list.Folder(r)), std::string(list.OriginalName(r)),
                    std::string(list.CurrentName(r)), list.StatusOf(r)});
  }
  return rows;
}

}  // namespace renamora::testing
