// Language files: the text file beside the library that holds the plug-in's texts in English and
// their translations. Read whole; lines end with LF or CR LF (a lone CR belongs to the line) and
// the spaces around a line do not count.
//
//   Encoding=utf-8               lines 1 to 19 may set how the file is read (below)
//   // a comment
//   [Languages]                  the language list, read by the INI engine (language_list.h)
//   $EN = English
//   Default = EN
//
//   EN:>Open data source         a block: consecutive lines, ended by an empty line;
//   DE:>Datenquelle öffnen       "<code>:>" gives the text in that language
//
// Header lines (only lines 1 to 19, each looked at trimmed and cut to 50 characters):
// "//filenew", "//filerewrite", "//fileappend"; "Encoding=" utf-8, utf-16 or unicode; "BiDiMode="
// righttoleft, righttoleftnoalign or righttoleftreadingonly; "Locale=" a locale identifier in
// decimal or 0x-hexadecimal; "Charset=" a name of charset.h; "//saveuntr", "//saveuntrobj",
// "//saveunused", "//saveall". A line that sets the encoding, reading order, locale or character
// set is used up by that; a value not in these lists changes nothing and the line counts as an
// ordinary one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/control.h"
#include "platform/locale_services.h"
#include "translation/charset.h"

namespace chronel {

enum class TTextEncoding : uint8_t { None, Utf8, Utf16, Unicode };

// What the engine collects for translators (wtransl.h).
enum class TSaveMode : uint8_t {
  None,
  Untranslated,
  All,
  Unused,                // entries of the file that nothing asked for
  UntranslatedWithPath,  // untranslated texts with the path of the property that holds them
};

// How the side file of collected texts is written: under a free name, anew, or appended.
enum class TFileMode : uint8_t { New, Rewrite, Append };

struct TLanguageSettings {
  TTextEncoding Encoding = TTextEncoding::None;
  TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
  platform::LocaleId Locale = 0;  // 0: the thread keeps its own
  TCharset Charset;
  TSaveMode SaveMode = TSaveMode::None;
  TFileMode FileMode = TFileMode::New;
};

struct TLanguageBlock {
  int FirstLine = 0;  // from 1
  std::vector<std::string> Lines;
  // Followed by an empty line. A block that runs into the end of the file is not used.
  bool Complete = false;

  // The rest of the first line that begins with `code` and ":>" (the code compared without
  // regard to case); nothing when no line does.
  std::optional<std::string_view> TextOf(std::string_view code) const;
};

// A header line that set something, for reports.
struct THeaderLine {
  int Line = 0;
  std::string Text;
};

struct TLanguageFile {
  TLanguageSettings Settings;
  // The file was UTF-16: its texts were turned into UTF-8 as it was read.
  bool WideFile = false;
  int LineCount = 0;
  std::vector<THeaderLine> HeaderLines;
  std::vector<TLanguageBlock> Blocks;  // in file order, complete or not

  // Whether the texts are UTF-8: a UTF-16 file's by now, an 8-bit file's when its header says
  // utf-8. Otherwise they are in the character set's code page.
  bool TextsAreUtf8() const { return WideFile || Settings.Encoding == TTextEncoding::Utf8; }
  // A text of the file as UTF-8.
  std::string Decode(std::string_view text) const;
};

inline constexpr int kHeaderLineCount = 19;

// Any bytes parse.
TLanguageFile ParseLanguageFile(std::string_view bytes);
// Nothing when the file is missing or cannot be read.
std::optional<TLanguageFile> ReadLanguageFile(const std::string& fileName);

}  // namespace chronel
