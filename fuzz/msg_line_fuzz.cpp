// Fuzzes the message table with lines from outside (a translated table, a stored form): splitting,
// writing back, the ID index and formatting with arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/format.h"
#include "core/text.h"
#include "engine/msg_array.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Every line's ID finds that line or a later one with the same ID.
void ReadEach(const chronel::TMsgArray& table) {
  const std::vector<std::string>& lines = table.MessagesArray().Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string id = chronel::ExtractField(lines[i], "||", 1, true);
    Check(table.IndexOfID(id) >= static_cast<int>(i));
    table.MessageText(id, 1);
    table.MessageText(id, 2);
    table.FormatMessage(id);
    try {
      table.FormatMessage(id, {42, "text", 2.5});
    } catch (const chronel::EFormatError&) {
      // A placeholder that does not fit its argument is the formatter's error, nothing worse.
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  chronel::TMsgArray table(nullptr);
  table.MessagesArray().SetText(text);
  const int count = table.MessagesArray().Count();
  Check(table.MessagesText().Count() == count && table.LastDialogsResult().Count() == count);

  ReadEach(table);

  // Write the texts back in reverse order, as a translator might, and read everything again. (A
  // field that ends with "|" does not survive being written back: "a|" + "||" reads as "a" and
  // a field starting with "|". The line format cannot say otherwise, so IDs are read afresh.)
  std::vector<std::string> texts = table.MessagesText().Lines();
  std::vector<std::string> reversed(texts.rbegin(), texts.rend());
  table.MessagesText().SetLines(reversed);
  Check(table.MessagesArray().Count() == count);
  for (const std::string& state : table.DontShowAgainText().Lines()) {
    Check(state == "N" || state == "Y" || state == "D");
  }
  ReadEach(table);
  return 0;
}
