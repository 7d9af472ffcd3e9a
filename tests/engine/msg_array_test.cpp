#include "engine/msg_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/class_info.h"
#include "core/data_module.h"
#include "core/form_declaration.h"
#include "platform/system_captions.h"

namespace chronel {
namespace {

// The data module's table: three messages and a line with a blank ID.
const std::vector<std::string> kModuleLines = {
    "MsgExecTask||Executing task||||||D||||||||",
    "MsgInvArg||Invalid argument ||||||D||||||||",
    "MsgInvTask||Unable to add task #%d||||||D||||||||",
    "||||||||D||||||||",
};

class MsgArrayTest : public ::testing::Test {
 protected:
  MsgArrayTest() { table.MessagesArray().SetLines(kModuleLines); }
  TMsgArray table{nullptr};
};

TEST_F(MsgArrayTest, PublishesItsPropertiesInTheirOrder) {
  std::vector<std::string> names;
  for (const TPropertyInfo* property : table.ClassInfo().Properties()) {
    names.push_back(property->Name());
  }
  EXPECT_EQ(names, (std::vector<std::string>{
                       "Name", "Tag", "AgainCheckCaption", "MessagesArray", "MessagesText",
                       "MessagesCaption", "DontShowAgainText", "LastDialogsResult",
                       "ButtonCaptions", "InformationCaption", "WarningCaption", "ErrorCaption",
                       "QuestionCaption", "OnHelp", "OnClose", "OnShow", "OnCustomButtonClick",
                       "OnButtonCreate", "UseSystemCaptions"}));
  EXPECT_EQ(table.Property("AgainCheckCaption").GetString(table), "Do not ask me again");
  EXPECT_EQ(table.Property("QuestionCaption").GetString(table), "Question");
  EXPECT_EQ(table.Property("UseSystemCaptions").GetEnumName(table), "False");
}

TEST_F(MsgArrayTest, SplitsTheLinesIntoTheFourDerivedLists) {
  EXPECT_EQ(table.MessagesText().Lines(),
            (std::vector<std::string>{"Executing task", "Invalid argument ",
                                      "Unable to add task #%d", ""}));
  EXPECT_EQ(table.MessagesCaption().Lines(), (std::vector<std::string>{"", "", "", ""}));
  EXPECT_EQ(table.DontShowAgainText().Lines(), (std::vector<std::string>{"D", "D", "D", "D"}));
  EXPECT_EQ(table.LastDialogsResult().Count(), 4);

  table.MessagesArray().SetLines({"a||t||c||4||Y||6||7||R||", "b||t||c||4||y||", "c||t||c||4||N"});
  EXPECT_EQ(table.DontShowAgainText().Lines(), (std::vector<std::string>{"Y", "D", "N"}));
  EXPECT_EQ(table.LastDialogsResult().Lines(), (std::vector<std::string>{"R", "", ""}));
}

TEST_F(MsgArrayTest, FindsMessagesByTrimmedIdWithoutRegardToCase) {
  EXPECT_EQ(table.MessageText("MsgExecTask"), "Executing task");
  EXPECT_EQ(table.MessageText("  msgexectask "), "Executing task");
  EXPECT_EQ(table.MessageText("MSGINVARG"), "Invalid argument") << "the text is trimmed";
  EXPECT_EQ(table.IndexOfID("MsgInvTask"), 2);
  // The blank ID of the fourth line: trimmed it is empty, and an empty ID finds it.
  EXPECT_EQ(table.IndexOfID(""), 3);
  EXPECT_EQ(table.IndexOfID("  "), 3);
  EXPECT_EQ(table.MessageText(""), "");
  EXPECT_EQ(table.IndexOfID("MsgNone"), -1);

  table.MessagesArray().SetLines({" Dup ||first||", "dup||second||Caption 2||"});
  EXPECT_EQ(table.MessageText("DUP"), "second") << "a later line with the same ID wins";
  EXPECT_EQ(table.MessageText("dup", 2), "Caption 2");
}

TEST_F(MsgArrayTest, WritingADerivedListWritesCompleteLinesBack) {
  table.MessagesArray().SetLines({"Short||Text", "Bare", "Full||t||c||4||Y||6||7||R||9||"});
  table.MessagesCaption().Put(0, "Cap");
  EXPECT_EQ(table.MessagesArray().Lines(),
            (std::vector<std::string>{"Short||Text||Cap||||D||||||||", "Bare||||||||D||||||||",
                                      "Full||t||c||4||Y||6||7||R||"}));

  table.DontShowAgainText().Put(1, "x");
  table.LastDialogsResult().Put(2, "6");
  EXPECT_EQ(table.MessagesArray()[1], "Bare||||||||D||||||||");
  EXPECT_EQ(table.MessagesArray()[2], "Full||t||c||4||Y||6||7||6||");

  // A derived list shorter than the lines leaves the later lines' fields alone.
  table.MessagesText().SetLines({"New"});
  EXPECT_EQ(table.MessagesArray()[0], "Short||New||Cap||||D||||||||");
  EXPECT_EQ(table.MessageText("full"), "t");
}

TEST_F(MsgArrayTest, ATranslatedTextChangesWhatTheMessageReads) {
  table.MessagesText().Put(2, "Aufgabe #%d nicht angelegt");
  EXPECT_EQ(table.FormatMessage("MsgInvTask", {3}), "Aufgabe #3 nicht angelegt");
  EXPECT_EQ(table.MessagesArray()[2], "MsgInvTask||Aufgabe #%d nicht angelegt||||||D||||||||");
  EXPECT_EQ(table.IndexOfID("MsgInvTask"), 2);
}

TEST_F(MsgArrayTest, TurnsEscapesIntoLineBreaks) {
  table.MessagesArray().SetLines({"Two||Line 1%0DLine 2%0ALine 3||Cap%0D%0A||"});
  EXPECT_EQ(table.MessageText("Two"), "Line 1\rLine 2\nLine 3");
  EXPECT_EQ(table.MessageText("Two", 2), "Cap\r\n");
  EXPECT_EQ(table.FormatMessage("Two"), "Line 1\rLine 2\nLine 3");
}

TEST_F(MsgArrayTest, FormatsOnlyWhenGivenArguments) {
  EXPECT_EQ(table.FormatMessage("MsgInvTask"), "Unable to add task #%d");
  EXPECT_EQ(table.FormatMessage("MsgInvTask", {3}), "Unable to add task #3");
  table.MessagesArray().Add("Pct||100% done||");
  EXPECT_EQ(table.FormatMessage("Pct"), "100% done");
  EXPECT_THROW(table.FormatMessage("MsgInvTask", {"three"}), EFormatError);
  EXPECT_THROW(table.FormatMessage("Pct", {1}), EFormatError);
}

TEST_F(MsgArrayTest, UnknownIdsRaiseTheTablesErrors) {
  try {
    table.MessageText("MsgNone");
    FAIL();
  } catch (const EMsgArrayError& error) {
    EXPECT_EQ(error.Message(), "Invalid message ID [MsgNone]");
  }
  try {
    table.FormatMessage("MsgNone", {1});
    FAIL();
  } catch (const EMsgArrayError& error) {
    EXPECT_EQ(error.Message(), "Invalid message index [-1]");
  }
}

TEST(MsgArrayCaptions, StartWithTheDefaultsAndCanTakeTheSystemsOwn) {
  TMsgArray table(nullptr);
  const std::vector<std::string> defaults = {"&Yes",       "&No",         "OK",      "Cancel",
                                             "&Abort",     "&Retry",      "&Ignore", "&All",
                                             "N&o to All", "Yes to &All", "&Help",   "Unknown"};
  EXPECT_EQ(table.ButtonCaptions().Lines(), defaults);

  TButtonCaptions system;
  system[0] = "Ja";
  system[2] = "Okay";
  SetSystemButtonCaptionsForTesting(&system);
  table.ButtonCaptions().SetLines({"Yes!", "No!"});
  table.SetUseSystemCaptions(true);
  std::vector<std::string> expected = defaults;
  expected[0] = "Ja";
  expected[1] = "No!";
  expected[2] = "Okay";
  EXPECT_EQ(table.ButtonCaptions().Lines(), expected);
  table.SetUseSystemCaptions(false);
  EXPECT_EQ(table.ButtonCaptions().Lines(), defaults);
  SetSystemButtonCaptionsForTesting(nullptr);
}

TEST(MsgArrayCaptions, TheSwitchWaitsForTheEndOfLoading) {
  TButtonCaptions system;
  system[3] = "Abbrechen";
  SetSystemButtonCaptionsForTesting(&system);
  TDataModule module(nullptr);
  LoadDeclaration(
      module, {.Components = {{.Class = ClassOf<TMsgArray>(),
                               .Name = "MsgArray",
                               .Properties = {{"UseSystemCaptions", true},
                                              {"ButtonCaptions", Lines({"1", "2", "3", "4"})}}}}});
  SetSystemButtonCaptionsForTesting(nullptr);
  auto& table = static_cast<TMsgArray&>(*module.FindComponent("MsgArray"));
  ASSERT_EQ(table.ButtonCaptions().Count(), 12);
  EXPECT_EQ(table.ButtonCaptions()[0], "1");
  EXPECT_EQ(table.ButtonCaptions()[3], "Abbrechen");
  EXPECT_EQ(table.ButtonCaptions()[4], "&Abort");
}

TEST(MsgArrayCaptions, TakeTheCaptionsOfTheSystemsStringTable) {
  TMsgArray table(nullptr);
  table.SetUseSystemCaptions(true);
  // OK is string 800; with no system table (POSIX) the default stays.
  const std::string ok = platform::SystemCaption(800);
  EXPECT_EQ(table.ButtonCaptions()[2], ok.empty() ? "OK" : ok);
  EXPECT_EQ(table.ButtonCaptions()[7], "&All") << "no system string";
}

}  // namespace
}  // namespace chronel
