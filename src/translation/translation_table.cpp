#include "translation/translation_table.h"

#include "platform/locale_services.h"
#include "translation/percent_form.h"

namespace chronel {

TTranslationTable::TTranslationTable(const TLanguageFile& file, std::string_view source,
                                     std::string_view target) {
  for (const TLanguageBlock& block : file.Blocks) {
    if (!block.Complete) continue;
    const auto from = block.TextOf(source);
    const auto to = block.TextOf(target);
    if (!from || !to || from->empty() || to->empty()) continue;
    std::string key = file.Decode(*from);
    lower_[platform::LowerCaseLocale(key)] = key;
    exact_[std::move(key)] = file.Decode(*to);
  }
  count_ = static_cast<int>(exact_.size());
}

std::vector<std::string> TTranslationTable::Sources() const {
  std::vector<std::string> sources;
  sources.reserve(exact_.size());
  for (const auto& [source, translation] : exact_) sources.push_back(source);
  return sources;
}

const std::string* TTranslationTable::Find(const std::string& key) const {
  const auto found = exact_.find(key);
  return found == exact_.end() ? nullptr : &found->first;
}

std::optional<TTranslationTable::THit> TTranslationTable::Translate(std::string_view text) const {
  const std::string escaped = EscapeControlCharacters(text);
  const std::string withoutAccelerators = RemoveAccelerators(escaped);
  const std::string* key = Find(std::string(text));
  if (key == nullptr) key = Find(escaped);
  const bool keptAccelerators = key != nullptr;
  if (key == nullptr) key = Find(withoutAccelerators);
  const bool foundWithoutAccelerators = key != nullptr && !keptAccelerators;
  if (key == nullptr) {
    const auto lower = lower_.find(platform::LowerCaseLocale(escaped));
    if (lower != lower_.end()) key = &lower->second;
  }
  if (key == nullptr) return std::nullopt;

  std::string translation = exact_.at(*key);
  if (escaped.size() != text.size()) translation = UnescapeControlCharacters(translation);
  if (text.find('&') == std::string_view::npos && !foundWithoutAccelerators) {
    translation = RemoveAccelerators(translation);
  }
  return THit{std::move(translation), *key};
}

}  // namespace chronel
