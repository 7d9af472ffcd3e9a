#include "chronel/lang_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tasks/temp_folder.h"

namespace chronel {
namespace {

TEST(LangCheck, ReportsTheHeaderTheLanguagesAndWhatIsDroppedAndWhy) {
  testing::TempFolder folder;
  const std::string file = folder.File("plugin.lng");
  testing::WriteBytes(file,
                      "Charset=windows-1251\r\n//saveuntr\r\n[Languages]\r\n$EN = English\r\n"
                      "$DE = Deutsch\r\nDefault = DE\r\n\r\n"
                      "EN:>Send data\r\nDE:>Daten senden\r\n\r\n"
                      "EN:>Data\r\nDE:>\r\nRU:>\xC4\xE0\xED\xED\xFB\xE5\r\n\r\n"
                      "DE:>Ereignis\r\n\r\n"
                      "EN:>Send data\r\nDE:>Senden\r\n\r\n"
                      "EN:>Event\r\nDE:>Ereignis\r\n");
  std::ostringstream out, err;
  ASSERT_EQ(RunLangCommand({"check", file}, out, err), 0) << err.str();
  const std::string report = out.str();
  for (const std::string expected : {
           "read as: code page 1251, 21 lines\n",
           "  line 1: Charset=windows-1251\n  line 2: //saveuntr\n",
           "  character set: 204\n  collects: untranslated texts\n",
           "  EN  English\n  DE  Deutsch  (default)\n  RU  (not in [Languages])\n",
           "entries taken (from EN):\n  DE  1\n  RU  1\n",
           "  line 8: no line for RU\n"
           "  line 11: empty text for DE\n"
           "  line 15: no EN line\n"
           "  line 17: no line for RU\n"
           "  line 8: replaced by line 17, which has the same EN text\n"
           "  line 20: no empty line after the block before the end of the file\n",
       }) {
    EXPECT_NE(report.find(expected), std::string::npos) << expected << "\nin:\n" << report;
  }
}

TEST(LangCheck, RefusesWrongArgumentsAndUnreadableFiles) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"check"}, {"list", "x.lng"}, {"check", "no-such.lng"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunLangCommand(args, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str(), "");
  }
}

}  // namespace
}  // namespace chronel
