// One language pair of a language file in memory: each source text with its translation, both
// as UTF-8, found by the exact text or by the text in lower case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "translation/language_file.h"

namespace chronel {

class TTranslationTable {
 public:
  // Nothing loaded: Count() is -1.
  TTranslationTable() = default;
  // The pairs of the complete blocks that have a non-empty text in both languages; a later
  // block with the same source text replaces an earlier one.
  TTranslationTable(const TLanguageFile& file, std::string_view source, std::string_view target);

  // -1 when nothing was loaded.
  int Count() const { return count_; }
  // The source texts, as the file writes them (control characters in percent form).
  std::vector<std::string> Sources() const;

  struct THit {
    std::string Text;  // the translation, ready to put in place
    std::string Key;   // the source text of the entry that gave it
  };
  // Looks up a trimmed, non-empty text: as it is, in percent form, in percent form without "&",
  // and in lower case, stopping at the first hit. The translation gets the text's control
  // characters back from their percent forms, and loses its "&" marks when the text had none
  // (unless it was found without its own).
  std::optional<THit> Translate(std::string_view text) const;

 private:
  const std::string* Find(const std::string& key) const;

  int count_ = -1;
  std::unordered_map<std::string, std::string> exact_;  // source -> translation
  std::unordered_map<std::string, std::string> lower_;  // source in lower case -> source
};

}  // namespace chronel
