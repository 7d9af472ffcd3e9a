// The message table: a program's user-visible texts as lines addressed by a message ID, so code
// asks for the text of MsgExecTask instead of holding literals, and the translator can translate
// every text of a table at once through MessagesText.
//
// A message line has eight fields, each followed by "||": ID (compared without regard to case,
// surrounding blanks ignored), text ("%0D" and "%0A" stand for CR and LF; may hold "%d"-style
// placeholders), caption, a field carried unchanged, the do-not-ask-again state ("N", "Y" or
// "D"; anything else counts as "D"), two more carried fields and the last dialog result:
//   MsgExecTask||Executing task||||||D||||||||
#pragma once

#include <array>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/component.h"
#include "core/event.h"
#include "core/exception.h"
#include "core/format.h"
#include "core/string_list.h"

namespace chronel {

// "Invalid message ID [<id>]", "Invalid message index [<position>]".
class EMsgArrayError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr int kMsgButtonCount = 12;
using TButtonCaptions = std::array<std::string, kMsgButtonCount>;

// Not thread-safe: built, changed and read on the thread that owns it (the data module's).
class TMsgArray : public TComponent {
 public:
  explicit TMsgArray(TComponent* owner);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The message lines. The four lists below hold fields 2, 3, 5 (normalised) and 8 of each line,
  // in the same order. Changing the lines rebuilds the four lists; changing one of the four
  // writes its entries back into fields 2, 3, 5 and 8 of the lines at the same positions.
  TStringList& MessagesArray() { return messagesArray_; }
  const TStringList& MessagesArray() const { return messagesArray_; }
  TStringList& MessagesText() { return messagesText_; }
  const TStringList& MessagesText() const { return messagesText_; }
  TStringList& MessagesCaption() { return messagesCaption_; }
  const TStringList& MessagesCaption() const { return messagesCaption_; }
  TStringList& DontShowAgainText() { return dontShowAgainText_; }
  const TStringList& DontShowAgainText() const { return dontShowAgainText_; }
  TStringList& LastDialogsResult() { return lastDialogsResult_; }
  const TStringList& LastDialogsResult() const { return lastDialogsResult_; }
  // Twelve captions of message-dialog buttons: Yes, No, OK, Cancel, Abort, Retry, Ignore, All,
  // No to All, Yes to All, Help, Unknown. This system shows no such dialogs; they are kept and
  // translated.
  TStringList& ButtonCaptions() { return buttonCaptions_; }
  const TStringList& ButtonCaptions() const { return buttonCaptions_; }
  static const TButtonCaptions& DefaultButtonCaptions();

  // True copies the system's non-empty captions over the button captions; false restores the
  // twelve defaults. Set while the table is being loaded, it takes effect when loading ends.
  bool UseSystemCaptions() const { return useSystemCaptions_; }
  void SetUseSystemCaptions(bool use);

  // The position of the line with that ID, -1 when none. A later line with the same ID hides
  // an earlier one; an empty (or blank) ID finds a line whose ID is blank.
  int IndexOfID(std::string_view id) const;
  // Field `field` + 1 of the message's line (1 = the text, 2 = the caption), trimmed, with
  // "%0D" and "%0A" turned into CR and LF. Raises EMsgArrayError "Invalid message ID [<id>]".
  std::string MessageText(std::string_view id, int field = 1) const;
  // The message's text as MessageText gives it, formatted with the arguments when there is at
  // least one (so without arguments a literal "%" stays). Raises EMsgArrayError "Invalid
  // message index [<position>]" for an unknown ID (position -1), and EFormatError when a
  // placeholder does not fit its argument.
  std::string FormatMessage(std::string_view id, std::span<const FormatArg> args) const;
  std::string FormatMessage(std::string_view id, std::initializer_list<FormatArg> args = {}) const;

 protected:
  void Loaded() override;

 private:
  void MessagesArrayChanged();
  void DerivedListChanged();
  void RebuildIndex();
  void ApplySystemCaptions();

  std::string againCheckCaption_ = "Do not ask me again";
  TStringList messagesArray_;
  TStringList messagesText_;
  TStringList messagesCaption_;
  TStringList dontShowAgainText_;
  TStringList lastDialogsResult_;
  TStringList buttonCaptions_;
  std::string informationCaption_ = "Information";
  std::string warningCaption_ = "Warning";
  std::string errorCaption_ = "Error";
  std::string questionCaption_ = "Question";
  // Dialog notifications; this system shows no dialogs and never calls them.
  TNotifyEvent onHelp_, onClose_, onShow_, onCustomButtonClick_, onButtonCreate_;
  bool useSystemCaptions_ = false;

  std::unordered_map<std::string, int> index_;  // lower-case trimmed ID -> line
  bool syncing_ = false;                        // keeps the synchronisation from re-entering
  bool captionsPending_ = false;                // UseSystemCaptions set while loading
};

// Tests: the captions the system would give (twelve entries, "" for none) in place of the
// system's own; null restores the system's. Not for concurrent use.
void SetSystemButtonCaptionsForTesting(const TButtonCaptions* captions);

}  // namespace chronel
