// The reference host's own pieces, without the plug-in: log-line decoding, the services as
// the plug-in finds them in the host module, and the library-file check behind `chronel info`.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/config_table.h"
#include "host/host_services.h"
#include "host/library_file.h"
#include "host/log_line.h"
#include "info_command.h"
#include "platform/module_info.h"
#include "platform/ole_string.h"

namespace chronel::host {
namespace {

TEST(HostLogLine, DecodesTheKindByte) {
  const struct {
    std::string line;
    std::string shown;
  } cases[] = {
      {"\x03" "Chronel. Executing task: Open data source",
       "log (information): Chronel. Executing task: Open data source"},
      {"\x01" "Unable to add task #0: x", "log (error): Unable to add task #0: x"},
      {"\x82" "careful", "log (warning, flagged): careful"},
      {"\x07" "odd", "log (kind 7): odd"},
      {"", "log (empty line)"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeLogLine(c.line), c.shown) << c.shown;
}

TEST(HostLogLine, SplitsQueuedLinesAtCrLf) {
  EXPECT_EQ(SplitQueuedLines("\x03one\r\n\x02two\r\n"),
            (std::vector<std::string>{"\x03one", "\x02two"}));
  EXPECT_EQ(SplitQueuedLines("\x03last without break"),
            (std::vector<std::string>{"\x03last without break"}));
  EXPECT_TRUE(SplitQueuedLines("").empty());
}

// The plug-in looks the services up by their plain names in the module it is given as
// HANDLE: this program's own module.
TEST(HostServices, AreExportedByNameFromTheHostModule) {
  const platform::ModuleHandle host = platform::OwnModule();
  for (const char* name : {"fSendString", "fSendData", "fSendByte", "Vantrel_GetConfigID",
                           "Vantrel_StartPause", "Vantrel_GetConfigurations",
                           "Vantrel_SetOption"}) {
    EXPECT_NE(platform::ModuleSymbol(host, name), nullptr) << name;
  }
}

TEST(HostServices, AnswerConfigurationIdsAndNames) {
  using GetConfigId = int32_t(CHRONEL_HOST_STDCALL*)(const char16_t*);
  using GetConfigurations = int32_t(CHRONEL_HOST_STDCALL*)(char16_t**);
  const platform::ModuleHandle host = platform::OwnModule();
  auto get_id = reinterpret_cast<GetConfigId>(platform::ModuleSymbol(host, "Vantrel_GetConfigID"));
  auto get_names =
      reinterpret_cast<GetConfigurations>(platform::ModuleSymbol(host, "Vantrel_GetConfigurations"));
  ASSERT_TRUE(get_id && get_names);

  HostConfigurations().Replace({"COM1", "COM2"});
  EXPECT_EQ(get_id(u"COM2"), 2);
  EXPECT_EQ(get_id(u"com1"), 1);
  EXPECT_EQ(get_id(u"Line 7"), 3);  // an unknown name gets the next id, and keeps it
  EXPECT_EQ(get_id(u"Line 7"), 3);

  platform::OleString names;
  get_names(names.Receive());
  EXPECT_EQ(names.ToUtf8(), "COM1\r\nCOM2\r\nLine 7\r\n");
  HostConfigurations().Replace({"COM1", "COM2"});
}

class LibraryFileCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = (std::filesystem::temp_directory_path() /
             ("chronel_" + std::string(test->name()) + ".bin"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }

  void Write(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }

  // A PE header: "MZ", the offset of "PE\0\0" at 0x3C, then the machine field.
  static std::string PortableExecutable(uint16_t machine) {
    std::string bytes(0x80, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 0x40;
    bytes.replace(0x40, 4, std::string("PE\0\0", 4));
    bytes[0x44] = static_cast<char>(machine & 0xFF);
    bytes[0x45] = static_cast<char>(machine >> 8);
    return bytes;
  }

  static std::string Elf(uint8_t elf_class) {
    return std::string("\x7f" "ELF") + static_cast<char>(elf_class) + std::string(59, '\0');
  }

  std::string path_;
};

TEST_F(LibraryFileCheck, ReadsFormatAndBitnessFromTheHeader) {
  const struct {
    std::string bytes;
    LibraryFormat format;
    int bits;
  } cases[] = {
      {Elf(1), LibraryFormat::Elf, 32},
      {Elf(2), LibraryFormat::Elf, 64},
      {PortableExecutable(0x014C), LibraryFormat::PortableExecutable, 32},
      {PortableExecutable(0x8664), LibraryFormat::PortableExecutable, 64},
      {"plain text, not a library\n", LibraryFormat::NotALibrary, 0},
      {"MZ but too short", LibraryFormat::NotALibrary, 0},
  };
  for (const auto& c : cases) {
    Write(c.bytes);
    const TLibraryFile file = InspectLibraryFile(path_);
    EXPECT_EQ(file.Format, c.format) << c.bytes.substr(0, 4);
    EXPECT_EQ(file.Bits, c.bits) << c.bytes.substr(0, 4);
  }
  std::filesystem::remove(path_);
  EXPECT_EQ(InspectLibraryFile(path_).Format, LibraryFormat::Missing);
}

TEST_F(LibraryFileCheck, InfoRefusesWhatItCannotLoadWithStatus2) {
  const bool elf_here = kNativeLibraryFormat == LibraryFormat::Elf;
  const std::string other_bitness =
      elf_here ? Elf(kNativeBits == 64 ? 1 : 2)
               : PortableExecutable(kNativeBits == 64 ? 0x014C : 0x8664);
  const std::string other_format = elf_here ? PortableExecutable(0x8664) : Elf(2);
  const std::string native_bits = std::to_string(kNativeBits);
  const std::string other_bits = kNativeBits == 64 ? "32" : "64";
  const struct {
    std::string bytes;  // empty: no file at all
    std::string message;
  } cases[] = {
      {"", " does not exist"},
      {"plain text, not a library\n", " is not a library"},
      {other_bitness,
       " is a " + other_bits + "-bit library; this chronel is " + native_bits + "-bit"},
      {other_format, elf_here ? " is a Windows library, not an ELF (Linux) library"
                              : " is an ELF (Linux) library, not a Windows library"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(path_);
    if (!c.bytes.empty()) Write(c.bytes);
    std::ostringstream out, err;
    EXPECT_EQ(RunInfoCommand({path_}, out, err), 2) << c.message;
    EXPECT_EQ(err.str(), "chronel: " + path_ + c.message + "\n");
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace chronel::host
