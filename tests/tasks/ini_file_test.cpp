#include "tasks/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "platform/locale_services.h"
#include "tasks/atomic_file_writer.h"
#include "tasks/file_error.h"
#include "tasks/temp_folder.h"
#include "tasks/unprivileged_child.h"

namespace chronel {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Changes the key k of section S and saves; answers "saved" or the error raised.
std::string SaveChange(const std::string& file) {
  try {
    TBigIniFile ini(file);
    ini.WriteString("S", "k", "changed");
    ini.UpdateFile();
    return "saved";
  } catch (const EFileError& error) {
    return error.what();
  }
}

// Puts the file's time stamp an hour back, so any rewrite shows.
fs::file_time_type AgeFile(const std::string& file) {
  const auto old = fs::last_write_time(testing::NativePath(file)) - std::chrono::hours(1);
  fs::last_write_time(testing::NativePath(file), old);
  return old;
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string MakeFile(std::string_view bytes) {
    const std::string file = folder_.File("settings.ini");
    WriteBytes(file, bytes);
    return file;
  }
  TempFolder folder_;
};

TEST_F(IniFileTest, DuplicateSectionIsReadFromTheFirstAndDroppedOnRewrite) {
  const std::string file = MakeFile("[A]\r\nx = 1 \r\n[a]\r\nx=2\r\n");
  const auto stamp = AgeFile(file);
  {
    TBigIniFile ini(file);
    EXPECT_EQ(ini.ReadString("A", "X", "?"), "1");
    EXPECT_EQ(ini.ReadString("a", "x", "?"), "1");
  }
  EXPECT_EQ(fs::last_write_time(testing::NativePath(file)), stamp);
  EXPECT_EQ(ReadBytes(file), "[A]\r\nx = 1 \r\n[a]\r\nx=2\r\n");
  {
    TBigIniFile ini(file);
    ini.WriteString("A", "y", "2");
  }
  EXPECT_EQ(ReadBytes(file), "[A]\r\nx = 1 \r\ny=2\r\n\r\n");
}

TEST_F(IniFileTest, WritesSectionsWithCrLfAndOneEmptyLineAfterEach) {
  const std::string file = folder_.File("new.ini");
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "k", "v");
    ini.WriteString("T", "a", "1");
    ini.WriteString("S", "k2", "w");
  }
  EXPECT_EQ(ReadBytes(file), "[S]\r\nk=v\r\nk2=w\r\n\r\n[T]\r\na=1\r\n\r\n");
}

TEST_F(IniFileTest, RewritingTheSameValueLeavesTheFileAlone) {
  const std::string file = MakeFile("[S]\r\nk=v\r\n");
  const auto stamp = AgeFile(file);
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "k", "v");
    ini.WriteString("s", "k", "v");
    EXPECT_FALSE(ini.Modified());
  }
  EXPECT_EQ(fs::last_write_time(testing::NativePath(file)), stamp);
}

TEST_F(IniFileTest, ChangedLineTakesTheCallersSpellingAndDropsBlanksAroundTheEqualSign) {
  const std::string file = MakeFile("[S]\nKey = 1\nkey=second\n");
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "KEY", "1");  // "Key = 1" is not the line "KEY=1"
    EXPECT_TRUE(ini.Modified());
    EXPECT_EQ(ini.ReadString("S", "key", "?"), "1");
  }
  EXPECT_EQ(ReadBytes(file), "[S]\r\nKEY=1\r\nkey=second\r\n\r\n");
}

TEST_F(IniFileTest, LoadingKeepsSectionLinesOnlyAndNamesExactly) {
  const std::string file = MakeFile(
      "lost=1\r\n; lost too\r\n\r\n[ Spaced ]\r\n; comment\r\n\x1A\r\n\r\n"
      "a = 1\rb=2\n\n[Other]\r\nno equal sign\r\n=empty key\r\nc=x=y");
  TBigIniFile ini(file);
  std::vector<std::string> names{"stale"};
  ini.ReadSections(names);
  EXPECT_EQ(names, (std::vector<std::string>{" Spaced ", "Other"}));
  EXPECT_EQ(ini.ReadString("Spaced", "a", "?"), "?");
  EXPECT_EQ(ini.ReadString(" spaced ", "a", "?"), "1");
  EXPECT_EQ(ini.ReadString(" Spaced ", "b", "?"), "2");
  EXPECT_EQ(ini.ReadString("Other", "c", "?"), "x=y");
  EXPECT_EQ(ini.ReadString("Other", "no equal sign", "?"), "");
  EXPECT_EQ(ini.ReadString("Other", "", "?"), "empty key");
  std::vector<std::string> keys{"kept"};
  ini.ReadSection("Other", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"kept", "no equal sign", "c"}));
}

TEST_F(IniFileTest, ByteOrderMarkIsSkippedWhenReadAndKeptWhenWritten) {
  const std::string file = MakeFile("\xEF\xBB\xBF[S]\r\nk=v\r\n");
  {
    TBigIniFile ini(file);
    EXPECT_EQ(ini.ReadString("S", "k", "?"), "v");
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, std::vector<std::string>{"S"});
    ini.WriteString("S", "k2", "w");
  }
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[S]\r\nk=v\r\nk2=w\r\n\r\n");
}

TEST_F(IniFileTest, RewriteLosesLinesBeforeTheFirstSectionAndBlankLines) {
  const std::string file = MakeFile("top=1\n\n[S]\n; note\n\nk=1\n\n\n[Empty]\n");
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "k", "2");
  }
  EXPECT_EQ(ReadBytes(file), "[S]\r\n; note\r\nk=2\r\n\r\n");
}

TEST_F(IniFileTest, EmptyKeyErasesTheSectionOrOnlyWritesTheFile) {
  const std::string file = MakeFile("[S]\r\nk=v\r\n[T]\r\nk=w\r\n");
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "", "v");
    EXPECT_EQ(ini.ReadString("S", "k", "gone"), "gone");
    ini.WriteString("", "", "");  // writes now
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadBytes(file), "[T]\r\nk=w\r\n\r\n");
    ini.WriteString("T", "", "");
  }
  EXPECT_EQ(ReadBytes(file), "");
}

TEST_F(IniFileTest, DeleteKeyRemovesTheFirstMatchAndEmptySectionsVanish) {
  const std::string file = MakeFile("[S]\r\nk=1\r\nK=2\r\n[T]\r\nx=1\r\n");
  {
    TBigIniFile ini(file);
    ini.DeleteKey("S", "k");
    EXPECT_EQ(ini.ReadString("S", "k", "?"), "2");
    ini.DeleteKey("S", "k");
    ini.DeleteKey("Missing", "k");  // creates an empty section, changes nothing
    std::vector<std::string> names;
    ini.ReadSections(names);
    EXPECT_EQ(names, (std::vector<std::string>{"S", "T", "Missing"}));
  }
  EXPECT_EQ(ReadBytes(file), "[T]\r\nx=1\r\n\r\n");
}

TEST_F(IniFileTest, DeleteOfNothingAndEraseOfNothingChangeNothing) {
  const std::string file = MakeFile("[S]\r\nk=1\r\n");
  TBigIniFile ini(file);
  ini.DeleteKey("S", "other");
  ini.EraseSection("Missing");
  EXPECT_FALSE(ini.Modified());
  ini.EraseSection("s");
  EXPECT_TRUE(ini.Modified());
  EXPECT_FALSE(ini.ValueExists("S", "k"));
  ini.WriteString("S", "k", "again");  // the section index follows the erase
  EXPECT_EQ(ini.ReadString("s", "K", "?"), "again");
}

TEST_F(IniFileTest, ReadIntegerTakesDecimalOrHexAfter0x) {
  const struct {
    const char* stored;
    int32_t expected;
  } cases[] = {
      {"0x1F", 31},   {"0X1f", 31}, {"12abc", -7}, {"abc", -7},         {" 42 ", 42},
      {"-5", -5},     {"0x", -7},   {"0xG", -7},   {"0xFFFFFFFF", -1},  {"99999999999", -7},
      {"2147483647", 2147483647},   {"", -7},      {"1.5", -7},
  };
  const std::string file = MakeFile("");
  TBigIniFile ini(file);
  for (const auto& c : cases) {
    ini.WriteString("S", "n", c.stored);
    EXPECT_EQ(ini.ReadInteger("S", "n", -7), c.expected) << "'" << c.stored << "'";
  }
  EXPECT_EQ(ini.ReadInteger("S", "missing", -7), -7);
}

class LocaleGuard {
 public:
  explicit LocaleGuard(platform::LocaleId locale) : saved_(platform::ThreadLocaleId()) {
    EXPECT_TRUE(platform::SetThreadLocaleId(locale));
  }
  ~LocaleGuard() { platform::SetThreadLocaleId(saved_); }

 private:
  platform::LocaleId saved_;
};

TEST_F(IniFileTest, FloatsUseEitherSeparatorWhenReadAndTheLocalesWhenWritten) {
  TBigIniFile ini(MakeFile("[S]\r\ndot=1.5\r\ncomma=1,5\r\nbad=1.5x\r\nempty=\r\n"));
  for (platform::LocaleId locale :
       {platform::kLocaleEnglishUnitedStates, platform::kLocaleGermanGermany}) {
    LocaleGuard guard(locale);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "dot", 0), 1.5) << locale;
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "comma", 0), 1.5) << locale;
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "bad", -1), -1) << locale;
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "empty", -1), -1) << locale;
  }
  {
    LocaleGuard guard(platform::kLocaleGermanGermany);
    ini.WriteFloat("S", "w", 1.5);
    EXPECT_EQ(ini.ReadString("S", "w", ""), "1,5");
  }
  ini.WriteFloat("S", "w", -0.25);
  EXPECT_EQ(ini.ReadString("S", "w", ""), "-0.25");
  ini.WriteInteger("S", "i", -12);
  EXPECT_EQ(ini.ReadString("S", "i", ""), "-12");
}

TEST_F(IniFileTest, KeysMatchByLocaleButValueExistsFoldsOnlyAsciiLetters) {
  TBigIniFile ini(MakeFile("[S]\r\nGr\xC3\xB6\xC3\x9F" "e=big\r\nplain=1\r\n"));
  EXPECT_EQ(ini.ReadString("s", "GR\xC3\x96\xC3\x9F" "E", "?"), "big");
  EXPECT_FALSE(ini.ValueExists("S", "GR\xC3\x96\xC3\x9F" "E"));
  EXPECT_TRUE(ini.ValueExists("S", "gr\xC3\xB6\xC3\x9F" "E"));
  EXPECT_TRUE(ini.ValueExists("s", "PLAIN"));
  EXPECT_FALSE(ini.ValueExists("S", "plai"));
  EXPECT_FALSE(ini.ValueExists("T", "plain"));
}

// An older tool wrote these keys in a Windows code page: Ä is the byte C4, Ö D6, ä E4.
TEST_F(IniFileTest, KeysThatAreNotUtf8StayDistinct) {
  const std::string file =
      MakeFile("[S]\r\n\xC4=1\r\n\xD6=2\r\n[\xC4]\r\nk=3\r\n[\xD6]\r\nk=4\r\n");
  {
    TBigIniFile ini(file);
    EXPECT_EQ(ini.ReadString("S", "\xD6", "?"), "2");
    EXPECT_EQ(ini.ReadString("S", "\xE4", "?"), "1");  // ä is Ä in another case
    EXPECT_EQ(ini.ReadString("\xD6", "k", "?"), "4");
    ini.WriteString("S", "\xD6", "9");
    EXPECT_EQ(ini.ReadString("S", "\xC4", "?"), "1");
  }
  EXPECT_EQ(ReadBytes(file),
            "[S]\r\n\xC4=1\r\n\xD6=9\r\n\r\n[\xC4]\r\nk=3\r\n\r\n[\xD6]\r\nk=4\r\n\r\n");
  {
    TBigIniFile ini(file);
    ini.DeleteKey("S", "\xD6");
  }
  EXPECT_EQ(ReadBytes(file), "[S]\r\n\xC4=1\r\n\r\n[\xC4]\r\nk=3\r\n\r\n[\xD6]\r\nk=4\r\n\r\n");
}

// Lines longer than the read buffer and line ends split between two reads.
TEST_F(IniFileTest, LinesCrossingTheReadBufferArriveWhole) {
  std::string text = "[S]\r\n";
  text += "pad=" + std::string(TBigIniFile::kTextBufferSize - text.size() - 5, 'p') + "\r\n";
  text += "long=" + std::string(TBigIniFile::kTextBufferSize + 10, 'x') + "\r\n";
  text += "[T]\r\nlast=1";
  const std::string file = MakeFile(text);
  TBigIniFile ini(file);
  EXPECT_EQ(ini.ReadString("S", "pad", "").size(), TBigIniFile::kTextBufferSize - 10);
  EXPECT_EQ(ini.ReadString("S", "long", "").size(), TBigIniFile::kTextBufferSize + 10);
  EXPECT_EQ(ini.ReadString("T", "last", ""), "1");
  std::vector<std::string> keys;
  ini.ReadSection("S", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"pad", "long"}));
}

// Lines ended by a lone CR, as some editors write them, load in time proportional to the file.
TEST_F(IniFileTest, LinesEndedByCrAloneLoadInOnePass) {
  // A megabyte of empty lines between two keys: each line once searched to the end of its read
  // block for an LF took seconds.
  const std::string text = "[S]\rfirst=1\r" + std::string(1 << 20, '\r') + "last=2\r";
  const std::string file = MakeFile(text);
  const auto start = std::chrono::steady_clock::now();
  TBigIniFile ini(file);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(ini.ReadString("S", "first", ""), "1");
  EXPECT_EQ(ini.ReadString("S", "last", ""), "2");
  EXPECT_LT(took, std::chrono::seconds(2));
}

TEST_F(IniFileTest, FailedWriteRaisesAndKeepsTheOldFileAndTheChange) {
  const std::string file = MakeFile("[S]\r\nk=old\r\n");
  const std::string before = ReadBytes(file);
  TBigIniFile ini(file);
  for (int i = 0; i < 3000; ++i) ini.WriteString("S", "key" + std::to_string(i), "value");
  SetWriteLimitForTesting(10000);  // the temporary file is cut off part way
  EXPECT_THROW(ini.UpdateFile(), EFileError);
  SetWriteLimitForTesting(std::nullopt);
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(folder_.EntryCount(), 1u) << "the temporary file was left behind";
  EXPECT_TRUE(ini.Modified());
  ini.UpdateFile();
  EXPECT_EQ(TBigIniFile(file).ReadString("S", "key2999", ""), "value");
}

TEST_F(IniFileTest, UnwritableFileRaisesTheFileError) {
  TBigIniFile ini(folder_.File("no-such-folder/x.ini"));
  ini.WriteString("S", "k", "v");
  try {
    ini.UpdateFile();
    FAIL() << "no error";
  } catch (const EFileError& error) {
    EXPECT_NE(std::string(error.what()).find("Cannot create file"), std::string::npos)
        << error.what();
  }
  EXPECT_TRUE(ini.Modified());
}

TEST_F(IniFileTest, ReadOnlyFileIsNotReplaced) {
  const std::string file = MakeFile("[S]\r\nk=v\r\n");
  const fs::path path = testing::NativePath(file);
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  {
    TBigIniFile ini(file);
    ini.WriteString("S", "k", "changed");
    EXPECT_THROW(ini.UpdateFile(), EFileError);
  }
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(file), "[S]\r\nk=v\r\n");
}

// Saving never lets a user do more than write what the user may write: a file it could not
// write stays as it is, and a file keeps its owner and permission bits. Root ignores permission
// bits, so the saves run in a child process as another user (see RunUnprivileged).
TEST_F(IniFileTest, SavingKeepsWhatTheSavingUserMayDoWithTheFile) {
  constexpr fs::perms kAllWrite = fs::perms::owner_write | fs::perms::group_write |
                                  fs::perms::others_write;
  constexpr fs::perms kAllRead = fs::perms::owner_read | fs::perms::group_read |
                                 fs::perms::others_read;
  constexpr fs::perms kAllEnter = fs::perms::owner_exec | fs::perms::group_exec |
                                  fs::perms::others_exec;
  const struct {
    const char* what;
    fs::perms file;
    fs::perms folder;
    bool another_users_file;  // needs root, to make a file the saving user does not own
    bool saved;
  } cases[] = {
      {"another user's file the saver may not write", kAllRead | fs::perms::owner_write,
       fs::perms::all, true, false},
      {"another user's file the saver may write", kAllRead | kAllWrite, fs::perms::all, true,
       true},
      {"a writable file in a folder that refuses new files", kAllRead | kAllWrite,
       kAllRead | kAllEnter, false, true},
  };
  int ran = 0;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    if (c.another_users_file && !testing::RunsAsRoot()) continue;
    const fs::path folder = folder_.Path() / std::to_string(i);
    fs::create_directory(folder);
    const std::string file = folder_.File(std::to_string(i) + "/settings.ini");
    WriteBytes(file, "[S]\r\nk=v\r\n");
    const std::optional<unsigned> owner = testing::FileOwnerId(folder / "settings.ini");
    fs::permissions(folder / "settings.ini", c.file);
    fs::permissions(folder, c.folder);
    const testing::UnprivilegedRun run =
        testing::RunUnprivileged([&] { return SaveChange(file); });
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    if (!run.Ran) GTEST_SKIP() << run.SkipReason;
    ++ran;
    const std::string refusal = "Cannot create file \"" + file + "\". Permission denied";
    EXPECT_EQ(run.Report, c.saved ? "saved" : refusal) << c.what;
    EXPECT_EQ(ReadBytes(file), c.saved ? "[S]\r\nk=changed\r\n\r\n" : "[S]\r\nk=v\r\n") << c.what;
    EXPECT_EQ(testing::FileOwnerId(folder / "settings.ini"), owner) << c.what;
    EXPECT_EQ(fs::status(folder / "settings.ini").permissions(), c.file) << c.what;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << c.what;
  }
  if (ran < static_cast<int>(std::size(cases))) {
    GTEST_SKIP() << "the cases of another user's file need root, to make a file the saving user "
                    "does not own";
  }
}

// A folder holds names of up to 255 bytes; beside a name near that limit, the temporary file's
// (the name and a suffix) does not fit.
TEST_F(IniFileTest, FileWhoseNameLeavesNoRoomForATemporaryOneIsRewrittenInPlace) {
  const std::string file = folder_.File(std::string(245, 'n') + ".ini");
  WriteBytes(file, "[S]\r\nk=v\r\n");
  EXPECT_EQ(SaveChange(file), "saved");
  EXPECT_EQ(ReadBytes(file), "[S]\r\nk=changed\r\n\r\n");
  EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(IniFileTest, FileWithoutNameIsNeverWritten) {
  TBigIniFile ini("");
  ini.WriteString("S", "k", "v");
  ini.UpdateFile();
  EXPECT_TRUE(ini.Modified());
  EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}

}  // namespace
}  // namespace chronel
