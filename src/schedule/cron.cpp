#include "schedule/cron.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "core/format.h"
#include "core/numbers.h"

namespace chronel {
namespace {

bool IsSeparatorBlank(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// Reads a double-quoted item starting at text[pos]; a doubled quote inside stands for one. An
// item without its closing quote runs to the end of the text. Returns the position after it.
size_t ReadQuotedItem(std::string_view text, size_t pos, std::string& item) {
  ++pos;
  while (pos < text.size()) {
    if (text[pos] != '"') {
      item += text[pos++];
      continue;
    }
    if (pos + 1 < text.size() && text[pos + 1] == '"') {
      item += '"';
      pos += 2;
      continue;
    }
    return pos + 1;
  }
  return pos;
}

// Splits a delimited list the way stored texts have always been split: runs of codes 1-32
// separate items as well as the delimiter and never belong to one, an item that begins with a
// double quote runs to its closing quote, a delimiter at the start, twice in a row or at the
// end gives an empty item, and the text ends at a NUL.
std::vector<std::string> SplitItems(std::string_view text, char delimiter) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> items;
  size_t pos = 0;
  const auto skip_blanks = [&] {
    while (pos < text.size() && IsSeparatorBlank(text[pos])) ++pos;
  };
  skip_blanks();
  while (pos < text.size()) {
    std::string item;
    if (text[pos] == '"') {
      pos = ReadQuotedItem(text, pos, item);
    } else {
      const size_t start = pos;
      while (pos < text.size() && !IsSeparatorBlank(text[pos]) && text[pos] != delimiter) ++pos;
      item.assign(text.substr(start, pos - start));
    }
    items.push_back(std::move(item));
    skip_blanks();
    if (pos < text.size() && text[pos] == delimiter) {
      if (pos + 1 == text.size()) items.emplace_back();
      ++pos;
      skip_blanks();
    }
  }
  return items;
}

bool Contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

int32_t ReadInteger(std::string_view text) {
  const std::optional<int32_t> value = TryStrToInt(text);
  if (!value) throw EConvertError(Format("'%s' is not a valid integer value", {text}));
  return *value;
}

// "a-b" split at its first "-".
struct RangeBounds {
  int32_t First;
  int32_t Last;
};

RangeBounds ReadRange(std::string_view text) {
  const size_t dash = text.find('-');
  const int32_t first = ReadInteger(text.substr(0, dash));
  return {first, ReadInteger(text.substr(dash + 1))};
}

// The values 0..kLargestMatchingValue as bits, 64 to a word. A run of values with a step below
// 64 is set a word at a time, so no range costs more than about 160 steps and a stored field of
// a million long ranges is read in a moment.
class ValueBits {
 public:
  // Sets first, first + step, ... up to last; 0 <= first <= last <= kLargestMatchingValue.
  void SetRun(int64_t first, int64_t last, int64_t step) {
    if (step >= kWordBits) {
      for (int64_t value = first; value <= last; value += step) Set(value);
      return;
    }
    for (int64_t word = first / kWordBits; word <= last / kWordBits; ++word) {
      const int64_t base = word * kWordBits;
      const int64_t low = std::max(first, base) - base;   // first bit of the run in this word
      const int64_t high = std::min(last, base + kWordBits - 1) - base;
      const int64_t first_bit = low + ((first - base - low) % step + step) % step;
      if (first_bit > high) continue;
      uint64_t bits = kEveryStep[step] << first_bit;
      if (high < kWordBits - 1) bits &= (uint64_t{2} << high) - 1;
      words_[static_cast<size_t>(word)] |= bits;
    }
  }

  bool Test(int64_t value) const {
    return words_[static_cast<size_t>(value / kWordBits)] >> (value % kWordBits) & 1;
  }

 private:
  static constexpr int64_t kWordBits = 64;

  // kEveryStep[s]: bits 0, s, 2s, ... of one word.
  static constexpr std::array<uint64_t, kWordBits> kEveryStep = [] {
    std::array<uint64_t, kWordBits> patterns{};
    for (int64_t step = 1; step < kWordBits; ++step) {
      for (int64_t bit = 0; bit < kWordBits; bit += step) patterns[step] |= uint64_t{1} << bit;
    }
    return patterns;
  }();

  void Set(int64_t value) {
    words_[static_cast<size_t>(value / kWordBits)] |= uint64_t{1} << (value % kWordBits);
  }

  std::array<uint64_t, (kLargestMatchingValue + kWordBits) / kWordBits> words_{};
};

// The union of a list's items, bounded: values up to kLargestMatchingValue are kept, of larger
// ones only the smallest. The smallest and largest listed values are tracked exactly.
class ListValues {
 public:
  void Add(int64_t value) { AddRange(value, value, 1); }

  void AddRange(int64_t first, int64_t last, int64_t step) {
    if (first > last) return;
    smallest_ = std::min(smallest_, first);
    largest_ = std::max(largest_, LastOfRun(first, last, step));
    // The grammar has no negatives: a run starts at its first value from 0 up.
    const int64_t start = first < 0 ? first + (-first + step - 1) / step * step : first;
    const int64_t end = std::min<int64_t>(last, kLargestMatchingValue);
    int64_t next = start;  // the run's first value not kept
    if (start <= end) {
      kept_.SetRun(start, end, step);
      largest_kept_ = std::max(largest_kept_, LastOfRun(start, end, step));
      next = LastOfRun(start, end, step) + step;
    }
    if (next > kLargestMatchingValue && next <= last) first_beyond_ = std::min(first_beyond_, next);
  }

  void StoreIn(TChronEntry& entry) const {
    if (smallest_ > largest_) return;
    entry.MinValue = static_cast<int32_t>(smallest_);
    entry.MaxValue = static_cast<int32_t>(largest_);
    for (int64_t value = std::max<int64_t>(smallest_, 0); value <= largest_kept_; ++value) {
      if (kept_.Test(value)) entry.Values.push_back(static_cast<int32_t>(value));
    }
    if (first_beyond_ != kNone) entry.Values.push_back(static_cast<int32_t>(first_beyond_));
  }

 private:
  static constexpr int64_t kNone = std::numeric_limits<int64_t>::max();

  static int64_t LastOfRun(int64_t first, int64_t last, int64_t step) {
    return first + (last - first) / step * step;
  }

  ValueBits kept_;
  int64_t largest_kept_ = -1;
  int64_t first_beyond_ = kNone;
  int64_t smallest_ = kNone;
  int64_t largest_ = std::numeric_limits<int64_t>::min();
};

// A list item holding "-" is a range with an optional "/step"; plain numbers are read after
// all ranges, when the values are sorted.
TChronEntry ParseList(std::string_view body, int32_t lo, int32_t hi) {
  ListValues values;
  std::vector<std::string> numbers;
  for (const std::string& item : SplitItems(body, ',')) {
    if (!Contains(item, '-')) {
      numbers.push_back(item);
      continue;
    }
    const std::string_view text = item;
    const size_t slash = text.find('/');
    int64_t step = 1;
    if (slash != std::string_view::npos) step = std::max(1, ReadInteger(text.substr(slash + 1)));
    const RangeBounds range = ReadRange(text.substr(0, slash));
    values.AddRange(range.First, range.Last, step);
  }
  for (const std::string& number : numbers) values.Add(ReadInteger(number));

  TChronEntry entry{hi, lo, 1, false, {}};
  values.StoreIn(entry);
  return entry;
}

bool IsEveryRelativeWithoutStep(const TChronSchedule& schedule) {
  return std::all_of(schedule.begin(), schedule.end(),
                     [](const TChronEntry& entry) { return entry.IsRelative && entry.Step == 0; });
}

// The step arithmetic in 64 bits: field values, steps and x + 1 may each reach the 32-bit
// limits.
int64_t NextValueWide(const TChronEntry& entry, int64_t x, int64_t max_value) {
  const int64_t min_value = entry.MinValue;
  if (entry.IsRelative) {
    const int64_t y = x + entry.Step;
    if (y <= max_value) return y;
    const int64_t span = max_value - min_value + 1;
    if (span <= 0) return min_value;
    return std::max(min_value, y % span);
  }
  if (!entry.Values.empty()) {
    const auto found = std::lower_bound(entry.Values.begin(), entry.Values.end(), x);
    return found != entry.Values.end() ? *found : entry.Values.front();
  }
  if (x < min_value || x > max_value) return min_value;
  const int64_t step = std::max<int64_t>(entry.Step, 1);
  const int64_t remainder = (x - min_value) % step;
  if (remainder == 0) return x;
  const int64_t next = x + step - remainder;
  return next > max_value ? min_value : next;
}

int32_t Narrow(int64_t value) {
  // Every result is a field value, an x the caller passed or a remainder below a 32-bit span.
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

TChronEntry ParseField(std::string_view text, int32_t lo, int32_t hi) {
  std::string_view body = text;
  int32_t step = 0;
  const size_t slash = text.find('/');
  if (slash != std::string_view::npos && !Contains(text, ',')) {
    body = text.substr(0, slash);
    step = ReadInteger(text.substr(slash + 1));
  }
  if (Contains(body, '*')) return {lo, hi, std::max(1, step), false, {}};
  if (Contains(body, '?')) {
    // Backward steps would break the search's carry from one field into the next.
    if (step < 0) {
      throw ECronError(
          Format("'%s' is not a valid relative field: its step may not be negative", {text}));
    }
    return {lo, hi, step, true, {}};
  }
  if (Contains(body, '-') && !Contains(body, ',')) {
    const RangeBounds range = ReadRange(body);
    return {range.First, range.Last, std::max(1, step), false, {}};
  }
  return ParseList(body, lo, hi);
}

void ParseSchedule(std::string_view text, TChronSchedule& schedule) {
  std::vector<std::string> fields = SplitItems(text, ' ');
  fields.resize(kChronFieldCount, "*");
  for (int i = 0; i < kChronFieldCount; ++i) {
    schedule[i] = ParseField(fields[i], kChronRanges[i].Low, kChronRanges[i].High);
  }
  if (IsEveryRelativeWithoutStep(schedule)) {
    throw ECronError("Schedule is not in valid CRON format");
  }
}

int32_t TChronEntryHelper::NextValue(const TChronEntry& entry, int32_t x) {
  return NextValue(entry, x, entry.MaxValue);
}

int32_t TChronEntryHelper::NextValue(const TChronEntry& entry, int32_t x, int32_t max_value) {
  return Narrow(NextValueWide(entry, x, max_value));
}

int32_t TChronEntryHelper::NextAfter(const TChronEntry& entry, int32_t x) {
  return NextAfter(entry, x, entry.MaxValue);
}

int32_t TChronEntryHelper::NextAfter(const TChronEntry& entry, int32_t x, int32_t max_value) {
  const int64_t from = entry.IsRelative ? x : int64_t{x} + 1;
  return Narrow(NextValueWide(entry, from, max_value));
}

}  // namespace chronel
