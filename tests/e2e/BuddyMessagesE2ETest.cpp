// Away Messages, Deliver Messages and Schedule Message, opened from the main
// dialog and used as a user does: names typed and added, messages typed
// with line breaks, the save question answered with the mouse, entries
// clicked and removed, OK and Cancel; every file checked byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/Scenario.h"
#include "tests/e2e/driver/RemoteListView.h"

namespace e2e {
namespace {

using Names = std::vector<std::string>;

constexpr char kSaveQuestion[] =
    "The message content has changed. Would you like to save these changes?";

// What differs between the three editors.
struct EditorCase {
  const char* name;  // of the test instance
  int button;        // of the main dialog
  const char* listFile;
  const char* suffix;  // of a buddy's message file
  bool schedule;
  const char* ownFileName;  // a name whose message file is one of the folder's files
  const char* ownFile;
};

const EditorCase kEditors[] = {
    {"Away", IDC_AWAY_MESSAGES, "buddya.txt", "a.txt", false, "buddy", "buddya.txt"},
    {"Deliver", IDC_DELIVER_MESSAGES, "buddym.txt", ".txt", false, "settings", "settings.txt"},
    {"Schedule", IDC_SCHEDULE_MESSAGE, "schedule.txt", "s.txt", true, "setting",
     "settings.txt"},
};

void PrintTo(const EditorCase& editor, std::ostream* out) { *out << editor.name; }

// Every file of the data folder with its bytes.
std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> files;
  for (const std::string& name : ListDataFiles()) files[name] = ReadDataFile(name).value_or("?");
  return files;
}

// The control that has the keyboard focus in the thread of a window.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

class EditorTest : public PanelTest {
 protected:
  HWND OpenEditor(const EditorCase& editor) {
    editor_ = &editor;
    dialog_ = Open(editor.button, "Dialog");
    return dialog_;
  }

  HWND Control(int id) const { return ControlOf(dialog_, id); }
  HWND List() const { return Control(IDC_KEY_LIST); }
  Names Entries() const { return ListViewItems(List()); }

  // The key an entry of this editor shows for a buddy added at 9:05.
  std::string Key(const std::string& buddy) const {
    return editor_->schedule ? "9:05 " + buddy : buddy;
  }
  std::vector<std::string> Keys(const Names& buddies) const {
    std::vector<std::string> keys;
    for (const std::string& buddy : buddies) keys.push_back(Key(buddy));
    return keys;
  }
  std::string MessageFile(const std::string& buddy) const { return buddy + editor_->suffix; }

  // The list file as OK writes it for these buddies, top to bottom.
  std::string ListBytes(const Names& buddies) const {
    std::string bytes;
    for (const std::string& buddy : buddies) {
      if (editor_->schedule) {
        if (!bytes.empty()) bytes += "\r\n";
        bytes += "9:05:" + buddy;
      } else {
        bytes += buddy + "|";
      }
    }
    return editor_->schedule ? bytes : bytes + "\r\n";
  }
  // A list file that the editor shows as these buddies, top to bottom: the
  // bar lists show their file last entry first.
  std::string ListFileShowing(const Names& buddies) const {
    if (editor_->schedule) return ListBytes(buddies);
    return ListBytes(Names(buddies.rbegin(), buddies.rend()));
  }

  // Types the name (and the time 9:05) and presses Add; waits until the
  // list has grown when it should.
  void AddBuddy(const std::string& buddy, bool expectAdded = true) {
    std::size_t before = Entries().size();
    if (editor_->schedule) {
      ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_HOURS), "9"));
      ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_MINUTES), "5"));
    }
    ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_BUDDY_NAME), buddy));
    ASSERT_TRUE(Click(Control(IDC_BUDDY_ADD)));
    if (expectAdded) {
      ASSERT_TRUE(WaitUntil([&] { return Entries().size() == before + 1; }))
          << "the list shows " << Entries().size() << " entries";
    }
  }

  // Clicks into the message editor and types the lines, pressing Enter
  // between them; waits until the editor shows them.
  void TypeMessage(const Names& lines) {
    ASSERT_TRUE(TypeInto(Control(IDC_MESSAGE_EDITOR), ""));
    PressKeys({VK_CONTROL, VK_END});
    std::string shown = TextOf(Control(IDC_MESSAGE_EDITOR));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) {
        PressKey(VK_RETURN);
        shown += "\r\n";
      }
      TypeText(lines[i]);
      shown += lines[i];
    }
    ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(IDC_MESSAGE_EDITOR)) == shown; }))
        << "the editor shows \"" << TextOf(Control(IDC_MESSAGE_EDITOR)) << "\"";
  }
  std::string Message() const { return TextOf(Control(IDC_MESSAGE_EDITOR)); }

  // Clicks an entry of the key list with the mouse, without waiting for
  // what the click does.
  void ClickEntry(int index) {
    std::optional<RECT> rect = ListViewItemRect(List(), index);
    ASSERT_TRUE(rect) << "no entry " << index;
    ASSERT_TRUE(BringToFront(dialog_));
    ClickAt({rect->left + 4, (rect->top + rect->bottom) / 2});
  }
  void SelectEntry(int index) {
    ASSERT_NO_FATAL_FAILURE(ClickEntry(index));
    ASSERT_TRUE(WaitUntil([&] { return ListViewItemSelected(List(), index); }));
  }

  // Waits for the save question, checks it, and answers it with a click.
  void AnswerSaveQuestion(int button) {
    std::optional<MessageBoxContent> box =
        WaitForMessageBox(pid(), std::string("Save Message?"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kSaveQuestion);
    ASSERT_EQ(box->buttons.size(), 2u) << box->Describe();
    EXPECT_EQ(box->buttons[0].id, IDYES);
    EXPECT_EQ(box->buttons[1].id, IDNO);
    HWND control = box->buttons[button == IDYES ? 0 : 1].hwnd;
    ASSERT_TRUE(Click(control));
    ASSERT_TRUE(WaitUntilGone(box->hwnd));
  }

  // Expects a box of the program whose text holds each part, and closes it.
  void ExpectBoxSaying(const Names& parts) {
    std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
    ASSERT_TRUE(box);
    for (const std::string& part : parts) {
      EXPECT_NE(box->text.find(part), std::string::npos) << part << " in " << box->Describe();
    }
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  }

  const EditorCase* editor_ = nullptr;
  HWND dialog_ = nullptr;
};

class EachEditor : public EditorTest, public testing::WithParamInterface<EditorCase> {};

TEST_P(EachEditor, AddTypeSaveClickAgainRemoveAndOk) {
  const EditorCase& editor = GetParam();
  ASSERT_NE(StartWithSettings(), nullptr);
  editor_ = &editor;
  ASSERT_TRUE(WriteDataFile(editor.listFile, ListFileShowing({"amy"})));
  ASSERT_NE(OpenEditor(editor), nullptr);
  EXPECT_EQ(Entries(), Keys({"amy"}));

  ASSERT_NO_FATAL_FAILURE(AddBuddy("bob"));
  EXPECT_EQ(Entries(), Keys({"amy", "bob"}));
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), "") << "the message file exists at once";
  EXPECT_EQ(TextOf(Control(IDC_BUDDY_NAME)), "");
  if (editor.schedule) {
    EXPECT_EQ(TextOf(Control(IDC_HOURS)), "0");
    EXPECT_EQ(TextOf(Control(IDC_MINUTES)), "0");
  }

  // Typed, then a click on another entry: the question comes first.
  ASSERT_NO_FATAL_FAILURE(TypeMessage({"back at", "five"}));
  ASSERT_NO_FATAL_FAILURE(ClickEntry(0));
  ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDYES));
  EXPECT_TRUE(WaitForDataFile(MessageFile("bob"), "back at\r\nfive"));
  // ...and then the click selects amy, whose message file is made.
  ASSERT_TRUE(WaitUntil([&] { return ReadDataFile(MessageFile("amy")).has_value(); }));
  EXPECT_EQ(ReadDataFile(MessageFile("amy")), "");
  EXPECT_EQ(Message(), "");

  // bob again: exactly what was saved.
  ASSERT_NO_FATAL_FAILURE(SelectEntry(1));
  ASSERT_TRUE(WaitUntil([&] { return Message() == "back at\r\nfive"; }))
      << "the editor shows \"" << Message() << "\"";

  ASSERT_NO_FATAL_FAILURE(SelectEntry(0));
  ASSERT_TRUE(Click(Control(IDC_BUDDY_REMOVE)));
  ASSERT_TRUE(WaitUntil([&] { return Entries().size() == 1; }));
  EXPECT_EQ(Entries(), Keys({"bob"}));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDOK));

  EXPECT_EQ(ReadDataFile(editor.listFile), ListBytes({"bob"}));
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), "back at\r\nfive");
  EXPECT_EQ(ReadDataFile(MessageFile("amy")), "") << "Remove keeps the message file";
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
}

TEST_P(EachEditor, AMessageSurvivesSavesAndReopeningUnchanged) {
  const EditorCase& editor = GetParam();
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_NE(OpenEditor(editor), nullptr);
  ASSERT_NO_FATAL_FAILURE(AddBuddy("bob"));
  ASSERT_NO_FATAL_FAILURE(TypeMessage({"one", "", "three"}));
  ASSERT_TRUE(Click(Control(IDOK)));
  ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDYES));
  ASSERT_TRUE(WaitUntilGone(dialog_));
  const std::string saved = "one\r\n\r\nthree";
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), saved);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("reopened " + std::to_string(round + 1) + " times");
    ASSERT_NE(OpenEditor(editor), nullptr);
    EXPECT_EQ(Entries(), Keys({"bob"}));
    ASSERT_NO_FATAL_FAILURE(SelectEntry(0));
    ASSERT_TRUE(WaitUntil([&] { return Message() == saved; }))
        << "the editor shows \"" << Message() << "\"";
    ASSERT_NO_FATAL_FAILURE(TypeMessage({"!"}));
    ASSERT_TRUE(Click(Control(IDC_BUDDY_NAME)));  // the editor loses the focus
    ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDYES));
    ASSERT_TRUE(WaitUntil([&] { return ReadDataFile(MessageFile("bob")) == saved + "!"; }))
        << ReadDataFile(MessageFile("bob")).value_or("(none)");
    // Take the "!" out again and save, so that the next round starts alike.
    ASSERT_TRUE(TypeInto(Control(IDC_MESSAGE_EDITOR), ""));
    PressKeys({VK_CONTROL, VK_END});
    PressKey(VK_BACK);
    ASSERT_TRUE(WaitUntil([&] { return Message() == saved; }));
    ASSERT_TRUE(Click(Control(IDC_BUDDY_NAME)));  // the editor loses the focus
    ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDYES));
    ASSERT_TRUE(WaitUntil([&] { return ReadDataFile(MessageFile("bob")) == saved; }));
    ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDOK));
  }
  EXPECT_EQ(ReadDataFile(editor.listFile), ListBytes({"bob"}));
}

TEST_P(EachEditor, OkRightAfterTypingAsksFirstAndYesSavesBoth) {
  const EditorCase& editor = GetParam();
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_NE(OpenEditor(editor), nullptr);
  EXPECT_EQ(ReadDataFile(editor.listFile), "") << "a missing list file is created";
  ASSERT_NO_FATAL_FAILURE(AddBuddy("bob"));
  ASSERT_NO_FATAL_FAILURE(TypeMessage({"gone"}));
  ASSERT_TRUE(Click(Control(IDOK)));
  ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDYES));
  ASSERT_TRUE(WaitUntilGone(dialog_));
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), "gone");
  EXPECT_EQ(ReadDataFile(editor.listFile), ListBytes({"bob"}));
}

TEST_P(EachEditor, CancelAfterChangesKeepsTheListFileAndTheMessagesWritten) {
  const EditorCase& editor = GetParam();
  ASSERT_NE(StartWithSettings(), nullptr);
  editor_ = &editor;
  const std::string list = ListFileShowing({"amy", "zed"});
  ASSERT_TRUE(WriteDataFile(editor.listFile, list));
  ASSERT_TRUE(WriteDataFile(MessageFile("amy"), "amy's\r\nmessage"));
  ASSERT_NE(OpenEditor(editor), nullptr);
  ASSERT_NO_FATAL_FAILURE(AddBuddy("bob"));
  ASSERT_NO_FATAL_FAILURE(TypeMessage({"for bob"}));
  ASSERT_NO_FATAL_FAILURE(SelectEntry(0));  // no: nothing saved, amy shown
  ASSERT_NO_FATAL_FAILURE(AnswerSaveQuestion(IDNO));
  ASSERT_TRUE(WaitUntil([&] { return Message() == "amy's\r\nmessage"; }));
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), "");
  // Adding amy again shows her message and keeps it.
  ASSERT_NO_FATAL_FAILURE(AddBuddy("amy"));
  EXPECT_EQ(ReadDataFile(MessageFile("amy")), "amy's\r\nmessage");
  ASSERT_NO_FATAL_FAILURE(SelectEntry(1));
  ASSERT_TRUE(Click(Control(IDC_BUDDY_REMOVE)));
  ASSERT_TRUE(WaitUntil([&] { return Entries().size() == 3; }));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDCANCEL));

  EXPECT_EQ(ReadDataFile(editor.listFile), list);
  EXPECT_EQ(ReadDataFile(MessageFile("bob")), "") << "made by Add, kept after Cancel";
  EXPECT_EQ(ReadDataFile(MessageFile("amy")), "amy's\r\nmessage");
}

TEST_P(EachEditor, UnsafeNamesAreRefusedWithTheirReasonAndNothingChangesOnDisk) {
  const EditorCase& editor = GetParam();
  ASSERT_NE(StartWithSettings(), nullptr);
  editor_ = &editor;
  ASSERT_TRUE(WriteDataFile(editor.listFile, ListFileShowing({"amy"})));
  ASSERT_TRUE(WriteDataFile(MessageFile("amy"), "kept"));
  ASSERT_NE(OpenEditor(editor), nullptr);
  const std::map<std::string, std::string> before = Snapshot();

  struct Refusal {
    std::string name;
    std::string reason;  // a part of the box's text
  };
  for (const Refusal& refusal :
       {Refusal{editor.ownFileName, std::string("\"") + editor.ownFile + "\""},
        Refusal{"a:b", "\":\""}, Refusal{"con.x", "device"}}) {
    SCOPED_TRACE(refusal.name);
    ASSERT_NO_FATAL_FAILURE(AddBuddy(refusal.name, /*expectAdded=*/false));
    ASSERT_NO_FATAL_FAILURE(ExpectBoxSaying({"\"" + refusal.name + "\"", refusal.reason}));
    EXPECT_EQ(Entries(), Keys({"amy"}));
    EXPECT_EQ(FocusOf(dialog_), Control(IDC_BUDDY_NAME)) << "the name is to be changed";
  }
  EXPECT_EQ(Snapshot(), before);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDOK));
  EXPECT_EQ(ReadDataFile(editor.listFile), ListBytes({"amy"}));
  EXPECT_EQ(ReadDataFile(MessageFile("amy")), "kept");
}

INSTANTIATE_TEST_SUITE_P(BuddyMessages, EachEditor, testing::ValuesIn(kEditors),
                         [](const testing::TestParamInfo<EditorCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- Schedule Message: the time fields ------------------------------------

class ScheduleEditor : public EditorTest {
 protected:
  HWND OpenSchedule() { return OpenEditor(kEditors[2]); }
};

TEST_F(ScheduleEditor, BadTimeFieldsBringTheirMessageAndAddNothing) {
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_NE(OpenSchedule(), nullptr);
  struct Case {
    const char* hours;
    const char* minutes;
    const char* message;
    int field;
  };
  for (const Case& c :
       {Case{"25", "0", "Please type a whole number from 0 to 24.", IDC_HOURS},
        Case{"0", "-1", "Please type a whole number from 0 to 60.", IDC_MINUTES},
        Case{"0", "ten", "Please type a whole number here.", IDC_MINUTES},
        Case{"", "5", "Please type a whole number here.", IDC_HOURS}}) {
    SCOPED_TRACE(std::string(c.hours) + ":" + c.minutes);
    ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_HOURS), c.hours));
    ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_MINUTES), c.minutes));
    ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_BUDDY_NAME), "bob"));
    ASSERT_TRUE(Click(Control(IDC_BUDDY_ADD)));
    std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, c.message);
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog_) == Control(c.field); }))
        << "the focus is back on the field";
    EXPECT_TRUE(Entries().empty());
  }
  EXPECT_FALSE(ReadDataFile("bobs.txt")) << "no message file for a refused entry";
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_HOURS), "24"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_MINUTES), "60"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_BUDDY_NAME), "bob"));
  ASSERT_TRUE(Click(Control(IDC_BUDDY_ADD)));
  ASSERT_TRUE(WaitUntil([&] { return Entries() == Names{"24:60 bob"}; }));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDOK));
  EXPECT_EQ(ReadDataFile("schedule.txt"), "24:60:bob");
}

TEST_F(ScheduleEditor, ListsTheFileInOrderAndWritesOneLinePerEntry) {
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_TRUE(WriteDataFile("schedule.txt", "9:05:bob\r\n14:30:amy\r\nhello\r\n"));
  ASSERT_TRUE(WriteDataFile("bobs.txt", "morning"));
  ASSERT_NE(OpenSchedule(), nullptr);
  EXPECT_EQ(Entries(), (Names{"9:05 bob", "14:30 amy"}));
  // A second entry for bob shares his message, and does not empty it.
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_HOURS), "20"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_MINUTES), "0"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_BUDDY_NAME), "bob"));
  ASSERT_TRUE(Click(Control(IDC_BUDDY_ADD)));
  ASSERT_TRUE(WaitUntil([&] { return Entries().size() == 3; }));
  EXPECT_EQ(Message(), "morning");
  EXPECT_EQ(ReadDataFile("bobs.txt"), "morning");
  // A name with a blank.
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_HOURS), "7"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_MINUTES), "45"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(Control(IDC_BUDDY_NAME), "john doe"));
  ASSERT_TRUE(Click(Control(IDC_BUDDY_ADD)));
  ASSERT_TRUE(WaitUntil([&] { return Entries().size() == 4; }));
  EXPECT_EQ(Entries(), (Names{"9:05 bob", "14:30 amy", "20:00 bob", "7:45 john doe"}));
  EXPECT_EQ(ReadDataFile("john does.txt"), "");
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog_, IDOK));
  EXPECT_EQ(ReadDataFile("schedule.txt"), "9:05:bob\r\n14:30:amy\r\n20:00:bob\r\n7:45:john doe");
  EXPECT_EQ(ReadDataFile("bobs.txt"), "morning");
}

}  // namespace
}  // namespace e2e
