#include "engine/msg_array.h"

#include <cstdint>
#include <vector>

#include "core/published_properties.h"
#include "core/text.h"
#include "platform/system_captions.h"

namespace chronel {
namespace {

constexpr size_t kPaddedFields = 9;
constexpr size_t kWrittenFields = 8;
// Fields (from 0) that the derived lists mirror.
constexpr size_t kTextField = 1, kCaptionField = 2, kDontShowField = 4, kResultField = 7;

const TButtonCaptions* captionsForTesting = nullptr;

// A line cut into fields as task lines are cut, padded with empty fields to nine.
std::vector<std::string> SplitMessageLine(std::string_view line) {
  std::vector<std::string> fields = SplitLines(ReplaceAll(line, "||", "\r\n"));
  if (fields.size() < kPaddedFields) fields.resize(kPaddedFields);
  return fields;
}

std::string JoinMessageLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < kWrittenFields; ++i) line.append(fields[i]).append("||");
  return line;
}

std::string NormalizeDontShow(const std::string& state) {
  return state == "N" || state == "Y" ? state : "D";
}

std::string IndexKey(std::string_view id) { return LowerCaseAscii(Trim(id)); }

std::string Unescape(const std::string& text) {
  return ReplaceAll(ReplaceAll(text, "%0D", "\r"), "%0A", "\n");
}

// Read once per process; function-local statics are made under a lock.
const TButtonCaptions& SystemButtonCaptions() {
  static const TButtonCaptions captions = [] {
    constexpr std::array<uint32_t, kMsgButtonCount> kNumbers = {805, 806, 800, 801, 802, 803,
                                                                804, 0,   0,   0,   808, 0};
    TButtonCaptions result;
    for (size_t i = 0; i < kNumbers.size(); ++i) {
      if (kNumbers[i] != 0) result[i] = platform::SystemCaption(kNumbers[i]);
    }
    return result;
  }();
  return captionsForTesting != nullptr ? *captionsForTesting : captions;
}

// Sets the flag for the lifetime of the guard, also when the work raises.
class TBusy {
 public:
  explicit TBusy(bool& flag) : flag_(flag) { flag_ = true; }
  ~TBusy() { flag_ = false; }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TMsgArray::TMsgArray(TComponent* owner) : TComponent(owner) {
  const TButtonCaptions& defaults = DefaultButtonCaptions();
  buttonCaptions_.SetLines({defaults.begin(), defaults.end()});
  messagesArray_.SetOnChange([this] { MessagesArrayChanged(); });
  for (TStringList* list :
       {&messagesText_, &messagesCaption_, &dontShowAgainText_, &lastDialogsResult_}) {
    list->SetOnChange([this] { DerivedListChanged(); });
  }
}

const TClassInfo& TMsgArray::StaticClassInfo() {
  static const TClassInfo info(
      "TMsgArray", &TComponent::StaticClassInfo(),
      {
          Published("AgainCheckCaption", &TMsgArray::againCheckCaption_),
          Published("MessagesArray", &TMsgArray::messagesArray_),
          Published("MessagesText", &TMsgArray::messagesText_),
          Published("MessagesCaption", &TMsgArray::messagesCaption_),
          Published("DontShowAgainText", &TMsgArray::dontShowAgainText_),
          Published("LastDialogsResult", &TMsgArray::lastDialogsResult_),
          Published("ButtonCaptions", &TMsgArray::buttonCaptions_),
          Published("InformationCaption", &TMsgArray::informationCaption_),
          Published("WarningCaption", &TMsgArray::warningCaption_),
          Published("ErrorCaption", &TMsgArray::errorCaption_),
          Published("QuestionCaption", &TMsgArray::questionCaption_),
          Published("OnHelp", &TMsgArray::onHelp_),
          Published("OnClose", &TMsgArray::onClose_),
          Published("OnShow", &TMsgArray::onShow_),
          Published("OnCustomButtonClick", &TMsgArray::onCustomButtonClick_),
          Published("OnButtonCreate", &TMsgArray::onButtonCreate_),
          Published("UseSystemCaptions", &TMsgArray::UseSystemCaptions,
                    &TMsgArray::SetUseSystemCaptions),
      },
      {}, ComponentFactory<TMsgArray>);
  return info;
}

const TButtonCaptions& TMsgArray::DefaultButtonCaptions() {
  static const TButtonCaptions captions = {"&Yes",       "&No",         "OK",      "Cancel",
                                           "&Abort",     "&Retry",      "&Ignore", "&All",
                                           "N&o to All", "Yes to &All", "&Help",   "Unknown"};
  return captions;
}

void TMsgArray::MessagesArrayChanged() {
  if (syncing_) return;
  TBusy busy(syncing_);
  std::vector<std::string> texts, captions, dontShow, results;
  for (const std::string& line : messagesArray_.Lines()) {
    std::vector<std::string> fields = SplitMessageLine(line);
    texts.push_back(std::move(fields[kTextField]));
    captions.push_back(std::move(fields[kCaptionField]));
    dontShow.push_back(NormalizeDontShow(fields[kDontShowField]));
    results.push_back(std::move(fields[kResultField]));
  }
  messagesText_.SetLines(std::move(texts));
  messagesCaption_.SetLines(std::move(captions));
  dontShowAgainText_.SetLines(std::move(dontShow));
  lastDialogsResult_.SetLines(std::move(results));
  RebuildIndex();
}

void TMsgArray::DerivedListChanged() {
  if (syncing_) return;
  TBusy busy(syncing_);
  std::vector<std::string> lines;
  for (int i = 0; i < messagesArray_.Count(); ++i) {
    std::vector<std::string> fields = SplitMessageLine(messagesArray_[i]);
    // A list shorter than the lines leaves the fields of the lines beyond it as they are.
    if (i < messagesText_.Count()) fields[kTextField] = messagesText_[i];
    if (i < messagesCaption_.Count()) fields[kCaptionField] = messagesCaption_[i];
    if (i < dontShowAgainText_.Count()) {
      fields[kDontShowField] = NormalizeDontShow(dontShowAgainText_[i]);
    }
    if (i < lastDialogsResult_.Count()) fields[kResultField] = lastDialogsResult_[i];
    lines.push_back(JoinMessageLine(fields));
  }
  messagesArray_.SetLines(std::move(lines));
  RebuildIndex();
}

void TMsgArray::RebuildIndex() {
  index_.clear();
  for (int i = 0; i < messagesArray_.Count(); ++i) {
    index_[IndexKey(ExtractField(messagesArray_[i], "||", 1, true))] = i;
  }
}

int TMsgArray::IndexOfID(std::string_view id) const {
  const auto found = index_.find(IndexKey(id));
  return found == index_.end() ? -1 : found->second;
}

std::string TMsgArray::MessageText(std::string_view id, int field) const {
  const int index = IndexOfID(id);
  if (index < 0) throw EMsgArrayError("Invalid message ID [" + std::string(id) + "]");
  return Unescape(ExtractField(messagesArray_[index], "||", field + 1, true));
}

std::string TMsgArray::FormatMessage(std::string_view id, std::span<const FormatArg> args) const {
  const int index = IndexOfID(id);
  if (index < 0 || index >= messagesArray_.Count()) {
    throw EMsgArrayError("Invalid message index [" + std::to_string(index) + "]");
  }
  const std::string text = Unescape(ExtractField(messagesArray_[index], "||", 2, true));
  return args.empty() ? text : Format(text, args);
}

std::string TMsgArray::FormatMessage(std::string_view id,
                                     std::initializer_list<FormatArg> args) const {
  return FormatMessage(id, std::span<const FormatArg>(args.begin(), args.size()));
}

void TMsgArray::SetUseSystemCaptions(bool use) {
  useSystemCaptions_ = use;
  if (IsLoading()) {
    captionsPending_ = true;
    return;
  }
  ApplySystemCaptions();
}

void TMsgArray::Loaded() {
  if (!captionsPending_) return;
  captionsPending_ = false;
  ApplySystemCaptions();
}

void TMsgArray::ApplySystemCaptions() {
  const TButtonCaptions& defaults = DefaultButtonCaptions();
  if (!useSystemCaptions_) {
    buttonCaptions_.SetLines({defaults.begin(), defaults.end()});
    return;
  }
  // A shorter list (ButtonCaptions may be written whole) is completed from the defaults first.
  std::vector<std::string> captions = buttonCaptions_.Lines();
  for (size_t i = captions.size(); i < defaults.size(); ++i) captions.push_back(defaults[i]);
  const TButtonCaptions& system = SystemButtonCaptions();
  for (size_t i = 0; i < system.size(); ++i) {
    if (!system[i].empty()) captions[i] = system[i];
  }
  buttonCaptions_.SetLines(std::move(captions));
}

void SetSystemButtonCaptionsForTesting(const TButtonCaptions* captions) {
  captionsForTesting = captions;
}

}  // namespace chronel
