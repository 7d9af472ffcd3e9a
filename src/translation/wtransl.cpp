#include "translation/wtransl.h"

#include "core/published_properties.h"
#include "core/text.h"
#include "translation/language_list.h"
#include "translation/percent_form.h"
#include "translation/side_file.h"

namespace chronel {
namespace {

// Disables the release timer for the length of a translation and starts it anew afterwards,
// also when the translation is left by an exception.
class TReleasePause {
 public:
  explicit TReleasePause(platform::TkivTimerEx& timer) : timer_(timer) { timer_.SetEnabled(false); }
  ~TReleasePause() { timer_.SetEnabled(true); }
  TReleasePause(const TReleasePause&) = delete;
  TReleasePause& operator=(const TReleasePause&) = delete;

 private:
  platform::TkivTimerEx& timer_;
};

// The blanks around a text belong to the place that uses it ("Invalid argument " ends where a
// value follows), so they stay around its translation.
std::string WithBlanksOf(const std::string& source, const std::string& translation) {
  const std::string left = source.substr(0, source.size() - TrimLeft(source).size());
  const std::string right = source.substr(TrimRight(source).size());
  return left + translation + right;
}

}  // namespace

TWtransl::TWtransl(TComponent* owner)
    : TComponent(owner),
      componentProperties_({"CAPTION", "HINT", "TEXT", "TITLE", "CAPTIONS"}),
      releaseTimer_(std::make_unique<platform::TkivTimerEx>()) {
  releaseTimer_->SetEnabled(false);
  releaseTimer_->SetInterval(kReleaseIntervalMs);
  releaseTimer_->SetOnTimer([this](platform::TkivTimerEx*) { ReleaseTimerFired(); });
}

TWtransl::~TWtransl() {
  // Not under the lock: a tick on the timer's thread may be waiting for it, and freeing the
  // timer from another thread waits for that thread.
  releaseTimer_.reset();
  std::lock_guard lock(mutex_);
  if (settings_.SaveMode == TSaveMode::None) return;
  WriteSideFile(languageFile_, settings_, lastSource_, lastTarget_, collected_);
}

const TClassInfo& TWtransl::StaticClassInfo() {
  static const TClassInfo info(
      "TWtransl", &TComponent::StaticClassInfo(),
      {
          Published("LanguageFile", &TWtransl::LanguageFile, &TWtransl::SetLanguageFile),
          Published("ComponentProperties", &TWtransl::componentProperties_),
      },
      {}, ComponentFactory<TWtransl>);
  return info;
}

std::string TWtransl::LanguageFile() const {
  std::lock_guard lock(mutex_);
  return languageFile_;
}

void TWtransl::SetLanguageFile(std::string file) {
  std::lock_guard lock(mutex_);
  languageFile_ = std::move(file);
  DropLanguage();
}

std::string TWtransl::DefaultLanguage() const {
  std::lock_guard lock(mutex_);
  return defaultLanguage_;
}

void TWtransl::SetDefaultLanguage(std::string language) {
  std::lock_guard lock(mutex_);
  defaultLanguage_ = std::move(language);
}

TLanguageSettings TWtransl::Settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

int TWtransl::LoadedCount() const {
  std::lock_guard lock(mutex_);
  return table_.Count();
}

std::vector<std::string> TWtransl::Collected() const {
  std::lock_guard lock(mutex_);
  return {collected_.begin(), collected_.end()};
}

std::string TWtransl::ReadLanguageList(TStringList& list) const {
  return chronel::ReadLanguageList(LanguageFile(), list);
}

// --- the loaded language

bool TWtransl::TranslateComponent(const std::string& target, TComponent* component,
                                  std::string* text, const std::string& source) {
  std::lock_guard lock(mutex_);
  const std::string from = source.empty() ? defaultLanguage_ : source;
  lastSource_ = from;
  lastTarget_ = target;
  TReleasePause pause(*releaseTimer_);
  EnsureLanguage(from, target);
  if (component == nullptr && text == nullptr) defaultLanguage_ = target;
  if (!PassWanted()) return false;
  if (component != nullptr) {
    TranslateTree(*component);
  } else if (text != nullptr) {
    if (auto translated = TranslatedValue(*text, {})) *text = std::move(*translated);
  } else {
    TranslateApplication();
  }
  return true;
}

void TWtransl::EnsureLanguage(const std::string& source, const std::string& target) {
  const bool sameKey = loadedPair_ && loadedPair_->first == source && loadedPair_->second == target;
  if (sameKey && table_.Count() >= 0) return;
  LoadLanguage(source, target);
}

void TWtransl::LoadLanguage(const std::string& source, const std::string& target) {
  loadedPair_.emplace(source, target);
  table_ = {};
  settings_ = {};
  const std::optional<TLanguageFile> file = ReadLanguageFile(languageFile_);
  if (!file) return;  // nothing is translated, and nobody is told
  settings_ = file->Settings;
  // The thread's date, time and number formats follow its locale.
  if (settings_.Locale > 0) platform::SetThreadLocaleId(settings_.Locale);
  table_ = TTranslationTable(*file, source, target);
  if (settings_.SaveMode != TSaveMode::Unused) return;
  for (std::string& entry : table_.Sources()) {
    if (!used_.contains(entry) && ContainsLetter(entry)) collected_.insert(std::move(entry));
  }
}

void TWtransl::DropLanguage() {
  table_ = {};
  loadedPair_.reset();
}

// Owner thread of the timer.
void TWtransl::ReleaseTimerFired() {
  releaseTimer_->SetEnabled(false);
  std::lock_guard lock(mutex_);
  DropLanguage();
}

bool TWtransl::PassWanted() const {
  return settings_.SaveMode != TSaveMode::None || table_.Count() > 0 || !sources_.empty();
}

// --- one text

std::optional<std::string> TWtransl::TranslatedValue(const std::string& value,
                                                     const TPlace& place) {
  std::string source = value;
  std::string trimmed = Trim(value);
  std::optional<TTranslationTable::THit> hit;
  if (!trimmed.empty()) hit = table_.Translate(trimmed);
  // Two texts may share one translation ("Open" and "Start" may both become one word), so a
  // translation stands for the text it replaced only in the place where it was put.
  const std::string placePath = PathOf(place);
  if (!hit) {
    const auto earlier = sources_.find(placePath + value);
    if (earlier != sources_.end()) {
      source = earlier->second;
      trimmed = Trim(source);
      if (!trimmed.empty()) hit = table_.Translate(trimmed);
    }
  }
  if (trimmed.empty()) return source != value ? std::optional(source) : std::nullopt;
  Collect(trimmed, hit, place);
  if (!hit) return source != value ? std::optional(source) : std::nullopt;
  std::string translated = WithBlanksOf(source, hit->Text);
  sources_[placePath + translated] = source;
  return translated != value ? std::optional(std::move(translated)) : std::nullopt;
}

void TWtransl::Collect(const std::string& text, const std::optional<TTranslationTable::THit>& hit,
                       const TPlace& place) {
  const std::string escaped = EscapeControlCharacters(text);
  if (!ContainsLetter(escaped)) return;
  switch (settings_.SaveMode) {
    case TSaveMode::None:
      return;
    case TSaveMode::Untranslated:
      if (!hit) collected_.insert(escaped);
      return;
    case TSaveMode::UntranslatedWithPath:
      if (!hit) collected_.insert(PathOf(place) + escaped);
      return;
    case TSaveMode::All:
      collected_.insert(escaped);
      return;
    case TSaveMode::Unused:
      if (!hit) return;
      used_.insert(hit->Key);
      collected_.erase(hit->Key);
      return;
  }
}

// "[TaPlugin]aPlugin -> [TMenuItem]OPEN.Caption=": the owner chain, outermost first.
std::string TWtransl::PathOf(const TPlace& place) {
  if (place.Component == nullptr) return {};
  std::string path;
  for (const TComponent* link = place.Component; link != nullptr; link = link->Owner()) {
    const std::string text = "[" + link->ClassName() + "]" + link->Name();
    path = path.empty() ? text : text + " -> " + path;
  }
  return path + "." + place.Property + "=";
}

}  // namespace chronel
