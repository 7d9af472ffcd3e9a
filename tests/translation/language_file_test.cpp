// Reading language files: header lines, comments, blocks, encodings and character sets, and
// looking texts up in one language pair.
#include "translation/language_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translation/translation_table.h"

namespace chronel {
namespace {

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::optional<std::string> Translated(const std::string& file, const std::string& text,
                                      const std::string& target = "DE") {
  const TTranslationTable table(ParseLanguageFile(file), "EN", target);
  const auto hit = table.Translate(text);
  return hit ? std::optional(hit->Text) : std::nullopt;
}

TEST(LanguageFile, HeaderLinesCountOnlyInTheFirstNineteenLines) {
  std::vector<std::string> lines = {"// header", "", "Encoding=utf-8"};
  const TLanguageFile early = ParseLanguageFile(Lines(lines));
  EXPECT_EQ(early.Settings.Encoding, TTextEncoding::Utf8);
  EXPECT_TRUE(early.Blocks.empty());

  lines.resize(24);
  lines.insert(lines.end(), {"Encoding=utf-8", "EN:>Send data", "DE:>Daten senden", ""});
  lines[2] = "";
  const TLanguageFile late = ParseLanguageFile(Lines(lines));
  EXPECT_EQ(late.Settings.Encoding, TTextEncoding::None);
  ASSERT_EQ(late.Blocks.size(), 1u);
  EXPECT_EQ(late.Blocks[0].FirstLine, 25);
  EXPECT_EQ(late.Blocks[0].Lines.front(), "Encoding=utf-8");  // an ordinary line of the block
  EXPECT_EQ(late.Blocks[0].TextOf("de"), "Daten senden");
}

TEST(LanguageFile, HeaderValuesSetTheirSettingAndOthersChangeNothing) {
  const TLanguageFile file = ParseLanguageFile(Lines({
      "//filerewrite", "  Charset=Windows-1251  ", "BiDiMode=RightToLeftReadingOnly",
      "Locale=0x0407", "Encoding=latin-1", "//saveuntrobj", "BiDiMode=upside-down", "",
  }));
  EXPECT_EQ(file.Settings.FileMode, TFileMode::Rewrite);
  EXPECT_EQ(file.Settings.Charset, (TCharset{204, 1251}));
  EXPECT_EQ(file.Settings.BiDiMode, TBiDiMode::bdRightToLeftReadingOnly);
  EXPECT_EQ(file.Settings.Locale, 0x0407u);
  EXPECT_EQ(file.Settings.Encoding, TTextEncoding::None);
  EXPECT_EQ(file.Settings.SaveMode, TSaveMode::UntranslatedWithPath);
  // The lines with values outside the lists are ordinary lines: here one block.
  ASSERT_EQ(file.Blocks.size(), 1u);
  EXPECT_EQ(file.Blocks[0].Lines, (std::vector<std::string>{"Encoding=latin-1",
                                                            "BiDiMode=upside-down"}));
  EXPECT_EQ(ParseLanguageFile("Locale=1031\n").Settings.Locale, 1031u);
  EXPECT_EQ(ParseLanguageFile("Locale=-5\n").Settings.Locale, 0u);
}

TEST(LanguageFile, BlocksNeedBothTextsAndAnEmptyLineAfterThem) {
  const std::string file = Lines({
      "EN:>Send data", "// a comment inside a block", "DE:>Daten senden", "",
      "EN:>Data", "", "DE:>Ereignis", "", "EN:>Event", "DE:>", "",
      "EN:>Actions", "DE:>Aktionen",  // runs into the end of the file
  });
  EXPECT_EQ(Translated(file, "Send data"), "Daten senden");
  EXPECT_EQ(Translated(file, "Data"), std::nullopt);
  EXPECT_EQ(Translated(file, "Event"), std::nullopt);
  EXPECT_EQ(Translated(file, "Actions"), std::nullopt);
  EXPECT_EQ(TTranslationTable(ParseLanguageFile(file), "EN", "DE").Count(), 1);
  EXPECT_EQ(Translated(file + "\r\n", "Actions"), "Aktionen");
}

TEST(LanguageFile, LinesEndWithLfOrCrLfAndALoneCrBelongsToTheLine) {
  EXPECT_EQ(Translated(Lines({"EN:>Data", "DE:>Daten", ""}, "\n"), "Data"), "Daten");
  EXPECT_EQ(Translated("EN:>Data\rDE:>Daten\n\n", "Data"), std::nullopt);
  EXPECT_EQ(Translated("   EN:>Data   \n  DE:>Daten  \n\n", "Data"), "Daten");
}

TEST(LanguageFile, TranslationsAreDecodedAsTheHeaderSays) {
  // "Открыть" in UTF-8 and in code page 1251.
  const std::string russian = "\xD0\x9E\xD1\x82\xD0\xBA\xD1\x80\xD1\x8B\xD1\x82\xD1\x8C";
  const std::string cp1251 = "\xCE\xF2\xEA\xF0\xFB\xF2\xFC";
  const struct {
    std::string header;
    std::string translation;
    std::string expected;
  } cases[] = {
      {"Encoding=utf-8", russian, russian},
      {"Charset=windows-1251", cp1251, russian},
      {"Encoding=utf-8", "bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {"Charset=shift-jis", "\x8A\x4A\x82\xAD", "\xE9\x96\x8B\xE3\x81\x8F"},  // 開く
      // A file of 8-bit characters that names a 16-bit encoding is read in its code page.
      {"Charset=windows-1251\r\nEncoding=unicode", cp1251, russian},
      {"Charset=windows-1251\r\nEncoding=utf-16", cp1251, russian},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    EXPECT_EQ(Translated(Lines({c.header, "EN:>Open", "RU:>" + c.translation, ""}), "Open", "RU"),
              c.expected);
  }
}

TEST(LanguageFile, Utf16FilesAreReadWithOrWithoutAByteOrderMark) {
  const std::u16string text = u"Encoding=unicode\r\nEN:>Open\r\nJA:>\u958B\u304F\r\n\r\n";
  std::string little, big;
  for (const char16_t unit : text) {
    little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  }
  for (const std::string& bytes : {"\xFF\xFE" + little, "\xFE\xFF" + big, little}) {
    EXPECT_EQ(Translated(bytes, "Open", "JA"), "\xE9\x96\x8B\xE3\x81\x8F");
  }
  EXPECT_EQ(Translated("\xEF\xBB\xBF" "Encoding=utf-8\nEN:>Open\nDE:>\xC3\xB6" "ffnen\n\n", "Open"),
            "\xC3\xB6" "ffnen");
}

TEST(TranslationTable, LooksUpExactThenPercentFormThenWithoutAmpersandThenLowerCase) {
  const std::string file = Lines({
      "Encoding=utf-8", "",
      "EN:>Yes", "DE:>&Ja", "",
      "EN:>Open data source", "DE:>Datenquelle \xC3\xB6" "ffnen", "",
      "EN:>Line one%0D%0ALine two", "DE:>Zeile eins%0D%0AZeile zwei", "",
      "EN:>Unable to add task #%d", "DE:>Aufgabe #%d kann nicht hinzugef\xC3\xBCgt werden", "",
      "EN:>&Help", "DE:>&Hilfe", "",
  });
  const struct {
    std::string text;
    std::optional<std::string> expected;
  } cases[] = {
      {"Yes", "Ja"},                     // the source has no "&": none in the translation
      {"&Yes", "&Ja"},                   // found without its "&": the translation keeps its own
      {"&Help", "&Hilfe"},
      {"Help", std::nullopt},            // "&Help" is another text
      {"OPEN DATA SOURCE", "Datenquelle \xC3\xB6" "ffnen"},
      {"Line one\r\nLine two", "Zeile eins\r\nZeile zwei"},
      {"Line one%0D%0ALine two", "Zeile eins%0D%0AZeile zwei"},  // no control characters: kept
      {"Unable to add task #%d", "Aufgabe #%d kann nicht hinzugef\xC3\xBCgt werden"},
      {"Close data source", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Translated(file, c.text), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace chronel
