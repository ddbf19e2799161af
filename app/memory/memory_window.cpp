#include "app/memory/memory_window.h"

#include "app/layout.h"

namespace renamora {

MemoryMainWindow::MemoryMainWindow() : fileList_(MakeFileList()), ruleList_(MakeRuleList()) {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    switch (c.kind) {
      case layout::Kind::kLabel:
        labels_[c.name] = std::make_unique<MemoryLabel>(c.caption);
        break;
      case layout::Kind::kTransparentLabel:
        hints_[c.name] = std::make_unique<MemoryDropHint>(true);
        break;
      case layout::Kind::kRadioButton: {
        auto radio = std::make_unique<MemoryRadioButton>(c.checked);
        auto& group = radioGroups_[layout::FirstOfRadioGroup(c).name];
        if (!group) group = std::make_unique<std::vector<MemoryRadioButton*>>();
        radio->JoinGroup(group.get());
        radios_[c.name] = std::move(radio);
        break;
      }
      case layout::Kind::kEditBox:
      case layout::Kind::kComboBox:
        texts_[c.name] = std::make_unique<MemoryTextBox>(c.caption);
        break;
      case layout::Kind::kSaveDialog:
        dialogs_[c.name] = std::make_unique<MemorySaveDialog>(c.caption);
        break;
      case layout::Kind::kDropObject:
        drops_[c.name] = std::make_unique<MemoryDropObject>();
        break;
      default:
        break;
    }
  }
  controls_ = std::make_unique<Controls>(ControlsOf(*this, &mainWindowToken_, &ruleListToken_));
}

}  // namespace renamora
