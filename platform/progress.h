// How far a long command has come, told to whoever shows it, and whether the
// user wants it to go on. The commands call it after every row (or every
// file a walk finds), so an implementation must be cheap when it has
// nothing to do.
#pragma once

#include <cstddef>

namespace renamora {

class Progress {
 public:
  virtual ~Progress() = default;
  // `done` rows of `total`; a walk, which cannot know its total, passes the
  // files found so far with a total of 0. False when the user asked to
  // stop: the command then ends after the row it is at, as if that row had
  // been its last.
  virtual bool Step(std::size_t done, std::size_t total) = 0;
  // A box of the command's own (a question, the save dialog) has just
  // closed: a stop asked for while it was up is asked about now. False when
  // the user asked to stop.
  virtual bool AfterBox() { return true; }
};

// For commands that nobody watches.
class NoProgress final : public Progress {
 public:
  bool Step(std::size_t, std::size_t) override { return true; }
};

}  // namespace renamora
