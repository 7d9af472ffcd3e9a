#include "tasks/ini_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/locale_services.h"
#include "tasks/atomic_file_writer.h"
#include "tasks/file_error.h"
#include "tasks/file_reader.h"

namespace chronel {
namespace {

// Lines whose key is made of these bytes only compare, in every locale, exactly like A-Z folding
// does; they are matched by hash first and need no call into the locale.
// Hyphen and apostrophe are left out: word sorting gives them special weights.
bool IsPlainKeyByte(unsigned char c) { return c >= 0x20 && c <= 0x7E && c != '-' && c != '\''; }

constexpr uint32_t kLocaleKey = 0;  // a key that needs the locale's comparison

unsigned char FoldAscii(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// FNV-1a over the A-Z-folded text.
uint32_t FoldedHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (char c : text) hash = (hash ^ FoldAscii(static_cast<unsigned char>(c))) * 16777619u;
  return hash;
}

// Odd for plain keys, kLocaleKey for the others.
uint32_t KeyHashOf(std::string_view key) {
  for (char c : key) {
    if (!IsPlainKeyByte(static_cast<unsigned char>(c))) return kLocaleKey;
  }
  return (FoldedHash(key) << 1) | 1u;
}

// Exact spelling is the common case and the cheapest test.
bool SameAsciiKey(std::string_view a, std::string_view b) { return a == b || SameTextAscii(a, b); }

// The first line from `from` on whose key may equal a plain key of hash `hash`: one of the same
// hash or one that needs the locale. Tested eight at a time, which the compiler vectorizes.
size_t NextCandidate(const std::vector<uint32_t>& hashes, size_t from, uint32_t hash) {
  const uint32_t* data = hashes.data();
  const size_t count = hashes.size();
  size_t i = from;
  for (; i + 8 <= count; i += 8) {
    bool hit = false;
    for (size_t j = 0; j < 8; ++j) hit |= (data[i + j] == hash) | (data[i + j] == kLocaleKey);
    if (hit) break;
  }
  for (; i < count; ++i) {
    if (data[i] == hash || data[i] == kLocaleKey) return i;
  }
  return count;
}

// Editors may start a UTF-8 file with one; it belongs to the file, not to its first line.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The line breaks (CR or LF) of one block, found in a single pass: where each of the two was
// last found is remembered, so that a file that uses only one of them is not searched to its
// end again for the other on every line.
class TLineBreaks {
 public:
  explicit TLineBreaks(std::string_view text) : text_(text) {}

  // The next CR or LF at or after `from`, or npos.
  size_t Next(size_t from) {
    const size_t found = std::min(NextOf('\n', next_lf_, from), NextOf('\r', next_cr_, from));
    return found == text_.size() ? std::string_view::npos : found;
  }

 private:
  // The position of `c` at or after `from`, the text's size when there is none.
  size_t NextOf(char c, size_t& remembered, size_t from) const {
    if (remembered != kUnknown && remembered >= from) return remembered;
    const void* at = std::memchr(text_.data() + from, c, text_.size() - from);
    remembered = at ? static_cast<size_t>(static_cast<const char*>(at) - text_.data())
                    : text_.size();
    return remembered;
  }

  static constexpr size_t kUnknown = std::string_view::npos;
  std::string_view text_;
  size_t next_lf_ = kUnknown;
  size_t next_cr_ = kUnknown;
};

}  // namespace

TBigIniFile::TBigIniFile(std::string file_name) : file_name_(std::move(file_name)) {
  if (FileExists(file_name_)) Load();
}

TBigIniFile::~TBigIniFile() {
  try {
    UpdateFile();
  } catch (...) {
    // Releasing cannot report; callers that must know call UpdateFile first.
  }
}

TBigIniFile::TIniLine TBigIniFile::MakeLine(std::string_view text, bool copy) {
  if (text.size() > UINT32_MAX) throw EFileError("Line too long in INI file");
  TIniLine line;
  if (copy) {
    line.Owned = std::make_unique_for_overwrite<char[]>(text.size());
    std::memcpy(line.Owned.get(), text.data(), text.size());
    text = std::string_view(line.Owned.get(), text.size());
  }
  line.Text = text;
  const size_t equal = text.find('=');
  const std::string_view key = TrimView(text.substr(0, equal));
  line.KeyBegin = static_cast<uint32_t>(key.data() - text.data());
  line.KeyEnd = static_cast<uint32_t>(line.KeyBegin + key.size());
  if (equal == std::string_view::npos) return line;
  const std::string_view value = TrimView(text.substr(equal + 1));
  line.ValueBegin = static_cast<uint32_t>(value.data() - text.data());
  line.ValueEnd = static_cast<uint32_t>(line.ValueBegin + value.size());
  return line;
}

// The bounds lie within the line by construction (MakeLine).
std::string_view TBigIniFile::KeyOf(const TIniLine& line) {
  return {line.Text.data() + line.KeyBegin, line.KeyEnd - line.KeyBegin};
}

std::string_view TBigIniFile::ValueOf(const TIniLine& line) {
  return {line.Text.data() + line.ValueBegin, line.ValueEnd - line.ValueBegin};
}

void TBigIniFile::AppendLine(TSectionValues& values, TIniLine line) {
  values.KeyHashes.push_back(KeyHashOf(KeyOf(line)));
  values.Lines.push_back(std::move(line));
}

// The file is read in blocks that are kept: loaded lines point into them. Only lines that
// cross from one block into the next are copied.
void TBigIniFile::Load() {
  TFileReader reader(file_name_);
  std::string carry;  // the start of a line that continues in the next block
  size_t current = kNoSection;
  for (;;) {
    auto block = std::make_unique_for_overwrite<char[]>(kTextBufferSize);
    const size_t got = reader.Read(block.get(), kTextBufferSize);
    if (got == 0) break;
    if (got < kTextBufferSize) {  // the last block: keep only what it holds
      auto fitted = std::make_unique_for_overwrite<char[]>(got);
      std::memcpy(fitted.get(), block.get(), got);
      block = std::move(fitted);
    }
    const std::string_view chunk(block.get(), got);
    blocks_.push_back(std::move(block));
    size_t start = 0;
    if (blocks_.size() == 1 && chunk.starts_with(kUtf8ByteOrderMark)) {
      byte_order_mark_ = true;
      start = kUtf8ByteOrderMark.size();
    }
    TLineBreaks breaks(chunk);
    for (size_t stop; (stop = breaks.Next(start)) != std::string_view::npos; start = stop + 1) {
      const std::string_view piece = chunk.substr(start, stop - start);
      if (carry.empty()) {
        AddLoadedLine(piece, true, current);
        continue;
      }
      carry.append(piece);
      AddLoadedLine(carry, false, current);
      carry.clear();
    }
    carry.append(chunk.substr(start));
  }
  AddLoadedLine(carry, false, current);
  modified_ = false;
}

// Later sections with a name already seen are dropped with their lines, as are the lines
// before the first section and empty lines (a lone end-of-file character counts as empty).
void TBigIniFile::AddLoadedLine(std::string_view line, bool in_block, size_t& current) {
  if (line.empty() || line == "\x1A") return;
  if (IsSectionHeader(line)) {
    const std::string_view name = line.substr(1, line.size() - 2);
    if (FindSection(name) != kNoSection) {
      current = kNoSection;
      return;
    }
    current = FindOrAddSection(name);
    return;
  }
  if (current == kNoSection) return;
  AppendLine(sections_[current], MakeLine(line, !in_block));
}

void TBigIniFile::RebuildSectionIndex() const {
  section_index_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) IndexSection(i);
  section_index_valid_ = true;
}

// Keeps the table at most half full, so probe runs stay short.
void TBigIniFile::IndexSection(size_t position) const {
  if (2 * (sections_.size() + 1) > section_index_.size()) {
    std::vector<TIndexSlot> old(std::max<size_t>(16, section_index_.size() * 2));
    old.swap(section_index_);
    for (const TIndexSlot& slot : old) {
      if (slot.Position != 0) InsertSlot(section_index_, slot);
    }
  }
  InsertSlot(section_index_,
             {FoldedHash(sections_[position].Name), static_cast<uint32_t>(position + 1)});
}

void TBigIniFile::InsertSlot(std::vector<TIndexSlot>& index, TIndexSlot slot) {
  const size_t mask = index.size() - 1;
  size_t at = slot.Hash & mask;
  while (index[at].Position != 0) at = (at + 1) & mask;
  index[at] = slot;
}

size_t TBigIniFile::FindSection(std::string_view name) const {
  if (last_found_ < sections_.size() && SameAsciiKey(sections_[last_found_].Name, name)) {
    return last_found_;
  }
  if (!section_index_valid_) RebuildSectionIndex();
  if (section_index_.empty()) return kNoSection;
  const uint32_t hash = FoldedHash(name);
  for (size_t at = hash & (section_index_.size() - 1); section_index_[at].Position != 0;
       at = (at + 1) & (section_index_.size() - 1)) {
    const TIndexSlot& slot = section_index_[at];
    if (slot.Hash != hash || !SameAsciiKey(sections_[slot.Position - 1].Name, name)) continue;
    last_found_ = slot.Position - 1;
    return last_found_;
  }
  return kNoSection;
}

size_t TBigIniFile::FindOrAddSection(std::string_view name) {
  const size_t found = FindSection(name);
  if (found != kNoSection) return found;
  sections_.emplace_back().Name = name;
  last_found_ = sections_.size() - 1;
  if (section_index_valid_) IndexSection(last_found_);
  return last_found_;
}

long TBigIniFile::FindKey(const TSectionValues& values, std::string_view key) {
  const uint32_t hash = KeyHashOf(key);
  const std::vector<uint32_t>& hashes = values.KeyHashes;
  if (hash == kLocaleKey) {  // may equal any line's key
    for (size_t i = 0; i < hashes.size(); ++i) {
      if (platform::SameTextLocale(KeyOf(values.Lines[i]), key)) return static_cast<long>(i);
    }
    return -1;
  }
  for (size_t i = NextCandidate(hashes, 0, hash); i < hashes.size();
       i = NextCandidate(hashes, i + 1, hash)) {
    const std::string_view line_key = KeyOf(values.Lines[i]);
    const bool same = hashes[i] == hash ? SameAsciiKey(line_key, key)
                                        : platform::SameTextLocale(line_key, key);
    if (same) return static_cast<long>(i);
  }
  return -1;
}

const TBigIniFile::TIniLine* TBigIniFile::FindLine(std::string_view section,
                                                   std::string_view key) const {
  const size_t index = FindSection(section);
  if (index == kNoSection) return nullptr;
  const long line = FindKey(sections_[index], key);
  return line < 0 ? nullptr : &sections_[index].Lines[static_cast<size_t>(line)];
}

std::string TBigIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
  const TIniLine* line = FindLine(section, key);
  return std::string(line ? ValueOf(*line) : fallback);
}

int32_t TBigIniFile::ReadInteger(std::string_view section, std::string_view key,
                                 int32_t fallback) const {
  const std::string text = ReadString(section, key, "");
  const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!hexadecimal) return StrToIntDef(text, fallback);
  const std::optional<uint32_t> value = TryHexToInt(std::string_view(text).substr(2));
  return value ? static_cast<int32_t>(*value) : fallback;
}

double TBigIniFile::ReadFloat(std::string_view section, std::string_view key,
                              double fallback) const {
  std::string text = ReadString(section, key, "");
  if (text.empty()) return fallback;
  const char separator = platform::LocaleDecimalSeparator();
  for (char& c : text) {
    if (separator == '.' && c == ',') c = '.';
    if (separator != '.' && c == '.') c = separator;
  }
  return StrToFloatDef(text, fallback, separator);
}

bool TBigIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const size_t index = FindSection(section);
  if (index == kNoSection) return false;
  const TSectionValues& values = sections_[index];
  const uint32_t hash = KeyHashOf(key);
  for (size_t i = 0; i < values.Lines.size(); ++i) {
    // A plain key can only equal, in A-Z folding, another plain key of the same hash.
    if (hash != kLocaleKey && values.KeyHashes[i] != hash) continue;
    if (SameTextAscii(KeyOf(values.Lines[i]), key)) return true;
  }
  return false;
}

void TBigIniFile::ReadSection(std::string_view section, std::vector<std::string>& keys) const {
  const size_t index = FindSection(section);
  if (index == kNoSection) return;
  for (const TIniLine& line : sections_[index].Lines) {
    const std::string_view key = KeyOf(line);
    if (!key.empty()) keys.emplace_back(key);
  }
}

void TBigIniFile::ReadSections(std::vector<std::string>& sections) const {
  sections.clear();
  for (const TSectionValues& values : sections_) sections.push_back(values.Name);
}

void TBigIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (key.empty()) {
    if (section.empty() && value.empty()) {
      UpdateFile();
      return;
    }
    EraseSection(section);
    return;
  }
  TSectionValues& values = sections_[FindOrAddSection(section)];
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  const long found = FindKey(values, key);
  if (found < 0) {
    AppendLine(values, MakeLine(text, true));
    modified_ = true;
    return;
  }
  const auto at = static_cast<size_t>(found);
  if (values.Lines[at].Text == text) return;
  values.Lines[at] = MakeLine(text, true);
  values.KeyHashes[at] = KeyHashOf(KeyOf(values.Lines[at]));
  modified_ = true;
}

void TBigIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TBigIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FloatToStr(value, platform::LocaleDecimalSeparator()));
}

void TBigIniFile::DeleteKey(std::string_view section, std::string_view key) {
  TSectionValues& values = sections_[FindOrAddSection(section)];
  const long found = FindKey(values, key);
  if (found < 0) return;
  values.Lines.erase(values.Lines.begin() + found);
  values.KeyHashes.erase(values.KeyHashes.begin() + found);
  modified_ = true;
}

void TBigIniFile::EraseSection(std::string_view section) {
  const size_t index = FindSection(section);
  if (index == kNoSection) return;
  sections_.erase(sections_.begin() + static_cast<long>(index));
  last_found_ = 0;
  section_index_valid_ = false;
  modified_ = true;
}

void TBigIniFile::UpdateFile() {
  if (!modified_ || file_name_.empty()) return;
  TAtomicFileWriter writer(file_name_, kTextBufferSize);
  if (byte_order_mark_) writer.Write(kUtf8ByteOrderMark);
  for (const TSectionValues& values : sections_) {
    if (values.Lines.empty()) continue;
    writer.Write("[");
    writer.Write(values.Name);
    writer.Write("]\r\n");
    for (const TIniLine& line : values.Lines) {
      writer.Write(line.Text);
      writer.Write("\r\n");
    }
    writer.Write("\r\n");
  }
  writer.Commit();
  modified_ = false;
}

}  // namespace chronel
