#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/guid.h"
#include "platform/guid_generator.h"

namespace chronel::platform {
namespace {

// Every test works below a key of its own and removes it afterwards, so runs on a real
// registry leave nothing behind.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = "Software\\ChronelTests\\" + GuidToString(CreateGuid()); }
  void TearDown() override {
    SetLocalMachineReadOnlyForTesting(false);
    DeleteRegistryTree(RegistryRoot::CurrentUser, path_);
    DeleteRegistryTree(RegistryRoot::LocalMachine, path_);
  }
  RegistryKey CreateKey(const std::string& below = "") {
    std::optional<RegistryKey> key = RegistryKey::Create(
        RegistryRoot::CurrentUser, below.empty() ? path_ : path_ + "\\" + below);
    EXPECT_TRUE(key.has_value());
    return std::move(*key);
  }
  std::string path_;
};

TEST_F(RegistryTest, EveryValueTypeRoundTrips) {
  RegistryKey key = CreateKey();
  const std::vector<uint8_t> bytes = {0, 1, 0xFE, 0xFF, 0};
  key.WriteString("Text", "Grüße ✓\r\nzweite Zeile");
  key.WriteString("Empty", "");
  key.WriteExpandString("Expand", "%TEMP%\\chronel");
  key.WriteNumber32("Number", 0xFFFFFFFFu);
  key.WriteNumber64("Big", 0x123456789ABCDEF0ull);
  key.WriteBinary("Bytes", bytes);
  key.WriteBinary("NoBytes", {});
  key.WriteMultiString("Lines", {"one", "", "drei ä"});
  key.WriteFloat("Float", -0.1);
  key.WriteString("", "default value");

  // Read through a second handle, as another user of the registry would.
  std::optional<RegistryKey> reader =
      RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->ReadString("Text"), "Grüße ✓\r\nzweite Zeile");
  EXPECT_EQ(reader->ReadString("Empty"), "");
  EXPECT_EQ(reader->ReadString("Expand"), "%TEMP%\\chronel");
  EXPECT_EQ(reader->ReadNumber32("Number"), 0xFFFFFFFFu);
  EXPECT_EQ(reader->ReadNumber64("Big"), 0x123456789ABCDEF0ull);
  EXPECT_EQ(reader->ReadBinary("Bytes"), bytes);
  EXPECT_EQ(reader->ReadBinary("NoBytes"), std::vector<uint8_t>());
  EXPECT_EQ(reader->ReadMultiString("Lines"), (std::vector<std::string>{"one", "drei ä"}));
  EXPECT_EQ(reader->ReadFloat("Float"), -0.1);
  EXPECT_EQ(reader->ReadString(""), "default value");

  EXPECT_EQ(reader->ValueKind("Text"), RegistryValueKind::String);
  EXPECT_EQ(reader->ValueKind("Expand"), RegistryValueKind::ExpandString);
  EXPECT_EQ(reader->ValueKind("Number"), RegistryValueKind::Number32);
  EXPECT_EQ(reader->ValueKind("Big"), RegistryValueKind::Number64);
  EXPECT_EQ(reader->ValueKind("Float"), RegistryValueKind::Binary);
  EXPECT_EQ(reader->ValueKind("Lines"), RegistryValueKind::MultiString);
  EXPECT_EQ(reader->ValueKind("Missing"), std::nullopt);
}

TEST_F(RegistryTest, MissingValuesGiveNothingAndOtherTypesRaise) {
  RegistryKey key = CreateKey();
  key.WriteString("Left", "12");
  key.WriteBinary("Short", std::vector<uint8_t>{1, 2, 3, 4});
  EXPECT_EQ(key.ReadNumber32("Missing"), std::nullopt);
  EXPECT_EQ(key.ReadString("Missing"), std::nullopt);
  EXPECT_FALSE(key.ValueExists("Missing"));
  try {
    key.ReadNumber32("Left");
    FAIL() << "a string read as a number";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Code(), kRegistryWrongType);
    EXPECT_EQ(error.Message(), "Invalid data type for 'Left'");
  }
  EXPECT_THROW(key.ReadFloat("Short"), ERegistryException);  // not 8 bytes
  EXPECT_THROW(key.ReadBinary("Left"), ERegistryException);
  EXPECT_THROW(key.ReadNumber64("Left"), ERegistryException);
  // A write replaces the value whatever its type was.
  key.WriteNumber32("Left", 12);
  EXPECT_EQ(key.ValueKind("Left"), RegistryValueKind::Number32);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  RegistryKey key = CreateKey();
  key.WriteNumber32("Width", 1);
  key.WriteNumber32("Top", 2);
  key.WriteNumber32("WIDTH", 3);
  key.WriteNumber32("Left", 4);
  std::vector<std::string> names = key.ValueNames();
  std::sort(names.begin(), names.end());  // the order of values is not defined
  EXPECT_EQ(names, (std::vector<std::string>{"Left", "Top", "Width"}));
  EXPECT_EQ(key.ReadNumber32("width"), 3u);

  CreateKey("beta");
  CreateKey("Alpha\\Inner");
  CreateKey("gamma");
  EXPECT_EQ(key.SubKeyNames(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_TRUE(key.KeyExists("ALPHA\\inner"));
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::CurrentUser, path_ + "\\BETA", RegistryAccess::Read));
}

TEST_F(RegistryTest, DeletingValuesAndTrees) {
  RegistryKey key = CreateKey();
  key.WriteString("Tasks", "x");
  EXPECT_TRUE(key.DeleteValue("TASKS"));
  EXPECT_FALSE(key.DeleteValue("Tasks"));
  EXPECT_TRUE(key.ValueNames().empty());

  RegistryKey grid = CreateKey("Grid\\Columns");
  grid.WriteNumber32("Width", 80);
  CreateKey("Grid\\Rows");
  EXPECT_TRUE(key.DeleteTree("grid"));
  EXPECT_FALSE(key.KeyExists("Grid"));
  EXPECT_FALSE(key.DeleteTree("Grid"));
  EXPECT_TRUE(key.SubKeyNames().empty());
  // A handle to a key that was deleted sees that, instead of writing into nowhere.
  try {
    grid.WriteNumber32("Width", 81);
    FAIL() << "wrote to a deleted key";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Code(), kRegistryKeyDeleted);
  }
  EXPECT_THROW(key.DeleteTree(""), ERegistryException);
}

TEST_F(RegistryTest, OpeningFailsWithAReason) {
  SystemErrorCode error = 0;
  EXPECT_FALSE(RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read, &error));
  EXPECT_EQ(error, kRegistryNotFound);
  std::string tooDeep = "Software";
  for (size_t level = 1; level <= kRegistryMaxDepth; ++level) tooDeep += "\\k";
  for (const std::string& bad : {std::string("\\Software"), std::string("Software\\\\x"),
                                 std::string("Software\\"), tooDeep}) {
    error = 0;
    EXPECT_FALSE(RegistryKey::Create(RegistryRoot::CurrentUser, bad, &error)) << bad.substr(0, 20);
    EXPECT_EQ(error, kRegistryBadPath) << bad.substr(0, 20);
  }
  // The empty path is the root itself.
  CreateKey();
  std::optional<RegistryKey> root =
      RegistryKey::Open(RegistryRoot::CurrentUser, "", RegistryAccess::Read);
  ASSERT_TRUE(root);
  EXPECT_TRUE(root->KeyExists(path_));

  std::optional<RegistryKey> reader =
      RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read);
  ASSERT_TRUE(reader);
  try {
    reader->WriteString("Left", "1");
    FAIL() << "wrote through a key opened for reading";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Code(), kRegistryAccessDenied);
  }
}

// The settings store tries the machine-wide branch first and falls back to the user's; this is
// what a user without administrator rights sees.
TEST_F(RegistryTest, ReadOnlyLocalMachineMakesWritersFallBackToTheUser) {
  std::optional<RegistryKey> machine = RegistryKey::Create(RegistryRoot::LocalMachine, path_);
  ASSERT_TRUE(machine);
  machine->WriteNumber32("Left", 5);
  machine.reset();

  SetLocalMachineReadOnlyForTesting(true);
  SystemErrorCode error = 0;
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::LocalMachine, path_, RegistryAccess::ReadWrite, &error));
  EXPECT_EQ(error, kRegistryAccessDenied);
  error = 0;
  EXPECT_FALSE(RegistryKey::Create(RegistryRoot::LocalMachine, path_ + "\\New", &error));
  EXPECT_EQ(error, kRegistryAccessDenied);
  std::optional<RegistryKey> reader =
      RegistryKey::Open(RegistryRoot::LocalMachine, path_, RegistryAccess::Read);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->ReadNumber32("Left"), 5u);

  std::optional<RegistryKey> writable;
  for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
    writable = RegistryKey::Create(root, path_);
    if (writable) break;
  }
  ASSERT_TRUE(writable);
  writable->WriteNumber32("Left", 6);
  EXPECT_EQ(RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read)
                ->ReadNumber32("Left"),
            6u);
  EXPECT_EQ(reader->ReadNumber32("Left"), 5u);

  SetLocalMachineReadOnlyForTesting(false);
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::LocalMachine, path_, RegistryAccess::ReadWrite));
}

// The POSIX registry can live in a file; Windows keeps its registry itself.
class RegistryFileTest : public RegistryTest {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows registry keeps itself";
#endif
    RegistryTest::SetUp();
    folder_ =
        std::filesystem::temp_directory_path() / ("chronel-registry-" + GuidToString(CreateGuid()));
    std::filesystem::create_directory(folder_);
    file_ = (folder_ / "registry.txt").string();
  }
  void TearDown() override {
    if (folder_.empty()) return;
    UseRegistryFile("");
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
  std::string file_;
};

TEST_F(RegistryFileTest, EverythingSurvivesTheFile) {
  UseRegistryFile(file_);
  RegistryKey key = CreateKey("Odd]Name%With=Signs");
  key.WriteString("a=b%c", "line 1\r\nline 2\t%41");
  key.WriteString("", "default");
  key.WriteExpandString("Expand", "%HOME%");
  key.WriteNumber32("Left", 4000000000u);
  key.WriteNumber64("Big", UINT64_MAX);
  key.WriteBinary("Bytes", std::vector<uint8_t>{0, 0x7F, 0xFF});
  key.WriteMultiString("List", {"a,b", "c%d", "ü"});
  key.WriteFloat("Scale", 1.5);
  CreateKey("Empty key");
  RegistryKey::Create(RegistryRoot::LocalMachine, "Software\\Machine")->WriteString("x", "y");
  // No temporary file is left next to the registry file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);

  UseRegistryFile("");  // forget everything in memory
  EXPECT_FALSE(RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read));
  UseRegistryFile(file_);
  std::optional<RegistryKey> reader = RegistryKey::Open(
      RegistryRoot::CurrentUser, path_ + "\\odd]name%with=signs", RegistryAccess::Read);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->ValueNames(), (std::vector<std::string>{"a=b%c", "", "Expand", "Left", "Big",
                                                            "Bytes", "List", "Scale"}));
  EXPECT_EQ(reader->ReadString("a=b%c"), "line 1\r\nline 2\t%41");
  EXPECT_EQ(reader->ReadString(""), "default");
  EXPECT_EQ(reader->ValueKind("Expand"), RegistryValueKind::ExpandString);
  EXPECT_EQ(reader->ReadNumber32("Left"), 4000000000u);
  EXPECT_EQ(reader->ReadNumber64("Big"), UINT64_MAX);
  EXPECT_EQ(reader->ReadBinary("Bytes"), (std::vector<uint8_t>{0, 0x7F, 0xFF}));
  EXPECT_EQ(reader->ReadMultiString("List"), (std::vector<std::string>{"a,b", "c%d", "ü"}));
  EXPECT_EQ(reader->ReadFloat("Scale"), 1.5);
  EXPECT_TRUE(
      RegistryKey::Open(RegistryRoot::CurrentUser, path_ + "\\Empty key", RegistryAccess::Read));
  EXPECT_EQ(RegistryKey::Open(RegistryRoot::LocalMachine, "Software\\Machine", RegistryAccess::Read)
                ->ReadString("x"),
            "y");
}

TEST_F(RegistryFileTest, AFaultyFileIsRefusedWithItsLine) {
  UseRegistryFile(file_);
  CreateKey().WriteString("Kept", "yes");
  {
    std::ofstream file(folder_ / "broken.txt");
    file << "# Chronel registry 1\n[HKEY_CURRENT_USER\\Software]\nsz Fine=1\ndword Left=abc\n";
  }
  try {
    UseRegistryFile((folder_ / "broken.txt").string());
    FAIL() << "a broken file was accepted";
  } catch (const ERegistryException& error) {
    EXPECT_NE(error.Message().find("line 4"), std::string::npos) << error.Message();
  }
  // What was in memory stays.
  EXPECT_EQ(
      RegistryKey::Open(RegistryRoot::CurrentUser, path_, RegistryAccess::Read)->ReadString("Kept"),
      "yes");
}

// A file cannot build a tree deeper than keys can be created, which every walk of it relies on.
TEST_F(RegistryFileTest, AKeyDeeperThanTheRegistryAllowsIsRefusedWithItsLine) {
  for (const size_t depth : {kRegistryMaxDepth, kRegistryMaxDepth + 1}) {
    std::string key = "[HKEY_CURRENT_USER";
    for (size_t level = 0; level < depth; ++level) key += "\\k";
    std::ofstream(folder_ / "deep.txt") << "# Chronel registry 1\n" << key << "]\nsz Deep=1\n";
    if (depth == kRegistryMaxDepth) {
      UseRegistryFile((folder_ / "deep.txt").string());
      continue;
    }
    try {
      UseRegistryFile((folder_ / "deep.txt").string());
      FAIL() << "a key " << depth << " levels deep was accepted";
    } catch (const ERegistryException& error) {
      EXPECT_NE(error.Message().find("line 2"), std::string::npos) << error.Message();
    }
  }
}

}  // namespace
}  // namespace chronel::platform
