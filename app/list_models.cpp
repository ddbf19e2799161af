#include "app/list_models.h"

#include <string_view>
#include <utility>

#include "app/layout.h"

namespace renamora {

namespace {

template <typename List>
List MakeList(std::string_view name) {
  typename List::Titles titles;
  int width = 0;
  std::size_t column = 0;
  for (std::size_t i = 0; i < layout::kColumnCount; ++i) {
    if (name == layout::kColumns[i].list && column < titles.size()) {
      titles[column++] = layout::kColumns[i].title;
      width = layout::kColumns[i].width;
    }
  }
  return List(std::move(titles), width);
}

}  // namespace

FileList MakeFileList() {
  return MakeList<FileList>("超级列表框1");
}
RuleList MakeRuleList() {
  return MakeList<RuleList>("超级列表框2");
}

}  // namespace renamora
