// TWtransl: the translation engine. A non-visual component that each plug-in instance owns: it
// loads the language file, keeps the pairs of English text and translation of one language
// pair in memory, and walks a component and everything it owns, putting translations in place
// of the texts of the listed properties. It works by text, not by component name: a caption is
// translated wherever the same English text occurs. On request (header lines of the file) it
// collects the texts it found no translation for, or the entries nothing asked for, and leaves
// them in a side file for translators when it is freed (side_file.h).
//
// A loaded language is dropped 20 s after the last translation, so an idle instance holds no
// translation data; the next translation reads the file again.
//
// Threads: create it on a thread that pumps messages: the release timer ticks there (a thread
// that never pumps keeps its language until the next language pair or the end). Every other
// call may come from any thread; loading, translating and dropping are serialized by the
// engine's lock. The components being translated must not be used elsewhere meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/component.h"
#include "core/string_list.h"
#include "platform/timer_ex.h"
#include "translation/language_file.h"
#include "translation/translation_table.h"

namespace chronel {

class TPropertyInfo;

// Tags that keep parts of a component from translation.
inline constexpr int32_t kTagSkipTree = 9999;        // the component and all it owns
inline constexpr int32_t kTagSkipOwnTexts = 9998;    // its own properties; what it owns is walked
inline constexpr int32_t kTagSkipTextsAndItems = 9997;
// 10000 + a sum of these: single properties of the component keep their text.
inline constexpr int32_t kTagExclusionBase = 10000;
enum TExclusion : int32_t {
  exHint = 1,
  exCaption = 2,
  exItems = 4,
  exStrings = 8,
  exText = 16,
};

class TWtransl : public TComponent {
 public:
  static constexpr uint32_t kReleaseIntervalMs = 20000;

  // Raises chronel::Exception when the release timer's window cannot be made.
  explicit TWtransl(TComponent* owner);
  // Writes the side file when collecting.
  ~TWtransl() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // "app.lng" at creation. Another file drops the loaded language.
  std::string LanguageFile() const;
  void SetLanguageFile(std::string file);
  // The names of the properties to translate, matched to published properties without regard
  // to case: "CAPTION", "HINT", "TEXT", "TITLE", "CAPTIONS" at creation. Change it before
  // translating, not during.
  TStringList& ComponentProperties() { return componentProperties_; }
  // The source language when a translation names none: the target language of the last
  // whole-application translation, "EN" until there is one.
  std::string DefaultLanguage() const;
  void SetDefaultLanguage(std::string language);

  // The one entry point. With a component: translates it and what it owns into `target`.
  // Without a component but with `text`: that text, in place. With neither: every form of the
  // application, and `target` becomes the default language. `source` "" is the default
  // language. Answers whether a translation pass was made: the file has pairs for the two
  // languages, its header asks for collecting, or texts put in place earlier are to go back.
  bool TranslateComponent(const std::string& target, TComponent* component,
                          std::string* text = nullptr, const std::string& source = {});

  // The file's language list ("<code>,<name>" lines added to `list`); answers its default
  // language, "" when it names none or cannot be read.
  std::string ReadLanguageList(TStringList& list) const;

  // What the last loading read; defaults while nothing was read.
  TLanguageSettings Settings() const;
  // Pairs of the loaded language; -1 when none is loaded (none yet, the file is missing or
  // unreadable, or the release timer dropped it).
  int LoadedCount() const;
  // The texts collected for the side file, sorted.
  std::vector<std::string> Collected() const;

 private:
  // Where a text sits, for texts collected with their path.
  struct TPlace {
    const TComponent* Component = nullptr;
    std::string Property;
  };

  void EnsureLanguage(const std::string& source, const std::string& target);
  void LoadLanguage(const std::string& source, const std::string& target);
  void DropLanguage();
  void ReleaseTimerFired();
  bool PassWanted() const;

  // Translating texts (wtransl.cpp).
  std::optional<std::string> TranslatedValue(const std::string& value, const TPlace& place);
  void Collect(const std::string& text, const std::optional<TTranslationTable::THit>& hit,
               const TPlace& place);
  static std::string PathOf(const TPlace& place);

  // The walk (component_walk.cpp).
  void TranslateApplication();
  void TranslateTree(TComponent& component);
  void WalkOwned(const TComponent& owner);
  void TranslateItems(TComponent& component, int32_t exclusions);
  bool IsListed(std::string_view property) const;
  void TranslateOwnTexts(TComponent& component);
  void ApplyFileLayout(TComponent& component) const;
  void TranslateListed(TObject& object, const TPlace& place, int32_t exclusions);
  void TranslateProperty(TObject& object, const TPropertyInfo& property, const TPlace& place,
                         int32_t exclusions);

  mutable std::recursive_mutex mutex_;
  std::string languageFile_ = "app.lng";
  TStringList componentProperties_;
  std::string defaultLanguage_ = "EN";
  std::string lastSource_, lastTarget_;

  TLanguageSettings settings_;
  TTranslationTable table_;
  std::optional<std::pair<std::string, std::string>> loadedPair_;  // source, target

  std::set<std::string> collected_;
  std::set<std::string> used_;  // entries asked for, kept out of the unused ones
  // Each translation put in place, keyed by its place's path and the translation, with the text
  // it replaced: a module already in one language is translated into the next from its source
  // texts, and goes back to them where the next language has no entry. Paths are names, not
  // addresses, so a dialog opened again finds its entries and the map stays bounded.
  std::unordered_map<std::string, std::string> sources_;

  std::unique_ptr<platform::TkivTimerEx> releaseTimer_;
};

}  // namespace chronel
