// What the commands rely on from the file system, checked the same way on
// the in-memory file system (natively) and on the real one (under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/code_page.h"
#include "platform/gbk_text.h"
#include "platform/long_path.h"
#include "platform/name_parts.h"
#include "tests/support/scene.h"

namespace renamora::testing {
namespace {

// A GBK character whose second byte is the backslash byte 5C.
const std::string kTrail5C = "\x95\x5C";
// One whose second byte is "." (2E is no GBK trail byte, so take a letter:
// 0x81 0x41) and one whose trail byte is a lower-case letter.
const std::string kTrailA = "\x81\x41";
const std::string kTraila = "\x81\x61";

class FileSystemContract : public ::testing::Test {
 protected:
  void SetUp() override { scene_ = MakeScene(); }
  FileSystem& fs() { return scene_->fs(); }
  std::string At(const std::string& name) const { return scene_->root() + name; }

  std::set<std::pair<std::string, std::uint32_t>> Enumerate(const std::string& folder) {
    std::set<std::pair<std::string, std::uint32_t>> seen;
    auto it = fs().EnumerateFolder(folder + "*.*");
    if (!it) return seen;
    FolderEntry entry;
    while (it->Next(entry)) seen.insert({entry.name, entry.attributes});
    return seen;
  }

  std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& [name, attributes] : Enumerate(folder)) names.insert(name);
    return names;
  }

  std::unique_ptr<Scene> scene_;
};

TEST_F(FileSystemContract, RenameMovesTheFileWithItsContent) {
  scene_->AddFile(At("a.txt"), "alpha");
  ASSERT_TRUE(fs().RenameFile(At("a.txt"), At("b.txt")));
  EXPECT_FALSE(scene_->Exists(At("a.txt")));
  EXPECT_EQ(scene_->Content(At("b.txt")), "alpha");
}

TEST_F(FileSystemContract, RenameNeverReplacesAnExistingFile) {
  scene_->AddFile(At("a.txt"), "alpha");
  scene_->AddFile(At("b.txt"), "beta");
  const OpResult result = fs().RenameFile(At("a.txt"), At("b.txt"));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error, 0u);
  EXPECT_EQ(scene_->Content(At("a.txt")), "alpha");
  EXPECT_EQ(scene_->Content(At("b.txt")), "beta");
  // Names differing only in ASCII case are the same name.
  EXPECT_FALSE(fs().RenameFile(At("a.txt"), At("B.TXT")));
  EXPECT_EQ(scene_->Content(At("b.txt")), "beta");
  // Nor does it replace a folder.
  scene_->AddFolder(At("d"));
  EXPECT_FALSE(fs().RenameFile(At("a.txt"), At("d")));
  EXPECT_EQ(scene_->Content(At("a.txt")), "alpha");
}

TEST_F(FileSystemContract, RenameOntoItsOwnNameLeavesTheFileAlone) {
  scene_->AddFile(At("same.txt"), "x");
  const OpResult result = fs().RenameFile(At("same.txt"), At("same.txt"));
  // Windows reports success; either way the file must stay whole.
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(scene_->Content(At("same.txt")), "x");
}

TEST_F(FileSystemContract, CaseOnlyRenameChangesTheStoredName) {
  scene_->AddFile(At("photo.jpg"), "p");
  ASSERT_TRUE(fs().RenameFile(At("photo.jpg"), At("Photo.JPG")));
  EXPECT_EQ(scene_->Content(At("PHOTO.jpg")), "p");
  if (!scene_->ChangesCaseOnRename()) GTEST_SKIP() << "Wine keeps the old spelling";
  EXPECT_EQ(scene_->StoredName(At("photo.jpg")), "Photo.JPG");
}

// Names like these come from other systems' disks. A plain path drops the
// dots and blanks and reaches the twin; the file system takes every name as
// it stands, and a rename to a name so spelled makes exactly that name.
TEST_F(FileSystemContract, ANameEndingInDotsOrBlanksIsItsOwnFile) {
  scene_->AddFile(At("IMG01"), "plain");
  scene_->AddFile(Exact(At("IMG01.")), "dot");
  scene_->AddFolder(Exact(At("photos. ")));
  scene_->AddFile(Exact(At("photos. \\a.jpg")), "inside");
  EXPECT_EQ(scene_->Content(At("IMG01.")), "plain");
  EXPECT_EQ(Names(At("")), (std::set<std::string>{".", "..", "IMG01", "IMG01.", "photos. "}));
  EXPECT_EQ(Names(At("photos. \\")), (std::set<std::string>{".", "..", "a.jpg"}));
  ASSERT_TRUE(fs().RenameFile(At("IMG01."), At("甲-IMG01")));
  ASSERT_TRUE(fs().RenameFile(At("甲-IMG01"), At("IMG01.")));
  ASSERT_TRUE(fs().RenameFile(At("photos. \\a.jpg"), At("photos. \\b.jpg")));
  std::string bytes;
  ASSERT_TRUE(fs().ReadWholeFile(At("IMG01."), bytes));
  EXPECT_EQ(bytes, "dot");
  EXPECT_EQ(scene_->Content(Exact(At("photos. \\b.jpg"))), "inside");
  EXPECT_EQ(scene_->Content(At("IMG01")), "plain");
}

TEST_F(FileSystemContract, TrailBytesThatLookLikeLettersDoNotFoldCase) {
  // Two different characters whose trail bytes are 'A' and 'a'.
  scene_->AddFile(At(kTrailA + ".txt"), "upper");
  scene_->AddFile(At(kTraila + ".txt"), "lower");
  EXPECT_EQ(scene_->Content(At(kTrailA + ".txt")), "upper");
  EXPECT_EQ(scene_->Content(At(kTraila + ".txt")), "lower");
}

TEST_F(FileSystemContract, RenameOfAMissingFileFails) {
  const OpResult result = fs().RenameFile(At("ghost.txt"), At("other.txt"));
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(scene_->Exists(At("other.txt")));
}

TEST_F(FileSystemContract, RenameToTheBareFolderPathFails) {
  scene_->AddFile(At("a.txt"), "a");
  EXPECT_FALSE(fs().RenameFile(At("a.txt"), At("")));
  EXPECT_EQ(scene_->Content(At("a.txt")), "a");
}

TEST_F(FileSystemContract, ReadOnlyAndHiddenFilesCanBeRenamed) {
  scene_->AddFile(At("ro.txt"), "r", 0x01 | 0x20);
  scene_->AddFile(At("hid.txt"), "h", 0x02 | 0x20);
  ASSERT_TRUE(fs().RenameFile(At("ro.txt"), At("ro2.txt")));
  ASSERT_TRUE(fs().RenameFile(At("hid.txt"), At("hid2.txt")));
  EXPECT_EQ(scene_->Content(At("ro2.txt")), "r");
  EXPECT_EQ(scene_->Content(At("hid2.txt")), "h");
  EXPECT_EQ(fs().Attributes(At("ro2.txt")).value_or(0) & 0x01, 0x01u);
  EXPECT_EQ(fs().Attributes(At("hid2.txt")).value_or(0) & 0x02, 0x02u);
}

TEST_F(FileSystemContract, AFolderCanBeRenamed) {
  scene_->AddFolder(At("old"));
  scene_->AddFile(At("old\\inside.txt"), "i");
  ASSERT_TRUE(fs().RenameFile(At("old"), At("new")));
  EXPECT_EQ(scene_->Content(At("new\\inside.txt")), "i");
}

TEST_F(FileSystemContract, ALockedFileIsNotRenamed) {
  scene_->AddFile(At("busy.txt"), "b");
  scene_->Lock(At("busy.txt"));
  EXPECT_FALSE(fs().RenameFile(At("busy.txt"), At("free.txt")));
  scene_->Unlock(At("busy.txt"));
  EXPECT_EQ(scene_->Content(At("busy.txt")), "b");
  EXPECT_FALSE(scene_->Exists(At("free.txt")));
}

TEST_F(FileSystemContract, GbkNamesWithABackslashTrailByteRenameInPlace) {
  const std::string from = At("a" + kTrail5C + "b.txt");
  const std::string to = At("c" + kTrail5C + "d.txt");
  scene_->AddFile(from, "gbk");
  ASSERT_TRUE(scene_->Exists(from));
  ASSERT_TRUE(fs().RenameFile(from, to));
  EXPECT_EQ(scene_->Content(to), "gbk");
  EXPECT_FALSE(scene_->Exists(from));
  EXPECT_EQ(scene_->StoredName(to), "c" + kTrail5C + "d.txt");
}

TEST_F(FileSystemContract, ChineseNamesRenameInPlace) {
  scene_->AddFile(At("照片.jpg"), "jpg");
  ASSERT_TRUE(fs().RenameFile(At("照片.jpg"), At("海滩-照片.jpg")));
  EXPECT_EQ(scene_->Content(At("海滩-照片.jpg")), "jpg");
}

// A new name is never allowed to reach another folder, a stream or a device.
TEST_F(FileSystemContract, RenameRefusesNamesThatLeaveTheFolder) {
  scene_->AddFolder(At("sub"));
  scene_->AddFile(At("sub\\a.txt"), "a");
  const std::string from = At("sub\\a.txt");
  for (const std::string& name :
       std::vector<std::string>{"..\\a.txt", "x\\a.txt", "..", ".", "...", "  ", "../a.txt",
                                "x/y.txt", "a.txt:stream", "C:a.txt", "a<b", "a>b", "a\"b", "a|b",
                                "a?b", "a*b", std::string("a\tb"), std::string("a\x01") + "b"}) {
    const OpResult result = fs().RenameFile(from, At("sub\\") + name);
    EXPECT_FALSE(result.ok) << name;
    EXPECT_EQ(scene_->Content(from), "a") << name;
  }
  // The target's folder must be the source's folder, spelled the same.
  EXPECT_FALSE(fs().RenameFile(from, At("b.txt")));
  EXPECT_FALSE(scene_->Exists(At("b.txt")));
  EXPECT_EQ(scene_->Content(from), "a");
  EXPECT_FALSE(scene_->Exists(At("a.txt")));
  // Windows reads a "/" in the source as a separator too: this source lies
  // in sub, not in the folder its last "\" names.
  EXPECT_FALSE(fs().RenameFile(At("sub/a.txt"), At("b.txt")));
  EXPECT_FALSE(scene_->Exists(At("b.txt")));
  EXPECT_EQ(scene_->Content(from), "a");
  // A trail byte 5C inside the new name is no separator.
  EXPECT_TRUE(fs().RenameFile(from, At("sub\\") + "x" + kTrail5C + ".txt"));
}

// The text model's lead bytes are the platform's: "€" (80) and FF stand
// alone, so a folder "价格€" ends at its "\" and keeps its file.
TEST_F(FileSystemContract, LeadBytesAreThePlatformsAndAFolderEndingInEuroKeepsItsFile) {
  for (unsigned b = 0; b < 256; ++b) {
    EXPECT_EQ(text::IsLeadByte(static_cast<char>(b)), scene_->IsLeadByte(b)) << b;
  }
  const std::string from = At("价格\x80\\IMG01.jpg");
  scene_->AddFolder(At("价格\x80"));
  scene_->AddFile(from, "jpg");
  EXPECT_EQ(SplitAtLastBackslash(from).name, "IMG01.jpg");
  EXPECT_FALSE(fs().RenameFile(from, At("海滩.jpg")));
  ASSERT_TRUE(fs().RenameFile(from, At("价格\x80\\海滩.jpg")));
  EXPECT_EQ(scene_->Content(At("价格\x80\\海滩.jpg")), "jpg");
  EXPECT_FALSE(scene_->Exists(At("海滩.jpg")));
}

// Windows 7 and 10 take these for devices in every folder, and a rename
// there could pour the file into one. A rename never copies: the file that
// arrives is the file that left.
TEST_F(FileSystemContract, RenameRefusesDeviceNamesAndNeverCopies) {
  std::string at = At("a.jpg");
  scene_->AddFile(at, "a");
  const std::uint64_t identity = scene_->Identity(at);
  ASSERT_NE(identity, 0u);
  for (const char* name : {"NUL.jpg", "nul.photo.jpg", "CON", "AUX.txt", "COM1.jpg", "lpt9",
                           "PRN.doc", "conin$", "CONOUT$.x", "Nul. .", "com3 .txt"}) {
    EXPECT_FALSE(fs().RenameFile(at, At(name))) << name;
    EXPECT_EQ(scene_->Content(at), "a") << name;
  }
  for (const char* name : {"NULL.jpg", "CONSOLE", "COM10.jpg", "auxi.txt"}) {
    ASSERT_TRUE(fs().RenameFile(at, At(name))) << name;
    at = At(name);
  }
  EXPECT_EQ(scene_->Content(at), "a");
  EXPECT_EQ(scene_->Identity(at), identity);
}

TEST_F(FileSystemContract, AttributesAreTheFiveOnly) {
  scene_->AddFolder(At("plain"));
  scene_->AddFile(At("f.txt"), "f", 0x20);
  scene_->AddFile(At("rhs.txt"), "x", 0x01 | 0x02 | 0x04 | 0x20);
  EXPECT_EQ(fs().Attributes(At("plain")), std::optional<std::uint32_t>(0x10));
  EXPECT_EQ(fs().Attributes(At("plain\\")), std::optional<std::uint32_t>(0x10));
  EXPECT_EQ(fs().Attributes(At("f.txt")), std::optional<std::uint32_t>(0x20));
  EXPECT_EQ(fs().Attributes(At("rhs.txt")), std::optional<std::uint32_t>(0x27));
  EXPECT_FALSE(fs().Attributes(At("missing.txt")).has_value());
}

TEST_F(FileSystemContract, FolderAttributeSetsCanBeCombined) {
  scene_->AddFolder(At("hid"), 0x10 | 0x02);
  scene_->AddFolder(At("sys"), 0x10 | 0x04);
  EXPECT_EQ(fs().Attributes(At("hid")), std::optional<std::uint32_t>(0x12));
  EXPECT_EQ(fs().Attributes(At("sys")), std::optional<std::uint32_t>(0x14));
  // A read-only folder, and a link that leads to the folder that holds it.
  scene_->AddFolder(At("rdonly"), 0x10 | 0x01);
  scene_->AddFolder(At("link"), 0x10 | 0x400);
  EXPECT_EQ(fs().Attributes(At("rdonly")), std::optional<std::uint32_t>(0x11));
  EXPECT_EQ(fs().Attributes(At("link")), std::optional<std::uint32_t>(0x410));
  EXPECT_EQ(Enumerate(At("link\\")), Enumerate(At("")));
  if (!scene_->CanGiveFoldersAnyAttribute()) GTEST_SKIP() << "folders keep hidden and system only";
  scene_->AddFolder(At("arch"), 0x10 | 0x20);
  scene_->AddFolder(At("ro"), 0x10 | 0x01);
  EXPECT_EQ(fs().Attributes(At("arch")), std::optional<std::uint32_t>(0x30));
  EXPECT_EQ(fs().Attributes(At("ro")), std::optional<std::uint32_t>(0x11));
}

TEST_F(FileSystemContract, EnumerationListsDotEntriesAndEveryNameWithItsAttributes) {
  scene_->AddFolder(At("d"));
  scene_->AddFile(At("d\\one.txt"), "1");
  scene_->AddFile(At("d\\two.txt"), "2", 0x02 | 0x20);
  scene_->AddFolder(At("d\\sub"));
  scene_->AddFile(At("d\\" + kTrail5C + ".txt"), "3");
  const auto seen = Enumerate(At("d\\"));
  const std::set<std::pair<std::string, std::uint32_t>> expected = {
      {".", 0x10},       {"..", 0x10},  {"one.txt", 0x20},
      {"two.txt", 0x22}, {"sub", 0x10}, {kTrail5C + ".txt", 0x20}};
  EXPECT_EQ(seen, expected);
}

TEST_F(FileSystemContract, EnumerationOfWhatIsNoFolderYieldsNothing) {
  scene_->AddFile(At("file.txt"), "f");
  EXPECT_EQ(fs().EnumerateFolder(At("missing\\*.*")), nullptr);
  auto asFolder = fs().EnumerateFolder(At("file.txt\\*.*"));
  if (asFolder) {
    FolderEntry entry;
    EXPECT_FALSE(asFolder->Next(entry));
  }
}

TEST_F(FileSystemContract, EnumerationOfAnEmptyFolderGivesOnlyTheDotEntries) {
  scene_->AddFolder(At("empty"));
  const std::set<std::pair<std::string, std::uint32_t>> expected = {{".", 0x10}, {"..", 0x10}};
  EXPECT_EQ(Enumerate(At("empty\\")), expected);
}

TEST_F(FileSystemContract, AFileWithNoneOfTheAttributesIsEnumeratedWithNone) {
  if (!scene_->CanMakeFileWithoutAttributes()) {
    GTEST_SKIP() << "this file system gives every file the archive attribute";
  }
  scene_->AddFolder(At("d"));
  scene_->AddFile(At("d\\normal.txt"), "n", 0);
  scene_->AddFile(At("d\\seen.txt"), "s", 0x20);
  const std::set<std::pair<std::string, std::uint32_t>> expected = {
      {".", 0x10}, {"..", 0x10}, {"normal.txt", 0}, {"seen.txt", 0x20}};
  EXPECT_EQ(Enumerate(At("d\\")), expected);
  EXPECT_EQ(fs().Attributes(At("d\\normal.txt")), std::optional<std::uint32_t>(0));
}

TEST_F(FileSystemContract, AnUnreadableFolderCannotBeEnumerated) {
  if (!scene_->CanMakeUnreadableFolder()) {
    GTEST_SKIP() << "the tests run as a user whom no permission keeps out";
  }
  scene_->AddFolder(At("locked"));
  scene_->AddFile(At("locked\\a.txt"), "a");
  scene_->MakeUnreadable(At("locked"));
  EXPECT_EQ(fs().EnumerateFolder(At("locked\\*.*")), nullptr);
}

TEST_F(FileSystemContract, EnumerationFollowsCreationOrderWhereTheFileSystemKeepsIt) {
  if (!scene_->KeepsCreationOrder()) GTEST_SKIP() << "this file system orders entries itself";
  scene_->AddFolder(At("d"));
  for (const char* name : {"c", "a", "b"}) scene_->AddFile(At(std::string("d\\") + name), "x");
  std::vector<std::string> names;
  auto it = fs().EnumerateFolder(At("d\\*.*"));
  FolderEntry entry;
  while (it->Next(entry)) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "c", "a", "b"}));
}

TEST_F(FileSystemContract, ReadGivesEveryByteAndSharesTheFile) {
  const std::string bytes("a\0b\x1a\r\n\xff", 7);
  scene_->AddFile(At("data.bin"), bytes);
  std::string read;
  ASSERT_TRUE(fs().ReadWholeFile(At("data.bin"), read));
  EXPECT_EQ(read, bytes);
}

TEST_F(FileSystemContract, ReadOfWhatCannotBeOpenedGivesNoBytes) {
  std::string read = "stale";
  EXPECT_FALSE(fs().ReadWholeFile(At("missing.csv"), read));
  EXPECT_TRUE(read.empty());
  scene_->AddFolder(At("folder.csv"));
  read = "stale";
  EXPECT_FALSE(fs().ReadWholeFile(At("folder.csv"), read));
  EXPECT_TRUE(read.empty());
  scene_->AddFile(At("busy.csv"), "b");
  scene_->Lock(At("busy.csv"));
  EXPECT_FALSE(fs().ReadWholeFile(At("busy.csv"), read));
  scene_->Unlock(At("busy.csv"));
}

TEST_F(FileSystemContract, WriteCreatesOrEmptiesTheFile) {
  ASSERT_TRUE(fs().WriteWholeFile(At("out.csv"), "first version\r\n"));
  EXPECT_EQ(scene_->Content(At("out.csv")), "first version\r\n");
  ASSERT_TRUE(fs().WriteWholeFile(At("out.csv"), "2"));
  EXPECT_EQ(scene_->Content(At("out.csv")), "2");
  ASSERT_TRUE(fs().WriteWholeFile(At("out.csv"), ""));
  EXPECT_EQ(scene_->Content(At("out.csv")), "");
}

TEST_F(FileSystemContract, WriteFailsWhereItCannotWrite) {
  EXPECT_FALSE(fs().WriteWholeFile("", "x"));
  EXPECT_FALSE(fs().WriteWholeFile(At("no-such-folder\\out.csv"), "x"));
  scene_->AddFolder(At("dir.csv"));
  EXPECT_FALSE(fs().WriteWholeFile(At("dir.csv"), "x"));
  scene_->AddFile(At("busy.csv"), "keep");
  scene_->Lock(At("busy.csv"));
  EXPECT_FALSE(fs().WriteWholeFile(At("busy.csv"), "x"));
  scene_->Unlock(At("busy.csv"));
  EXPECT_EQ(scene_->Content(At("busy.csv")), "keep");
}

TEST_F(FileSystemContract, WriteRefusesAReadOnlyFile) {
  scene_->AddFile(At("ro.csv"), "keep", 0x01 | 0x20);
  EXPECT_FALSE(fs().WriteWholeFile(At("ro.csv"), "x"));
  EXPECT_EQ(scene_->Content(At("ro.csv")), "keep");
}

TEST_F(FileSystemContract, WriteRefusesAHiddenOrSystemFile) {
  scene_->AddFile(At("hid.csv"), "keep", 0x02 | 0x20);
  scene_->AddFile(At("sys.csv"), "keep", 0x04 | 0x20);
  EXPECT_FALSE(fs().WriteWholeFile(At("hid.csv"), "x"));
  EXPECT_FALSE(fs().WriteWholeFile(At("sys.csv"), "x"));
  EXPECT_EQ(scene_->Content(At("hid.csv")), "keep");
  EXPECT_EQ(scene_->Content(At("sys.csv")), "keep");
}

TEST_F(FileSystemContract, DesktopFolderEndsWithABackslash) {
  const std::string desktop = fs().DesktopFolder();
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(desktop.back(), '\\');
}

}  // namespace
}  // namespace renamora::testing

namespace renamora::testing {
namespace {

// Ten levels of Chinese folder names pass MAX_PATH, which the ANSI
// functions cannot reach; the file system lists, renames, reads and writes
// there like anywhere else. A name holds at most 255 characters (a
// double-byte one counting one), a path fewer than 32,767.
TEST_F(FileSystemContract, PathsPastMaxPathWorkUpToTheExtendedLimit) {
  std::string deep = At("");
  for (int i = 0; i < 10; ++i) {
    scene_->AddFolder(Exact(deep += "照片档案" + std::string(22, 'd')));
    deep += "\\";
  }
  scene_->AddFile(Exact(deep + "a.jpg"), "deep");
  EXPECT_FALSE(scene_->ExistsByAnsiPath(deep + "a.jpg"));
  EXPECT_EQ(Names(deep), (std::set<std::string>{".", "..", "a.jpg"}));
  EXPECT_FALSE(fs().RenameFile(deep + "a.jpg", deep + std::string(256, 'm')));
  std::string wide;
  for (int i = 0; i < 120; ++i) wide += "照";
  ASSERT_TRUE(fs().RenameFile(deep + "a.jpg", deep + wide));
  ASSERT_TRUE(fs().WriteWholeFile(deep + "out.csv", "x"));
  EXPECT_EQ(fs().Attributes(deep + "out.csv"), std::optional<std::uint32_t>(0x20));
  std::string bytes;
  ASSERT_TRUE(fs().ReadWholeFile(deep + wide, bytes));
  EXPECT_EQ(bytes, "deep");
  const std::string huge = At(std::string(kMaxExtendedPath, 'h'));
  EXPECT_FALSE(fs().Attributes(huge).has_value());
  EXPECT_EQ(fs().EnumerateFolder(huge + "\\*.*"), nullptr);
  EXPECT_FALSE(fs().WriteWholeFile(huge, "x"));
  EXPECT_FALSE(fs().RenameFile(deep + wide, huge));
}

// The new bytes take the old file's place in one step: a write that fails
// part-way, or cannot replace a file open elsewhere, leaves the old file
// byte for byte and nothing beside it.
TEST_F(FileSystemContract, AWriteReplacesTheFileWholeOrNotAtAll) {
  const std::string old(3200, 'o');
  scene_->AddFile(At("out.csv"), old);
  scene_->FailNextWriteAfter(1000);
  EXPECT_FALSE(fs().WriteWholeFile(At("out.csv"), std::string(16384, 'n')));
  scene_->Lock(At("out.csv"));
  EXPECT_FALSE(fs().WriteWholeFile(At("out.csv"), "new"));
  scene_->Unlock(At("out.csv"));
  EXPECT_EQ(scene_->Content(At("out.csv")), old);
  ASSERT_TRUE(fs().WriteWholeFile(At("out.csv"), "new"));
  EXPECT_EQ(scene_->Content(At("out.csv")), "new");
  EXPECT_EQ(Names(At("")), (std::set<std::string>{".", "..", "out.csv"}));
}

}  // namespace
}  // namespace renamora::testing

namespace renamora::testing {
namespace {

// Bringing UTF-8 and UTF-16 text into the ANSI code page: the same bytes,
// and the same refusals at the same place, on both platforms.
class CodePageContract : public ::testing::Test {
 protected:
  void SetUp() override { scene_ = MakeScene(); }
  AnsiConversion ToAnsi(const std::string& text, UnicodeForm form) {
    return scene_->codePage().ToAnsi(text, form);
  }
  std::unique_ptr<Scene> scene_;
};

constexpr UnicodeForm kForms[] = {UnicodeForm::kUtf8, UnicodeForm::kUtf16Le, UnicodeForm::kUtf16Be};

// A UTF-16 literal written out in one of the forms.
std::string InForm(std::u16string_view text, UnicodeForm form) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned unit = text[i];
    if (form == UnicodeForm::kUtf16Le || form == UnicodeForm::kUtf16Be) {
      const char high = static_cast<char>(unit >> 8);
      const char low = static_cast<char>(unit & 0xFF);
      bytes += form == UnicodeForm::kUtf16Le ? std::string{low, high} : std::string{high, low};
      continue;
    }
    char32_t code = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF)
      code = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    const auto put = [&](unsigned value) { bytes.push_back(static_cast<char>(value)); };
    if (code < 0x80) {
      put(code);
    } else if (code < 0x800) {
      put(0xC0 | code >> 6);
      put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      put(0xE0 | code >> 12);
      put(0x80 | (code >> 6 & 0x3F));
      put(0x80 | (code & 0x3F));
    } else {
      put(0xF0 | code >> 18);
      put(0x80 | (code >> 12 & 0x3F));
      put(0x80 | (code >> 6 & 0x3F));
      put(0x80 | (code & 0x3F));
    }
  }
  return bytes;
}

TEST_F(CodePageContract, ChineseTextAndAsciiComeOutAsGbk) {
  std::u16string manyLines;
  std::string manyLinesGbk;
  for (int i = 0; i < 500; ++i) {
    manyLines += u"IMG,海滩\r\n";
    manyLinesGbk += "IMG,海滩\r\n";
  }
  const struct {
    std::u16string text;
    std::string gbk;
  } cases[] = {
      {u"代码,内容\r\nIMG,海滩\r\n", "代码,内容\r\nIMG,海滩\r\n"},
      // Trail byte 5C ("\"), and 表 and 功, which have it in other code pages.
      {u"乗擻,表功", "\x81\x5C\x94\x5C,\xB1\xED\xB9\xA6"},
      {u"IMG_01, \"beach\"\t~\\/\x7F", "IMG_01, \"beach\"\t~\\/\x7F"},
      {u"€,é,“，”", "\x80,\xA8\xA6,\xA1\xB0\xA3\xAC\xA1\xB1"},
      {std::u16string(u"a\0b\x1A", 4), std::string("a\0b\x1A", 4)},
      {u"", ""},
      {manyLines, manyLinesGbk},
  };
  for (const auto& c : cases) {
    for (const UnicodeForm form : kForms) {
      const AnsiConversion ansi = ToAnsi(InForm(c.text, form), form);
      EXPECT_EQ(ansi.outcome, AnsiConversion::Outcome::kConverted) << c.gbk;
      EXPECT_EQ(ansi.bytes, c.gbk) << static_cast<int>(form);
    }
  }
}

// No look-alike ("a" for "â", "2" for "²"), no "?": the first character
// without a code of its own stops the conversion, and says where it is.
TEST_F(CodePageContract, WhatGbkCannotHoldIsRefusedWhereItStands) {
  std::u16string lateLine;
  for (int i = 0; i < 500; ++i) lateLine += u"IMG,海滩\r\n";
  const struct {
    std::u16string text;
    std::size_t unitsBefore;  // UTF-16 units before the refused character
  } cases[] = {
      {u"a,😀", 2},
      {u"海滩,한국", 3},
      {u"x,â", 2},
      {u"x,²", 2},
      {u"\x80", 0},
      {u"a\r\nb,c\r\n한\r\n😀", 8},
      {lateLine + u"x,😀,y", lateLine.size() + 2},
  };
  for (const auto& c : cases) {
    for (const UnicodeForm form : kForms) {
      const AnsiConversion ansi = ToAnsi(InForm(c.text, form), form);
      EXPECT_EQ(ansi.outcome, AnsiConversion::Outcome::kNotInCodePage) << c.unitsBefore;
      EXPECT_EQ(ansi.at, InForm(c.text.substr(0, c.unitsBefore), form).size())
          << c.unitsBefore << " in form " << static_cast<int>(form);
      EXPECT_TRUE(ansi.bytes.empty());
    }
  }
}

TEST_F(CodePageContract, BytesThatAreNoTextAreRefusedWhereTheyStand) {
  using O = AnsiConversion::Outcome;
  const struct {
    UnicodeForm form;
    std::string bytes;
    O outcome;
    std::size_t at;
  } cases[] = {
      {UnicodeForm::kUtf8, "\xC0\xAF", O::kInvalid, 0},                // overlong "/"
      {UnicodeForm::kUtf8, "a\xED\xA0\x80", O::kInvalid, 1},           // a surrogate
      {UnicodeForm::kUtf8, "\xF4\x90\x80\x80", O::kInvalid, 0},        // beyond U+10FFFF
      {UnicodeForm::kUtf8, "ab\xE4\xB8", O::kInvalid, 2},              // cut short
      {UnicodeForm::kUtf8, "\xC3\xA9\x80", O::kInvalid, 2},            // a lone continuation
      {UnicodeForm::kUtf8, "\xB1\xED,1", O::kInvalid, 0},              // GBK
      {UnicodeForm::kUtf8, "\xED\x95\x9C\xC0", O::kNotInCodePage, 0},  // the first stop counts
      {UnicodeForm::kUtf8, "a\r\nb\xC0\xED\x95\x9C", O::kInvalid, 4},
      {UnicodeForm::kUtf16Le, std::string("a\0\0\xD8", 4), O::kInvalid, 2},  // unpaired
      {UnicodeForm::kUtf16Le,
       std::string("\0\xD8"
                   "a\0",
                   4),
       O::kInvalid, 0},
      {UnicodeForm::kUtf16Le, std::string("a\0b", 3), O::kInvalid, 2},  // odd length
      {UnicodeForm::kUtf16Be, std::string("\xDC\0", 2), O::kInvalid, 0},
  };
  for (const auto& c : cases) {
    const AnsiConversion ansi = ToAnsi(c.bytes, c.form);
    EXPECT_EQ(ansi.outcome, c.outcome) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(ansi.at, c.at) << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace renamora::testing
