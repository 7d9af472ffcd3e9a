// TBigIniFile: an INI file held wholly in memory. Created from a file name it loads the file;
// reads and writes work on memory; the file is written back, whole, when the engine is released
// or UpdateFile is called after a change. Files are bytes: nothing is converted; a UTF-8
// byte-order mark at the start is set aside when reading and written back first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace chronel {

// Not thread-safe; the property store serializes users of one file with a lock named after it.
class TBigIniFile {
 public:
  // Reading and writing go through a buffer of this size.
  static constexpr size_t kTextBufferSize = 1048576;

  // Loads the file when it exists; a missing file gives no sections. Raises EFileError when the
  // file exists but cannot be read.
  explicit TBigIniFile(std::string file_name);
  // Writes a changed file back; a failure to write is dropped here (call UpdateFile to see it).
  ~TBigIniFile();
  TBigIniFile(const TBigIniFile&) = delete;
  TBigIniFile& operator=(const TBigIniFile&) = delete;

  const std::string& FileName() const { return file_name_; }
  bool Modified() const { return modified_; }

  // Section names match case-insensitively in A-Z; keys by the user's locale, case-insensitively.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Decimal, or hexadecimal after "0x"/"0X"; anything else gives the fallback.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  // Either "," or "." is taken as the decimal separator; anything else gives the fallback.
  double ReadFloat(std::string_view section, std::string_view key, double fallback) const;
  // Here keys match case-insensitively in A-Z only.
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Appends the section's non-empty keys in line order.
  void ReadSection(std::string_view section, std::vector<std::string>& keys) const;
  // Replaces the list by all section names in file order.
  void ReadSections(std::vector<std::string>& sections) const;

  // An empty key erases the whole section, except that an empty section, key and value only
  // write the file. Writing the line that is already there changes nothing.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // In the user's locale's decimal separator.
  void WriteFloat(std::string_view section, std::string_view key, double value);
  // Removes the first matching line. A missing section is created, empty (and never written).
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);

  // Writes the file when it was changed, through a temporary file that replaces it in one step.
  // Raises EFileError, and keeps the old file and the changes, when the file cannot be written.
  void UpdateFile();

 private:
  // One line of a section. Loaded lines point into the read blocks; written lines own their
  // text. The bounds of key and value are found once, when the line is made.
  struct TIniLine {
    std::string_view Text;
    std::unique_ptr<char[]> Owned;
    uint32_t KeyBegin = 0, KeyEnd = 0, ValueBegin = 0, ValueEnd = 0;
  };
  struct TSectionValues {
    std::string Name;
    std::vector<TIniLine> Lines;
    std::vector<uint32_t> KeyHashes;  // one per line, see KeyHashOf
  };
  // A slot of the section index: the folded name's hash and the position + 1 (0: empty).
  struct TIndexSlot {
    uint32_t Hash = 0;
    uint32_t Position = 0;
  };
  using TSectionList = std::vector<TSectionValues>;
  static constexpr size_t kNoSection = static_cast<size_t>(-1);

  static TIniLine MakeLine(std::string_view text, bool copy);
  static std::string_view KeyOf(const TIniLine& line);
  static std::string_view ValueOf(const TIniLine& line);

  void Load();
  void AddLoadedLine(std::string_view line, bool in_block, size_t& current);
  static void AppendLine(TSectionValues& values, TIniLine line);
  size_t FindSection(std::string_view name) const;
  size_t FindOrAddSection(std::string_view name);
  const TIniLine* FindLine(std::string_view section, std::string_view key) const;
  static long FindKey(const TSectionValues& values, std::string_view key);
  void RebuildSectionIndex() const;
  void IndexSection(size_t position) const;
  static void InsertSlot(std::vector<TIndexSlot>& index, TIndexSlot slot);

  std::string file_name_;
  std::vector<std::unique_ptr<char[]>> blocks_;  // the file as read
  TSectionList sections_;
  bool modified_ = false;
  bool byte_order_mark_ = false;  // the file began with a UTF-8 one, which a rewrite keeps
  mutable size_t last_found_ = 0;
  // Section names by hash, open addressing; names are unique, so this finds what a linear
  // search would. Rebuilt after a section is erased.
  mutable std::vector<TIndexSlot> section_index_;
  mutable bool section_index_valid_ = true;
};

}  // namespace chronel
