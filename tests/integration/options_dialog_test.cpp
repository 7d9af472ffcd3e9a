// The options dialog as a user meets it: opened by the host through ShowOptionsDialog over the
// host window, driven from another thread by the same messages a user's clicks and keys send,
// and judged by what it stores and by what the instance then runs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "captured_timeline.h"
#include "host/host.h"
#include "tasks/value_encoding.h"

namespace chronel::host {
namespace {

constexpr int32_t kInstance = 1;
constexpr const char* kPrefix = "Dialog";

// The controls of the dialog, found by their names, and what a user does with them.
class DialogDriver {
 public:
  explicit DialogDriver(HWND dialog) : dialog_(dialog) {}

  HWND Dialog() const { return dialog_; }
  HWND Control(const char* name) const {
    static const UINT find = RegisterWindowMessageW(L"Chronel.FindControl");
    HWND control = reinterpret_cast<HWND>(SendMessageW(dialog_, find, 0, reinterpret_cast<LPARAM>(name)));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Click(const char* name) const { SendMessageW(Control(name), BM_CLICK, 0, 0); }
  // Picks a combo item as the user does: the list changes, then its parent hears it.
  void Choose(const char* name, int index) const {
    HWND combo = Control(name);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(combo, CBN_SELCHANGE);
  }
  // An edit field reports typed text by itself; a combo's edit part is reported by the combo.
  void Type(const char* name, const wchar_t* text) const {
    HWND field = Control(name);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    wchar_t windowClass[32] = {};
    GetClassNameW(field, windowClass, 32);
    if (_wcsicmp(windowClass, WC_COMBOBOXW) == 0) Notify(field, CBN_EDITCHANGE);
  }
  void SelectRow(int row) const {
    HWND list = Control("lvTasks");
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  void SetTime(int hour, int minute) const {
    HWND field = Control("edtTime");
    NMDATETIMECHANGE change{};
    GetLocalTime(&change.st);
    change.st.wHour = static_cast<WORD>(hour);
    change.st.wMinute = static_cast<WORD>(minute);
    SendMessageW(field, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&change.st));
    change.nmhdr = {field, static_cast<UINT_PTR>(GetDlgCtrlID(field)), DTN_DATETIMECHANGE};
    change.dwFlags = GDT_VALID;
    SendMessageW(GetParent(field), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  }
  void SetHotKey(BYTE key, BYTE modifiers) const {
    HWND field = Control("edtHotkey");
    SendMessageW(field, HKM_SETHOTKEY, MAKEWORD(key, modifiers), 0);
    Notify(field, EN_CHANGE);
  }
  bool Enabled(const char* name) const { return IsWindowEnabled(Control(name)) != FALSE; }
  bool Visible(const char* name) const { return IsWindowVisible(Control(name)) != FALSE; }
  int Rows() const { return static_cast<int>(SendMessageW(Control("lvTasks"), LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(Control("lvTasks"), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  // A key as it arrives in the dialog's queue for the control that has the focus, where the
  // dialog's keyboard handling sees it.
  void PressKey(WPARAM key, const char* focused) const {
    HWND focus = Control(focused);
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
  }

 private:
  void Notify(HWND control, WORD code) const {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
  }

  HWND dialog_;
};

// The dialog as the screen shows it, written as a 24-bit BMP file.
void SaveScreenshot(HWND window, const std::filesystem::path& file) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  RECT bounds;
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header{sizeof(header), width, height, 1, 24, BI_RGB};
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  GetDIBits(memory, picture, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fileHeader{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(header) + pixels.size()), 0, 0,
                              sizeof(BITMAPFILEHEADER) + sizeof(header)};
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof(fileHeader));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

// Ours: ctest may run another test's dialog in another process at the same time.
HWND ShownDialogOfThisProcess() {
  HWND dialog = nullptr;
  while ((dialog = FindWindowExW(nullptr, dialog, L"ChronelForm", nullptr)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(dialog)) return dialog;
  }
  return nullptr;
}

HWND WaitForDialog() {
  for (int i = 0; i < 500; ++i) {
    if (HWND dialog = ShownDialogOfThisProcess()) return dialog;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return nullptr;
}

class OptionsDialog : public ::testing::Test {
 protected:
  OptionsDialog() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("chronel-dialog-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    ini_ = (folder / "settings.ini").string();
    std::filesystem::remove(ini_);
  }
  ~OptionsDialog() override {
    if (loaded_) {
      host_.Command(kInstance, "UNLOAD", Location());
      host_.Release(kInstance);
    }
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(ini_).parent_path(), ignored);
  }

  std::vector<THostParam> Location() const {
    return {{"INI-FILE", platform::Variant(ini_)}, {"INISectionPrefix", platform::Variant(std::string(kPrefix))}};
  }
  void Store(const std::string& tasks) {
    std::ofstream(ini_, std::ios::binary) << "[" << kPrefix << ".Common]\r\nTasks=" << EncodeValue(tasks) << "\r\n";
  }
  void Load() {
    ASSERT_EQ(host_.Command(kInstance, "LOAD", Location()), 0);
    loaded_ = true;
  }
  // Opens the dialog through the export and lets `user` work in it from another thread; answers
  // the dialog's outcome once it is closed.
  uint32_t Show(const std::function<void(const DialogDriver&)>& user,
                const std::vector<THostParam>& more = {}) {
    std::thread driver([&user, owner = reinterpret_cast<HWND>(host_.Window())] {
      HWND dialog = WaitForDialog();
      ASSERT_NE(dialog, nullptr) << "the dialog never showed";
      EXPECT_FALSE(IsWindowEnabled(owner)) << "the host window stays usable under a modal dialog";
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
      const DialogDriver driven(dialog);
      user(driven);
      // The user's last step closes the dialog; one that stays open fails and is closed here.
      for (int i = 0; i < 250 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the dialog stayed open";
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      }
    });
    std::vector<THostParam> params = Location();
    params.insert(params.end(), more.begin(), more.end());
    const uint32_t outcome = host_.ShowOptionsDialog(kInstance, params);
    driver.join();
    EXPECT_TRUE(IsWindowEnabled(reinterpret_cast<HWND>(host_.Window())));
    return outcome;
  }
  std::string StoredValue(const std::string& name) const {
    std::ifstream file(ini_, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return {};
  }
  std::vector<std::string> StoredTasks() const {
    std::vector<std::string> lines;
    std::istringstream text(DecodeValue(StoredValue("Tasks")));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  CapturedTimeline captured_;
  THost host_{CHRONEL_PLUGIN_PATH, captured_.Timeline()};
  std::string ini_;
  bool loaded_ = false;
};

// Action combo indexes follow the action menu; mode indexes the mode list.
constexpr int kOpen = 0;
constexpr int kSend = 2;
constexpr int kGenerateEvent = 4;
constexpr int kHourly = 0, kDaily = 1, kWeekly = 2, kHotkey = 5, kEvent = 7;

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

TEST_F(OptionsDialog, TasksAddedByClicksAreStoredWithOkAlongWithTheWindowsPlace) {
  Store("");
  Load();
  RECT shown{};
  const uint32_t outcome = Show([&](const DialogDriver& user) {
    EXPECT_FALSE(user.Enabled("btnAdd")) << "no action chosen yet";
    user.Choose("comboAction", kSend);
    user.Type("comboArgs", L"ping");
    user.Choose("comboMode", kWeekly);
    EXPECT_TRUE(user.Visible("gbTime"));
    user.SetTime(7, 45);
    user.Click("btnW_1");  // Monday
    user.Click("btnW_5");  // Friday
    user.Click("btnAdd");
    user.Choose("comboAction", kGenerateEvent);
    user.Type("comboArgs", L"pressed");
    user.Choose("comboMode", kHotkey);
    EXPECT_FALSE(user.Visible("gbTime")) << "a hotkey task has no start time";
    user.SetHotKey('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    user.Click("btnAdd");
    EXPECT_EQ(user.Rows(), 2);
    EXPECT_EQ(user.Cell(1, 1), L"By hotkey");
    SetWindowPos(user.Dialog(), nullptr, 40, 30, 700, 470, SWP_NOZORDER);
    GetWindowRect(user.Dialog(), &shown);
    user.Click("btnOK");
  });
  EXPECT_EQ(outcome, 1u);
  const std::vector<std::string> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[0].substr(8), "||SEND||WEEKLY||07:45;NN;1;1;1,5||ping");
  EXPECT_EQ(tasks[1].substr(8), "||EVENT||HOTKEY||Ctrl+Alt+K;C04B||pressed");
  EXPECT_EQ(StoredValue("Left"), std::to_string(shown.left));
  EXPECT_EQ(StoredValue("Top"), std::to_string(shown.top));
  EXPECT_EQ(StoredValue("Width"), std::to_string(shown.right - shown.left));
  EXPECT_EQ(StoredValue("Height"), std::to_string(shown.bottom - shown.top));
}

TEST_F(OptionsDialog, ChoicesEnableAndFillTheControlsTheyNeed) {
  Store("");
  Load();
  Show([&](const DialogDriver& user) {
    user.Choose("comboMode", kHourly);
    EXPECT_FALSE(user.Enabled("chkRepeatHour")) << "an hourly task repeats every hour anyway";
    user.Choose("comboMode", kDaily);
    EXPECT_TRUE(user.Enabled("chkRepeatHour"));
    EXPECT_FALSE(user.Enabled("spRepeatValueHour")) << "until the box is checked";
    user.Click("chkRepeatHour");
    EXPECT_TRUE(user.Enabled("spRepeatValueHour"));
    // OPEN offers the host's configurations; SEND takes free text labelled as data.
    user.Choose("comboAction", kOpen);
    EXPECT_EQ(SendMessageW(user.Control("comboArgs"), CB_GETCOUNT, 0, 0), 2);
    user.Choose("comboAction", kSend);
    EXPECT_EQ(TextOf(user.Control("lblArgs")), L"Data");
    EXPECT_TRUE(user.Enabled("btnAdd"));
    user.Click("btnCancel");
  });
}

// A number field takes typed digits only, but anything can be pasted into it.
TEST_F(OptionsDialog, TextPastedIntoANumberFieldKeepsTheLastNumber) {
  Store("");
  Load();
  Show([&](const DialogDriver& user) {
    user.Choose("comboAction", kSend);
    user.Choose("comboMode", kDaily);
    user.Click("chkRepeatHour");
    for (const wchar_t* text : {L"3", L"", L"-", L"abc", L"99999999999999999999"}) {
      user.Type("spRepeatValueHour", text);
    }
    user.Click("btnAdd");
    user.Click("btnOK");
  });
  const std::vector<std::string> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].substr(8), "||SEND||DAILY||00:00;YN;3;1");
}

// Cancel is also the default button: Enter leaves as Esc does.
TEST_F(OptionsDialog, CancelEscapeAndEnterKeepTheStoredTasks) {
  Store("00000001||SEND||DAILY||08:00;NN;1;1||a\r\n00000002||OPEN||EVENT||GO||COM1\r\n");
  Load();
  for (const WPARAM key : {WPARAM{0}, WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}}) {
    SCOPED_TRACE(key);
    const uint32_t outcome = Show([&](const DialogDriver& user) {
      EXPECT_EQ(user.Rows(), 2);
      user.SelectRow(0);
      user.Click("btnDel");
      EXPECT_EQ(user.Rows(), 1);
      if (key != 0) {
        user.PressKey(key, "comboArgs");  // a text field: Enter is the default button's
      } else {
        user.Click("btnCancel");
      }
    });
    EXPECT_EQ(outcome, 0u);
    EXPECT_EQ(StoredTasks().size(), 2u);
    EXPECT_NE(StoredValue("Width"), "") << "Cancel still keeps the window's size";
  }
}

TEST_F(OptionsDialog, ModifyMoveAndClearWorkOnTheSelectedRow) {
  Store("00000001||SEND||DAILY||08:00;NN;1;1||a\r\n00000002||SEND||DAILY||09:00;NN;1;1||b\r\n"
        "00000003||SEND||DAILY||10:00;NN;1;1||c\r\n");
  Load();
  EXPECT_EQ(Show([&](const DialogDriver& user) {
              user.SelectRow(2);
              EXPECT_FALSE(user.Enabled("btnDown")) << "the last row cannot move down";
              user.Click("btnUp");
              user.Type("comboArgs", L"c2");
              user.Click("btnModify");
              EXPECT_EQ(user.Cell(1, 2), L"10:00;NN;1;1");
              user.Click("btnOK");
            }),
            1u);
  std::vector<std::string> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[1], "00000003||SEND||DAILY||10:00;NN;1;1||c2");
  EXPECT_EQ(tasks[2], "00000002||SEND||DAILY||09:00;NN;1;1||b");

  EXPECT_EQ(Show([&](const DialogDriver& user) {
              user.Click("btnClear");
              EXPECT_EQ(user.Rows(), 0);
              user.Click("btnOK");
            }),
            1u);
  EXPECT_TRUE(StoredTasks().empty() || StoredTasks() == std::vector<std::string>{""});
}

// What the user built runs: the instance rebuilds its tasks from the lines OK stored.
TEST_F(OptionsDialog, ATaskAddedInTheDialogRunsOnItsEvent) {
  Store("");
  Load();
  ASSERT_EQ(Show([&](const DialogDriver& user) {
              user.Choose("comboAction", kGenerateEvent);
              user.Type("comboArgs", L"answered");
              user.Choose("comboMode", kEvent);
              user.Type("edtEventName", L"KNOCK");
              user.Click("btnAdd");
              user.Click("btnOK");
            }),
            1u);
  host_.Command(kInstance, "EVENT", {{"EVENT-TYPE", platform::Variant(std::string("KNOCK"))}});
  // The host window collects the event the plug-in announces; event types are upper case.
  EXPECT_TRUE(host_.PumpUntil([&] { return captured_.Has(kInstance, "event ANSWERED"); }, 5000))
      << captured_.Text();

  // And the stored line runs in a host of its own: `chronel run` on the same settings file.
  const std::filesystem::path output = std::filesystem::path(ini_).parent_path() / "run.txt";
  const std::string command = "chronel.exe run --ini \"" + ini_ + "\" --section-prefix " + kPrefix +
                              " --event KNOCK@0.2 --for 1 > \"" + output.string() + "\"";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream file(output);
  const std::string timeline((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(timeline.find("event ANSWERED"), std::string::npos) << timeline;
}

// Pictures of every mode page in English, German and Russian for people to judge, written to the
// folder CHRONEL_SCREENSHOTS names (scripts/screenshots); skipped without it.
TEST_F(OptionsDialog, ScreenshotsOfEveryModePage) {
  const char* folder = std::getenv("CHRONEL_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "CHRONEL_SCREENSHOTS names no folder";
  Store("00000001||SEND||WEEKLY||07:45;NN;1;1;1,5||ping\r\n"
        "00000002||OPEN||MONTHLY||23:59;NN;1;1;1,15,32||COM1\r\n"
        "00000003||EVENT||WEEKDAY||08:00;YN;2;1;2,6;5||report\r\n"
        "00000004||NEWLOG||HOTKEY||Ctrl+Alt+H;C048||COM1\r\n");
  Load();
  for (const char* language : {"EN", "DE", "RU"}) {
    Show([&](const DialogDriver& user) {
      for (int mode = 0; mode < 8; ++mode) {
        user.Choose("comboMode", mode);
        SaveScreenshot(user.Dialog(), std::filesystem::path(folder) /
                                          (std::string("options-") + language + "-" + std::to_string(mode) + ".bmp"));
      }
      user.Click("btnCancel");
    }, {{"LANGUAGE", platform::Variant(std::string(language))}});
  }
}

}  // namespace
}  // namespace chronel::host
