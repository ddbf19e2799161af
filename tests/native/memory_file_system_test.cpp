// The in-memory file system against a plain model, in a folder big enough
// that its name lookup grows, wraps around and closes gaps many times; and
// renames whose paths take the long way, which must answer as the short one.
#include "platform/memory/memory_file_system.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/gbk_text.h"

namespace renamora::testing {
namespace {

// Few pieces and short names, so that many names collide, also in another
// case; two of the pieces are characters whose trail bytes are 'A' and 'a'.
const char* const kPieces[] = {"a", "A", "b", "B", "1", "\x81\x41", "\x81\x61", "中"};

std::string RandomName(std::mt19937& rng) {
  std::string name;
  const int length = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < length; ++i) name += kPieces[rng() % std::size(kPieces)];
  return name + ".t";
}

std::string Folded(const std::string& name) {
  std::string key = name;
  for (std::size_t i = 0; i < key.size(); i += text::CharLength(key, i)) {
    key[i] = text::AsciiLower(key[i]);
  }
  return key;
}

// The same name with its letters in a random case (trail bytes kept).
std::string Respelled(const std::string& name, std::mt19937& rng) {
  std::string spelled = name;
  for (std::size_t i = 0; i < spelled.size(); i += text::CharLength(spelled, i)) {
    const char c = spelled[i];
    if (rng() % 2 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      spelled[i] = static_cast<char>(c ^ 0x20);
    }
  }
  return spelled;
}

class Model {
 public:
  bool Has(const std::string& name) const { return byKey_.count(Folded(name)) != 0; }
  void Add(const std::string& name) {
    if (Has(name)) return;
    byKey_[Folded(name)] = listing_.size();
    listing_.push_back(name);
  }
  void Remove(const std::string& name) {
    const std::size_t at = byKey_.at(Folded(name));
    listing_.erase(listing_.begin() + static_cast<std::ptrdiff_t>(at));
    Reindex();
  }
  // The entry keeps its place in the listing.
  void Rename(const std::string& from, const std::string& to) {
    const std::size_t at = byKey_.at(Folded(from));
    byKey_.erase(Folded(from));
    listing_[at] = to;
    byKey_[Folded(to)] = at;
  }
  const std::vector<std::string>& Listing() const { return listing_; }
  const std::string& Pick(std::mt19937& rng) const { return listing_[rng() % listing_.size()]; }

 private:
  void Reindex() {
    byKey_.clear();
    for (std::size_t i = 0; i < listing_.size(); ++i) byKey_[Folded(listing_[i])] = i;
  }
  std::map<std::string, std::size_t> byKey_;
  std::vector<std::string> listing_;
};

TEST(MemoryFileSystemNames, ThousandsOfAddsRenamesAndRemovesInOneFolderMatchAModel) {
  const std::string folder = "D:\\大\\文件夹\\";
  MemoryFileSystem fs;
  fs.AddFolder("D:\\大\\文件夹");
  Model model;
  std::mt19937 rng(8);
  auto check = [&](int step) {
    std::vector<std::string> listed;
    for (const auto& item : fs.Walk(folder)) listed.push_back(item.path.substr(folder.size()));
    ASSERT_EQ(listed, model.Listing()) << "after step " << step;
    for (const std::string& name : model.Listing()) {
      ASSERT_EQ(fs.StoredName(folder + Respelled(name, rng)), name) << "after step " << step;
    }
  };
  for (int step = 0; step < 20000; ++step) {
    const unsigned op = rng() % 10;
    if (op < 4 || model.Listing().empty()) {
      const std::string name = RandomName(rng);
      fs.AddFile(folder + name, "x");
      model.Add(name);
    } else if (op < 5) {
      const std::string name = model.Pick(rng);
      ASSERT_TRUE(fs.Remove(folder + Respelled(name, rng)));
      model.Remove(name);
      ASSERT_FALSE(fs.Exists(folder + name));
    } else {
      // Sometimes a name that is not there, sometimes a case-only change.
      const std::string from = op == 5 ? RandomName(rng) : Respelled(model.Pick(rng), rng);
      const std::string to = op == 6 ? Respelled(from, rng) : RandomName(rng);
      const OpResult result = fs.RenameFile(folder + from, folder + to);
      if (!model.Has(from)) {
        ASSERT_FALSE(result.ok) << from;
        ASSERT_EQ(result.error, error::kFileNotFound);
      } else if (model.Has(to) && Folded(to) != Folded(from)) {
        ASSERT_FALSE(result.ok) << from << " -> " << to;
        ASSERT_EQ(result.error, error::kAlreadyExists);
      } else {
        ASSERT_TRUE(result.ok) << from << " -> " << to;
        model.Rename(from, to);
      }
    }
    if (step % 1000 == 999) check(step);
  }
  check(20000);
}

TEST(MemoryFileSystemNames, RenamePathsThroughDotEntriesAnswerAsTheirPlainForm) {
  MemoryFileSystem fs;
  fs.AddFile("D:\\a\\b\\x.txt", "x");
  fs.AddFile("D:\\a\\y.txt", "y");
  // The folder part is walked like any path: "." stays, ".." goes up.
  EXPECT_TRUE(fs.RenameFile("D:\\a\\.\\b\\..\\b\\x.txt", "D:\\a\\.\\b\\..\\b\\z.txt"));
  EXPECT_EQ(fs.Content("D:\\a\\b\\z.txt"), "x");
  // Names are taken as they stand: "z.txt. " is another file's name.
  EXPECT_EQ(fs.RenameFile("D:\\a\\b\\z.txt. ", "D:\\a\\b\\w.txt").error, error::kFileNotFound);
  // Not found: the file, or the folder on the way.
  EXPECT_EQ(fs.RenameFile("D:\\a\\b\\none.txt", "D:\\a\\b\\n.txt").error, error::kFileNotFound);
  EXPECT_EQ(fs.RenameFile("D:\\a\\no\\x.txt", "D:\\a\\no\\n.txt").error, error::kPathNotFound);
  EXPECT_EQ(fs.RenameFile("D:\\a\\y.txt\\x.txt", "D:\\a\\y.txt\\n.txt").error,
            error::kPathNotFound);
  // A name ending in "\." or "\.." names a folder, which cannot take a name
  // inside itself.
  EXPECT_FALSE(fs.RenameFile("D:\\a\\b\\.", "D:\\a\\b\\c"));
  EXPECT_TRUE(fs.IsFolder("D:\\a\\b"));
  EXPECT_FALSE(fs.Exists("D:\\a\\b\\c"));
}

}  // namespace
}  // namespace renamora::testing
