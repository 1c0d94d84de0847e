// The demonstration program on its simulated radio, on the real clock: whole runs as the
// technician sees them.

#include <gtest/gtest.h>

#include <algorithm>

#include "image/stand_in_date_codes.h"
#include "resources/dialog_ids.h"
#include "run/date_code.h"
#include "tests/app/gui_driver.h"

namespace tav::gui {
namespace {

constexpr char kIntroCaption[] = "TAV Patch  4410-2210(7|8)-001 (demonstration)";
constexpr char kCaption[] = "TAV Patch (demonstration)";
constexpr int kBusyShown[] = {IDC_HEADLINE, IDC_PERCENT,   IDC_STATUS_LINE,
                              IDC_PROGRESS, IDC_CORE_DATE, IDC_CONTROL_DATE};
constexpr int kStatusArea[] = {IDC_HEADLINE,  IDC_PERCENT,   IDC_STATUS_LINE, IDC_PROGRESS,
                               IDC_CORE_DATE, IDC_DATE_NOTE, IDC_CONTROL_DATE};
constexpr auto kRunTimeout = 120s;
constexpr char kNoControlHeadProgram[] =
    "The control head has no working program and was not patched.\nRun the patch again and "
    "enter its date code, or contact Sorel customer service.";

HWND OpenMainWindow(RunningProgram& program) {
  HWND intro = WaitForDialog(program.Id(), kIntroCaption, IDC_INTRO_TEXT);
  if (intro == nullptr) return nullptr;
  EXPECT_EQ(ItemText(intro, IDC_INTRO_TEXT).rfind("TAV Patch (demonstration)\n\n", 0), 0u);
  Click(intro, IDOK);
  return WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
}

bool IsIdle(HWND window) {
  if (!ItemEnabled(window, IDC_PROGRAM)) return false;
  for (int id : kStatusArea) {
    if (ItemVisible(window, id)) return false;
  }
  return true;
}

// The run switches the layout back element by element; wait for the whole of it.
void ExpectIdleSoon(HWND window) {
  EXPECT_TRUE(WaitUntil([&] { return IsIdle(window); }, 10s));
}

void ExpectBusy(HWND window, bool noteShown) {
  EXPECT_FALSE(ItemEnabled(window, IDC_PROGRAM));
  for (int id : kBusyShown) EXPECT_TRUE(ItemVisible(window, id)) << id;
  EXPECT_EQ(ItemVisible(window, IDC_DATE_NOTE), noteShown);
}

// What one element showed during a run: each new text once, in order, blanks and hidden
// texts left out.
class TextHistory {
 public:
  TextHistory(HWND window, int id) : window_(window), id_(id) {}
  void Sample() {
    if (!ItemVisible(window_, id_)) return;
    const std::string text = ItemText(window_, id_);
    if (!text.empty() && (texts_.empty() || texts_.back() != text)) texts_.push_back(text);
  }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  HWND window_;
  int id_;
  std::vector<std::string> texts_;
};

// Samples the status area until a dialog with this caption appears.
HWND WatchRunUntil(
    RunningProgram& program, const std::string& caption, std::vector<TextHistory*> histories,
    const std::function<void()>& onSample = [] {}) {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        for (TextHistory* history : histories) history->Sample();
        onSample();
        box = WaitForDialog(program.Id(), caption, 0, 0ms);
        return box != nullptr;
      },
      kRunTimeout);
  return box;
}

TEST(Demo, BothUnitsArePatchedAndASecondRunFindsNothingToDo) {
  RunningProgram program(DemoPath(), "both");
  HWND window = OpenMainWindow(program);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsIdle(window));
  Click(window, IDC_PROGRAM);

  TextHistory headlines(window, IDC_HEADLINE);
  TextHistory statuses(window, IDC_STATUS_LINE);
  TextHistory percents(window, IDC_PERCENT);
  bool busySeen = false;
  HWND box = WatchRunUntil(program, "Sorel Radio", {&headlines, &statuses, &percents}, [&] {
    if (!busySeen && ItemText(window, IDC_STATUS_LINE) == "Writing Core Program") {
      busySeen = true;
      ExpectBusy(window, true);
    }
  });
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(busySeen);
  EXPECT_EQ(MessageText(box), "Flash Write complete.");
  EXPECT_EQ(GetWindow(box, GW_OWNER), window);
  // "Waiting for Radio" lasts only the tenth of a second the probe takes, too short to be
  // sure of catching it here; the no-answer run shows it for seconds.
  std::vector<std::string> shown = headlines.Texts();
  if (!shown.empty() && shown.front() == "Waiting for Radio") shown.erase(shown.begin());
  EXPECT_EQ(shown, (std::vector<std::string>{"Control Head Detected", "RAM Application running"}));
  EXPECT_EQ(statuses.Texts(),
            (std::vector<std::string>{"Erasing Core OS", "Writing Core Program", "Writing to RAM",
                                      "Writing Control Head Program"}));
  ASSERT_FALSE(percents.Texts().empty());
  EXPECT_EQ(percents.Texts().front(), "00%");
  EXPECT_EQ(std::count(percents.Texts().begin(), percents.Texts().end(), "100%"), 2)
      << "each unit's write ends at 100%";
  // The box shows while the busy layout still does, with the last write complete.
  ExpectBusy(window, true);
  EXPECT_EQ(ItemText(window, IDC_PERCENT), "100%");
  EXPECT_EQ(ItemText(window, IDC_CORE_DATE), DateCodeText("Core", 0xF35E8F29));
  EXPECT_EQ(ItemText(window, IDC_CONTROL_DATE), DateCodeText("Control", 0x2449F02A));
  const auto position = ProgressPosition(window, IDC_PROGRESS);
  ASSERT_TRUE(position.has_value());
  EXPECT_GT(*position, 0);
  EXPECT_EQ(position, ProgressMaximum(window, IDC_PROGRESS));
  Click(box, IDOK);
  ExpectIdleSoon(window);

  // The same radio now runs the new firmware.
  Click(window, IDC_PROGRAM);
  box = WaitForDialog(program.Id(), "TAV Patch", 0, 30s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), "Core " + DateCodeText("Core", kCoreStandInDateCode) + "\nCntl " +
                                  DateCodeText("Control", kControlHeadStandInDateCode) +
                                  "\nPatch not required for this radio.");
  Click(box, IDOK);
  ExpectIdleSoon(window);
  Close(window);
  EXPECT_TRUE(program.WaitForExit(10s));
}

TEST(Demo, ClosingTheWindowDuringAFlashWriteStopsTheRunQuietlyAndSavesThePort) {
  DeletePortSetting();
  RunningProgram program(DemoPath(), "both");
  HWND window = OpenMainWindow(program);
  ASSERT_NE(window, nullptr);
  Click(window, IDC_PORT_COMM2);
  Click(window, IDC_PROGRAM);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return ItemText(window, IDC_STATUS_LINE) == "Writing Core Program" &&
               ItemText(window, IDC_PERCENT) >= "10%";
      },
      kRunTimeout));

  Close(window);
  std::vector<std::string> boxes;
  const bool ended = WaitUntil(
      [&] {
        for (HWND dialog : Dialogs(program.Id())) {
          if (dialog != window) boxes.push_back(Text(dialog) + ": " + MessageText(dialog));
        }
        return program.HasExited() || !boxes.empty();
      },
      30s);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  ASSERT_TRUE(program.WaitForExit(10s));
  const auto saved = ReadPortSetting();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->bytes, std::vector<BYTE>{2});
}

struct TypedEntry {
  const char* what;
  int field;
  const char* text;
};

// Entries that must be refused, each typed over the valid core code 12/15/2000 11:55:38.
// The fields are set as a paste sets them, past the digits-only filter.
constexpr TypedEntry kInvalidEntries[] = {
    {"month 13", IDC_FIELD_MONTH, "13"},
    {"pasted letters", IDC_FIELD_MONTH, "ab"},
    {"a long number", IDC_FIELD_DAY, "99999999999"},
    {"the year 2021", IDC_FIELD_YEAR, "21"},
    {"hour 24", IDC_FIELD_HOUR, "24"},
    {"an empty day", IDC_FIELD_DAY, ""},
};
constexpr int kFields[] = {IDC_FIELD_MONTH, IDC_FIELD_DAY,    IDC_FIELD_YEAR,
                           IDC_FIELD_HOUR,  IDC_FIELD_MINUTE, IDC_FIELD_SECOND};

void FillFields(HWND dialog, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) SetItemText(dialog, kFields[i], texts[i]);
}

std::vector<std::string> FieldTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (int id : kFields) texts.push_back(FieldText(dialog, id));
  return texts;
}

// Presses Enter in the dialog and waits for the box with this caption.
HWND Submit(RunningProgram& program, HWND dialog, const std::string& boxCaption) {
  PressKey(dialog, VK_RETURN);
  return WaitForDialog(program.Id(), boxCaption, 0, 10s);
}

// The control head waits in its monitor, so both date codes are asked for: the core's is
// typed (after refused entries and a code from the wrong list), the control head's entry is
// refused and then given up, so only the core is patched and the technician is told that the
// control head has no program.
TEST(Demo, NoAnswerAsksForBothDateCodes) {
  RunningProgram program(DemoPath(), "no-answer");
  HWND window = OpenMainWindow(program);
  ASSERT_NE(window, nullptr);
  Click(window, IDC_PROGRAM);

  HWND core = WaitForDialog(program.Id(), "Enter CORE Date Code", 0, 30s);
  ASSERT_NE(core, nullptr);
  EXPECT_EQ(GetWindow(core, GW_OWNER), nullptr);
  EXPECT_EQ(ItemText(window, IDC_HEADLINE), "Waiting for Radio");
  ExpectBusy(window, false);
  EXPECT_TRUE(IsWindowEnabled(window)) << "the main window stays usable";
  EXPECT_EQ(FocusedId(core), IDC_FIELD_MONTH);

  const std::vector<std::string> valid = {"12", "15", "2000", "11", "55", "38"};
  for (const TypedEntry& entry : kInvalidEntries) {
    SCOPED_TRACE(entry.what);
    FillFields(core, valid);
    SetItemText(core, entry.field, entry.text);
    const std::vector<std::string> typed = FieldTexts(core);
    HWND box = Submit(program, core, "Enter Date Code");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), "Invalid Date/Time.  Please re-enter.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), core);
    Click(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return FocusedId(core) == IDC_FIELD_MONTH; }, 5s));
    EXPECT_EQ(FieldTexts(core), typed) << "the fields keep what was typed";
  }

  // A code of the control head's list is not the core's.
  FillFields(core, {"07", "16", "2001", "09", "09", "08"});
  HWND box = Submit(program, core, "Sorel Radio");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box).rfind("This patch is not compatible with the date code", 0), 0u);
  Click(box, IDRETRY);
  ASSERT_TRUE(WaitUntil([&] { return FocusedId(core) == IDC_FIELD_MONTH; }, 5s));

  // Typed digit by digit, the focus moves on after two digits, four in the year.
  FillFields(core, {"", "", "", "", "", ""});
  ASSERT_EQ(FocusedId(core), IDC_FIELD_MONTH);
  const std::vector<std::pair<std::string, int>> keystrokes = {
      {"1", IDC_FIELD_MONTH},   {"2", IDC_FIELD_DAY},    {"15", IDC_FIELD_YEAR},
      {"20", IDC_FIELD_YEAR},   {"00", IDC_FIELD_HOUR},  {"11", IDC_FIELD_MINUTE},
      {"55", IDC_FIELD_SECOND}, {"38", IDC_FIELD_SECOND}};
  for (const auto& [digits, focusAfter] : keystrokes) {
    Type(core, digits);
    EXPECT_EQ(FocusedId(core), focusAfter)
        << "after " << digits << ", fields " << testing::PrintToString(FieldTexts(core));
  }
  EXPECT_EQ(FieldTexts(core), valid);
  PressKey(core, VK_RETURN);

  HWND control = WaitForDialog(program.Id(), "Enter Control Head Date Code", 0, 10s);
  ASSERT_NE(control, nullptr);
  FillFields(control, {"07", "16", "2001", "09", "09", "60"});
  box = Submit(program, control, "Enter Date Code");
  ASSERT_NE(box, nullptr);
  Click(box, IDCANCEL);  // gives up on the control head: it is left alone

  box = WaitForDialog(program.Id(), "Sorel Radio", 0, kRunTimeout);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), kNoControlHeadProgram);
  EXPECT_EQ(ItemText(window, IDC_CORE_DATE), "");
  EXPECT_FALSE(ItemVisible(window, IDC_DATE_NOTE)) << "no code was read from the radio";
  Click(box, IDOK);
  ExpectIdleSoon(window);
  Close(window);
  EXPECT_TRUE(program.WaitForExit(10s));
}

// The system's close command on a date code dialog accepts nothing: like Escape, it leaves the
// unit alone. The control head, found without a program, still has none: no success message.
TEST(Demo, DateCodeDialogsClosedOrCancelledLeaveBothUnitsAlone) {
  RunningProgram program(DemoPath(), "no-answer");
  HWND window = OpenMainWindow(program);
  ASSERT_NE(window, nullptr);
  Click(window, IDC_PROGRAM);
  HWND core = WaitForDialog(program.Id(), "Enter CORE Date Code", 0, 30s);
  ASSERT_NE(core, nullptr);
  FillFields(core, {"12", "15", "2000", "11", "55", "38"});  // a listed code, not confirmed
  Close(core);
  HWND control = WaitForDialog(program.Id(), "Enter Control Head Date Code", 0, 10s);
  ASSERT_NE(control, nullptr);
  PressKey(control, VK_ESCAPE);

  HWND box = WaitForDialog(program.Id(), "Sorel Radio", 0, 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), kNoControlHeadProgram);
  Click(box, IDOK);
  ExpectIdleSoon(window);
  Close(window);
  EXPECT_TRUE(program.WaitForExit(10s));
}

TEST(Demo, AnUnknownRadioIsExplainedWithTheListOfRadios) {
  RunningProgram program(DemoPath(), "nonsense");
  HWND box = WaitForDialog(program.Id(), kCaption);
  ASSERT_NE(box, nullptr);
  const std::string text = MessageText(box);
  EXPECT_EQ(text.rfind("There is no simulated radio called \"nonsense\".", 0), 0u) << text;
  EXPECT_NE(text.find("\nboth: "), std::string::npos) << text;
  Click(box, IDOK);
  EXPECT_TRUE(program.WaitForExit(10s));
}

}  // namespace
}  // namespace tav::gui
