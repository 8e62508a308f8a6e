#include "messages/BuddyMessageEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "core/EditableFile.h"
#include "core/TextFile.h"
#include "tests/support/TestFolder.h"
#include "tests/unit/ReadOnlyFolder.h"

namespace tolvane {
namespace {

using testing::ScopedReadOnlyFolder;
using testing::TempFolder;
using Entries = std::vector<std::string>;

// Whole numbers as the dialog's time fields take them.
bool ParseField(const std::string& text, int* value) {
  if (text.empty()) return false;
  std::size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  *value = std::stoi(text);
  return true;
}

// The dialog as the editor sees it: fields as text, the list, and the
// message boxes, each answered at once.
class FakeView : public EditorView {
 public:
  BuddyMessageEditor* editor = nullptr;

  std::string messageField, nameField, hoursField = "0", minutesField = "0";
  Entries list;
  int mark = -1;
  bool answerYes = true;

  std::vector<std::string> questions;  // the texts of the questions asked
  std::vector<std::string> told;
  std::vector<std::string> fieldErrors;  // the field that stopped a read
  int closed = 0;
  int cancelled = 0;
  bool editable = true;
  int shownEntries = 0;
  int focusedName = 0;

  // The user types into the message editor.
  void Type(const std::string& text) {
    messageField = text;
    editor->OnMessageChanged();
  }

  bool ReadFields() override {
    EditorFields& f = editor->fields();
    if (!editor->setup().schedule) {
      f.message = messageField;
      f.buddy = nameField;
      return true;
    }
    f.buddy = nameField;
    f.message = messageField;
    int value = 0;
    if (!ParseField(hoursField, &value) || value < 0 || value > 24) {
      fieldErrors.push_back("hours");
      return false;
    }
    f.hours = value;
    if (!ParseField(minutesField, &value) || value < 0 || value > 60) {
      fieldErrors.push_back("minutes");
      return false;
    }
    f.minutes = value;
    return true;
  }
  void ShowFields() override {
    const EditorFields& f = editor->fields();
    messageField = f.message;
    nameField = f.buddy;
    hoursField = std::to_string(f.hours);
    minutesField = std::to_string(f.minutes);
  }
  void SetMessageEditable(bool value) override { editable = value; }
  void ShowEntries(const Entries& entries) override {
    ++shownEntries;
    list = entries;
  }
  void InsertEntry(std::size_t index, const std::string& text) override {
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), text);
  }
  void DeleteEntry(std::size_t index) override {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  }
  // As the dialog does it: a whole-file write, and a message naming the file
  // when it fails.
  void WarnUnreadable(const std::string& path, const std::string& problem) override {
    told.push_back(LoadFailedMessage(path, problem));
  }
  bool SaveList(const std::string& path, const std::string& text) override {
    WriteResult written = WriteTextFile(path, text);
    if (!written.ok) told.push_back(SaveFailedMessage(path, written.error));
    return written.ok;
  }
  int SelectionMark() override { return mark; }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    EXPECT_EQ(caption, "Save Message?");
    questions.push_back(text);
    return answerYes;
  }
  void Tell(const std::string& text) override { told.push_back(text); }
  void FocusName() override { ++focusedName; }
  void CloseWithOk() override {
    if (ReadFields()) ++closed;
  }
  void CloseWithCancel() override { ++cancelled; }
};

class EditorTest : public ::testing::Test {
 protected:
  // Opens the editor as its dialog's first data exchange does.
  BuddyMessageEditor& Open(const EditorSetup& setup) {
    editor_ = std::make_unique<BuddyMessageEditor>(setup, data.folder(), view);
    view.editor = editor_.get();
    editor_->LoadOnce();
    return *editor_;
  }
  void Add(const std::string& name) {
    view.nameField = name;
    editor_->OnAdd();
  }
  void Click(int index) {
    view.mark = index;
    editor_->OnSelectEntry();
  }

  TempFolder data;
  FakeView view;
  std::unique_ptr<BuddyMessageEditor> editor_;
};

using AwayEditor = EditorTest;
using DeliverEditor = EditorTest;
using ScheduleEditor = EditorTest;

// ---- loading and OK ----------------------------------------------------------

TEST_F(AwayEditor, ListsTheFileLastToFirstAndOkReversesIt) {
  data.Write("buddya.txt", "bob|amy|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  EXPECT_EQ(view.list, (Entries{"amy", "bob"}));
  EXPECT_EQ(editor.itemCount(), 2u);
  editor.OnOk();
  EXPECT_EQ(view.closed, 1);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|bob|\r\n");
}

TEST_F(AwayEditor, LoadsOnceOnly) {
  data.Write("buddya.txt", "bob|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  data.Write("buddya.txt", "x|y|\r\n");
  editor.LoadOnce();
  EXPECT_EQ(view.shownEntries, 1);
  EXPECT_EQ(view.list, (Entries{"bob"}));
}

TEST_F(AwayEditor, TakesWholeEntriesOfTheFirstLineOnly) {
  const std::string longName(150, 'n');
  data.Write("buddya.txt", "bob|" + longName + "|amy\r\nzed|\r\n");
  Open(kAwaySetup);
  EXPECT_EQ(view.list, (Entries{longName, "bob"}));
}

TEST_F(AwayEditor, TwoBarsGiveTwoEmptyEntries) {
  data.Write("buddya.txt", "||\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  EXPECT_EQ(view.list, (Entries{"", ""}));
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "||\r\n");
}

TEST_F(AwayEditor, AMissingListIsCreatedEmptyAndAnEmptyListIsALineEnd) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  EXPECT_EQ(data.Read("buddya.txt"), "");
  EXPECT_TRUE(view.list.empty());
  EXPECT_TRUE(editor.loaded());
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "\r\n");
}

TEST_F(AwayEditor, AFailedListWriteIsReportedAndTheDialogStays) {
  data.Write("buddya.txt", "bob|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("amy");
  ScopedReadOnlyFolder readOnly(data.folder());
  ASSERT_TRUE(readOnly.active());
  editor.OnOk();
  readOnly.Release();
  EXPECT_EQ(view.closed, 0);
  ASSERT_EQ(view.told.size(), 1u);
  EXPECT_NE(view.told[0].find(data.file("buddya.txt")), std::string::npos);
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
  EXPECT_EQ(view.list, (Entries{"bob", "amy"}));
  editor.OnOk();
  EXPECT_EQ(view.closed, 1);
  EXPECT_EQ(data.Read("buddya.txt"), "bob|amy|\r\n");
}

// ---- Add ---------------------------------------------------------------------

TEST_F(AwayEditor, AddListsTheBuddyAndCreatesItsEmptyMessageFileAtOnce) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  EXPECT_EQ(view.list, (Entries{"bob"}));
  EXPECT_EQ(data.Read("boba.txt"), "");
  EXPECT_EQ(editor.currentMessageFile(), data.file("boba.txt"));
  EXPECT_EQ(view.nameField, "");
  EXPECT_EQ(view.messageField, "");
  // Cancel writes no list; the message file stays.
  editor.OnCancel();
  EXPECT_EQ(view.cancelled, 1);
  EXPECT_EQ(data.Read("buddya.txt"), "");
  EXPECT_TRUE(data.Exists("boba.txt"));
}

TEST_F(AwayEditor, AddingAListedBuddyAgainKeepsItsMessage) {
  data.Write("buddya.txt", "bob|\r\n");
  data.Write("boba.txt", "gone fishing");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  EXPECT_EQ(view.list, (Entries{"bob", "bob"}));
  EXPECT_EQ(data.Read("boba.txt"), "gone fishing");
  EXPECT_EQ(view.messageField, "gone fishing");  // the editor shows it
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "bob|bob|\r\n");
}

TEST_F(AwayEditor, AnEmptyNameIsListedWithTheMessageFileATxt) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("");
  EXPECT_EQ(view.list, (Entries{""}));
  EXPECT_EQ(data.Read("a.txt"), "");
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "|\r\n");
}

TEST_F(AwayEditor, AnUnsafeNameIsRefusedAndNothingChanges) {
  data.Write("buddya.txt", "bob|\r\n");
  data.Write("boba.txt", "hi");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  const std::string before = data.Listing();
  const char* const refused[] = {"al|ice", "a:b",   "con.x",     "nul.txt",
                                 "buddy",  "BUDDY", "tab\tname", "..\\x"};
  for (const char* name : refused) {
    view.told.clear();
    Add(name);
    ASSERT_EQ(view.told.size(), 1u) << name;
    EXPECT_NE(view.told[0].find(std::string("\"") + name + "\""), std::string::npos);
    EXPECT_EQ(view.nameField, name);  // kept, to be corrected
  }
  EXPECT_EQ(view.focusedName, static_cast<int>(std::size(refused)));
  EXPECT_EQ(view.list, (Entries{"bob"}));
  EXPECT_EQ(editor.itemCount(), 1u);
  EXPECT_EQ(data.Listing(), before);
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
  EXPECT_EQ(editor.currentMessageFile(), "");
}

TEST_F(AwayEditor, ANameWithBlanksIsAllowed) {
  Open(kAwaySetup);
  Add("john doe");
  EXPECT_TRUE(view.told.empty());
  EXPECT_TRUE(data.Exists("john doea.txt"));
}

// ---- the save question ---------------------------------------------------------

TEST_F(AwayEditor, YesStoresEachLineBreakAsOneCrLfAndTheTextComesBackExactly) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  view.Type("a\r\nb");
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kSaved);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.questions[0],
            "The message content has changed. Would you like to save these changes?");
  EXPECT_EQ(data.Read("boba.txt"), "a\r\nb");
  // Save and reload a few times: nothing grows.
  for (int round = 0; round < 3; ++round) {
    view.messageField = "elsewhere";
    Click(0);
    EXPECT_EQ(view.messageField, "a\r\nb");
    view.Type(view.messageField);
    editor.AskToSave();
    EXPECT_EQ(data.Read("boba.txt"), "a\r\nb");
  }
}

TEST_F(AwayEditor, AMessageInTheOldFormShowsSingleLineBreaks) {
  data.Write("buddya.txt", "bob|\r\n");
  data.Write("boba.txt", "a\r\r\nb\r\r\n");
  Open(kAwaySetup);
  Click(0);
  EXPECT_EQ(view.messageField, "a\r\nb\r\n");
}

TEST_F(AwayEditor, TheQuestionIsAskedOnlyAfterAChange) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kUnchanged);
  view.Type("x");
  view.answerYes = false;
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kDeclined);
  EXPECT_EQ(data.Read("boba.txt"), "");
  EXPECT_EQ(view.messageField, "x");  // still in the editor, unsaved
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kUnchanged);
  EXPECT_EQ(view.questions.size(), 1u);
}

// The question's own message box takes the focus from the editor: that loss
// of focus must not ask again while the first question is open.
TEST_F(AwayEditor, TheQuestionIsNotAskedAgainWhileItIsOpen) {
  struct AskingAgainView : FakeView {
    BuddyMessageEditor::SaveOutcome inner{};
    bool AskYesNo(const std::string& text, const std::string& caption) override {
      EXPECT_FALSE(editor->changed());
      editor->OnMessageChanged();  // even a change notification meanwhile
      inner = editor->AskToSave();
      return FakeView::AskYesNo(text, caption);
    }
  } asking;
  BuddyMessageEditor editor(kAwaySetup, data.folder(), asking);
  asking.editor = &editor;
  editor.LoadOnce();
  asking.nameField = "bob";
  editor.OnAdd();
  asking.Type("x");
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kSaved);
  EXPECT_EQ(asking.inner, BuddyMessageEditor::SaveOutcome::kUnchanged);
  EXPECT_EQ(asking.questions.size(), 1u);
}

// A message typed before any buddy was chosen: Yes keeps it for the next
// buddy chosen, and no action waits for a save that cannot happen.
TEST_F(AwayEditor, AMessageTypedBeforeAnyBuddyIsSavedForTheNextBuddyAdded) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  view.Type("typed first");
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kNoBuddy);
  EXPECT_EQ(view.told, (Entries{NothingToSaveInMessage()}));
  EXPECT_EQ(view.messageField, "typed first");
  EXPECT_EQ(data.Listing(), "buddya.txt;");
  Add("bob");
  Add("amy");
  EXPECT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.list, (Entries{"bob", "amy"}));
  EXPECT_EQ(data.Read("boba.txt"), "typed first");
  EXPECT_EQ(data.Read("amya.txt"), "");
  EXPECT_EQ(view.told.size(), 2u);
  EXPECT_EQ(view.told.back(), WaitingMessageSavedMessage("bob"));
  editor.OnOk();
  EXPECT_EQ(view.closed, 1);
  EXPECT_EQ(view.told.size(), 2u);
}

TEST_F(AwayEditor, AMessageTypedBeforeAnyBuddyStaysInTheEditorWhenTheBuddyHasOne) {
  data.Write("boba.txt", "bob's");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  view.Type("typed first");
  Add("bob");  // the question comes first: Yes
  EXPECT_EQ(view.told, (Entries{WaitingMessageKeptMessage("bob")}));
  EXPECT_EQ(view.messageField, "typed first");
  EXPECT_EQ(data.Read("boba.txt"), "bob's");
  // The next question offers it for bob.
  editor.OnOk();
  EXPECT_EQ(view.questions.size(), 2u);
  EXPECT_EQ(data.Read("boba.txt"), "typed first");
  EXPECT_EQ(view.closed, 1);
}

TEST_F(AwayEditor, NoActionWaitsForASaveThatCannotHappen) {
  data.Write("buddya.txt", "amy|bob|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  view.Type("typed first");
  view.mark = 0;
  editor.OnRemove();  // Yes, with nowhere to save: the removal goes on
  EXPECT_EQ(view.list, (Entries{"amy"}));
  EXPECT_EQ(view.messageField, "typed first");
  Click(-1);  // beside the entries: no buddy chosen
  EXPECT_EQ(view.messageField, "typed first");
  EXPECT_EQ(data.Listing(), "buddya.txt;");
  editor.OnCancel();
  EXPECT_EQ(view.cancelled, 1);
  EXPECT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.told, (Entries{NothingToSaveInMessage(), WaitingMessageNotSavedMessage()}));
}

TEST_F(AwayEditor, AFailedSaveKeepsTheTextAndStopsTheClickThatFollows) {
  data.Write("buddya.txt", "amy|bob|\r\n");
  data.Write("amya.txt", "amy's");
  data.Write("boba.txt", "bob's");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Click(1);  // amy
  view.Type("new for amy");
  ScopedReadOnlyFolder readOnly(data.folder());
  ASSERT_TRUE(readOnly.active());
  Click(0);  // the click on bob asks first; the save fails
  readOnly.Release();
  ASSERT_EQ(view.told.size(), 1u);
  EXPECT_NE(view.told[0].find(data.file("amya.txt")), std::string::npos);
  EXPECT_EQ(view.messageField, "new for amy");
  EXPECT_EQ(editor.currentMessageFile(), data.file("amya.txt"));
  EXPECT_EQ(data.Read("amya.txt"), "amy's");
  // OK asks again; now the save works and the list is written too.
  editor.OnOk();
  EXPECT_EQ(view.questions.size(), 2u);
  EXPECT_EQ(data.Read("amya.txt"), "new for amy");
  EXPECT_EQ(data.Read("buddya.txt"), "bob|amy|\r\n");
  EXPECT_EQ(view.closed, 1);
}

TEST_F(AwayEditor, OkAfterTypingAsksFirstAndYesSavesMessageAndList) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  view.Type("see you");
  editor.OnOk();
  EXPECT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(data.Read("boba.txt"), "see you");
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
  EXPECT_EQ(view.closed, 1);
}

TEST_F(AwayEditor, EachActionAsksBeforeItActs) {
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Add("bob");
  view.Type("for bob");
  Add("amy");  // the question comes first: bob's message is saved
  EXPECT_EQ(data.Read("boba.txt"), "for bob");
  EXPECT_EQ(editor.currentMessageFile(), data.file("amya.txt"));
  view.Type("for amy");
  view.mark = 0;
  editor.OnRemove();
  EXPECT_EQ(data.Read("amya.txt"), "for amy");
  // Cancel closes even when its Yes cannot be saved.
  view.Type("more");
  ScopedReadOnlyFolder readOnly(data.folder());
  ASSERT_TRUE(readOnly.active());
  editor.OnCancel();
  readOnly.Release();
  EXPECT_EQ(view.questions.size(), 3u);
  ASSERT_EQ(view.told.size(), 1u);
  EXPECT_NE(view.told[0].find(data.file("amya.txt")), std::string::npos);
  EXPECT_EQ(view.cancelled, 1);
}

// ---- selecting an entry -------------------------------------------------------

TEST_F(AwayEditor, AClickWithoutSelectionUsesTheEmptyName) {
  data.Write("buddya.txt", "bob|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Click(-1);
  EXPECT_EQ(editor.currentMessageFile(), data.file("a.txt"));
  EXPECT_EQ(data.Read("a.txt"), "");
}

TEST_F(AwayEditor, AClickOnAnEntryWhoseFileIsMissingCreatesItAndShowsItEmpty) {
  data.Write("buddya.txt", "bob|amy|\r\n");
  data.Write("amya.txt", "amy's");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Click(0);
  EXPECT_EQ(view.messageField, "amy's");
  Click(1);
  EXPECT_EQ(data.Read("boba.txt"), "");
  EXPECT_EQ(view.messageField, "");
  EXPECT_EQ(editor.currentMessageFile(), data.file("boba.txt"));
}

TEST_F(AwayEditor, AMessageTheEditorCannotHoldWholeIsShownReadOnlyAndSaidSo) {
  data.Write("buddya.txt", "fits|long|zero|\r\n");
  data.Write("fitsa.txt", std::string(kLongestEditableMessage, 'f'));
  data.Write("longa.txt", std::string(kLongestEditableMessage + 1, 'l'));
  data.Write("zeroa.txt", std::string("a\0b", 3));
  Open(kAwaySetup);
  Click(1);
  EXPECT_FALSE(view.editable);
  ASSERT_EQ(view.told.size(), 1u);
  EXPECT_EQ(view.told[0], MessageNotEditableMessage(data.file("longa.txt")));
  Click(0);
  EXPECT_FALSE(view.editable);
  EXPECT_EQ(view.told.size(), 2u);
  Click(2);
  EXPECT_TRUE(view.editable);
  EXPECT_EQ(view.told.size(), 2u);
  Click(0);
  Add("new");
  EXPECT_TRUE(view.editable);
}

TEST_F(AwayEditor, TextTypedInTheNameFieldIsReplacedByAClick) {
  data.Write("buddya.txt", "bob|\r\n");
  Open(kAwaySetup);
  view.nameField = "not added";
  Click(0);
  EXPECT_EQ(view.nameField, "");
}

TEST_F(AwayEditor, AnUnsafeEntryFromAHandEditedListHasNoMessageFile) {
  data.Write("buddya.txt", "bob|con.x|a:b|buddy|\r\n");
  data.Write("boba.txt", "bob's");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  EXPECT_EQ(view.list, (Entries{"buddy", "a:b", "con.x", "bob"}));
  const std::string before = data.Listing();
  Click(3);
  EXPECT_EQ(editor.currentMessageFile(), data.file("boba.txt"));
  for (int index : {0, 1, 2}) {
    view.told.clear();
    Click(index);
    ASSERT_EQ(view.told.size(), 1u) << index;
    EXPECT_NE(view.told[0].find("\"" + view.list[index] + "\""), std::string::npos);
    EXPECT_EQ(editor.currentMessageFile(), "");
    EXPECT_EQ(view.messageField, "");
  }
  // A message typed now has nowhere to go: the list file stays whole.
  view.Type("x");
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kNoBuddy);
  EXPECT_EQ(data.Listing(), before);
  EXPECT_EQ(data.Read("buddya.txt"), "bob|con.x|a:b|buddy|\r\n");
  EXPECT_EQ(data.Read("boba.txt"), "bob's");
  view.answerYes = false;
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "buddy|a:b|con.x|bob|\r\n");
}

// ---- Remove ---------------------------------------------------------------------

TEST_F(AwayEditor, RemoveWithoutSelectionDeletesNothing) {
  data.Write("buddya.txt", "a|b|c|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  view.mark = -1;
  editor.OnRemove();
  EXPECT_EQ(editor.itemCount(), 3u);
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "c|b|a|\r\n");
}

TEST_F(AwayEditor, RemoveTakesTheMarkedEntryAndKeepsItsFileCurrent) {
  data.Write("buddya.txt", "amy|bob|\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  Click(0);  // bob
  view.nameField = "typed";
  editor.OnRemove();
  EXPECT_EQ(view.list, (Entries{"amy"}));
  EXPECT_EQ(editor.itemCount(), 1u);
  EXPECT_EQ(view.nameField, "");
  EXPECT_EQ(view.messageField, "");
  EXPECT_TRUE(data.Exists("boba.txt"));
  EXPECT_EQ(editor.currentMessageFile(), data.file("boba.txt"));
  // A later Yes writes into the removed buddy's file.
  view.Type("late");
  editor.AskToSave();
  EXPECT_EQ(data.Read("boba.txt"), "late");
  editor.OnOk();
  EXPECT_EQ(data.Read("buddya.txt"), "amy|\r\n");
}

// ---- Deliver Messages ----------------------------------------------------------

TEST_F(DeliverEditor, UsesBuddymTxtAndTheSuffixTxt) {
  BuddyMessageEditor& editor = Open(kDeliverSetup);
  EXPECT_EQ(data.Read("buddym.txt"), "");
  Add("bob");
  EXPECT_EQ(data.Read("bob.txt"), "");
  editor.OnOk();
  EXPECT_EQ(data.Read("buddym.txt"), "bob|\r\n");
}

TEST_F(DeliverEditor, RefusesTheNamesOfItsOwnCollisions) {
  BuddyMessageEditor& editor = Open(kDeliverSetup);
  for (const char* name : {"settings", "buddya", "Schedule", "con"}) Add(name);
  EXPECT_EQ(view.told.size(), 4u);
  Add("buddy");  // buddy.txt is nobody's file
  EXPECT_EQ(view.told.size(), 4u);
  EXPECT_EQ(editor.entries(), (Entries{"buddy"}));
}

TEST_F(DeliverEditor, TheEmptyNameAndAClickWithoutSelectionShareTxt) {
  BuddyMessageEditor& editor = Open(kDeliverSetup);
  Add("");
  view.Type("to nobody");
  Click(-1);
  EXPECT_EQ(editor.currentMessageFile(), data.file(".txt"));
  EXPECT_EQ(data.Read(".txt"), "to nobody");
}

TEST_F(DeliverEditor, ListsTheFileLastToFirstAndKeepsLongEntries) {
  const std::string longName(150, 'q');
  data.Write("buddym.txt", "bob|" + longName + "|\r\n");
  BuddyMessageEditor& editor = Open(kDeliverSetup);
  EXPECT_EQ(view.list, (Entries{longName, "bob"}));
  editor.OnOk();
  EXPECT_EQ(data.Read("buddym.txt"), longName + "|bob|\r\n");
}

// ---- Schedule Message ----------------------------------------------------------

TEST_F(ScheduleEditor, AddBuildsTheKeyAndOkWritesTheLineWithoutALineEnd) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  EXPECT_EQ(data.Read("schedule.txt"), "");
  view.hoursField = "9";
  view.minutesField = "5";
  Add("bob");
  EXPECT_EQ(view.list, (Entries{"9:05 bob"}));
  EXPECT_EQ(data.Read("bobs.txt"), "");
  EXPECT_EQ(view.hoursField, "0");
  EXPECT_EQ(view.minutesField, "0");
  editor.OnOk();
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:bob");
}

TEST_F(ScheduleEditor, TheTimeFieldsAreCheckedBeforeAnythingIsAdded) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  struct Case {
    const char* hours;
    const char* minutes;
    const char* field;
  };
  for (Case c : {Case{"25", "0", "hours"}, Case{"0", "-1", "minutes"},
                 Case{"0", "ten", "minutes"}, Case{"", "5", "hours"}}) {
    view.hoursField = c.hours;
    view.minutesField = c.minutes;
    view.fieldErrors.clear();
    Add("bob");
    EXPECT_EQ(view.fieldErrors, (Entries{c.field})) << c.hours << ":" << c.minutes;
  }
  EXPECT_TRUE(editor.entries().empty());
  EXPECT_FALSE(data.Exists("bobs.txt"));
  view.hoursField = "24";
  view.minutesField = "60";
  Add("bob");
  EXPECT_EQ(view.list, (Entries{"24:60 bob"}));
}

TEST_F(ScheduleEditor, TwoEntriesOfOneBuddyShareItsMessage) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  view.hoursField = "9";
  Add("bob");
  view.Type("morning");
  view.hoursField = "14";
  view.minutesField = "30";
  Add("bob");  // asks first, and the second Add keeps the message
  EXPECT_EQ(data.Read("bobs.txt"), "morning");
  EXPECT_EQ(view.messageField, "morning");
  EXPECT_EQ(view.list, (Entries{"9:00 bob", "14:30 bob"}));
  Click(0);
  EXPECT_EQ(editor.currentMessageFile(), data.file("bobs.txt"));
}

TEST_F(ScheduleEditor, ListsTheFileInOrderAndOkWritesItBack) {
  data.Write("schedule.txt", "9:05:bob\r\n14:30:amy");
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  EXPECT_EQ(view.list, (Entries{"9:05 bob", "14:30 amy"}));
  editor.OnOk();
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:bob\r\n14:30:amy");
}

TEST_F(ScheduleEditor, ExtraColonsAndLinesWithoutTwoColons) {
  data.Write("schedule.txt", "9:05:bob:x\r\nhello\r\n\r\n");
  Open(kScheduleSetup);
  EXPECT_EQ(view.list, (Entries{"9:05 bob:x", "9:05 bob x"}));
  // "bob:x" cannot name a file; "bob x" can.
  Click(0);
  EXPECT_EQ(view.told.size(), 1u);
  Click(1);
  EXPECT_TRUE(data.Exists("bob xs.txt"));
}

TEST_F(ScheduleEditor, ANameWithBlanksComesBackWhole) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  view.hoursField = "9";
  view.minutesField = "5";
  Add("john doe");
  EXPECT_TRUE(data.Exists("john does.txt"));
  editor.OnOk();
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:john doe");
  FakeView again;
  BuddyMessageEditor reopened(kScheduleSetup, data.folder(), again);
  again.editor = &reopened;
  reopened.LoadOnce();
  EXPECT_EQ(again.list, (Entries{"9:05 john doe"}));
  again.mark = 0;
  reopened.OnSelectEntry();
  EXPECT_EQ(reopened.currentMessageFile(), data.file("john does.txt"));
}

TEST_F(ScheduleEditor, AnEmptyNameEndsTheKeyInASpace) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  Add("");
  EXPECT_EQ(view.list, (Entries{"0:00 "}));
  EXPECT_EQ(editor.currentMessageFile(), data.file("s.txt"));
  EXPECT_TRUE(data.Exists("s.txt"));
}

TEST_F(ScheduleEditor, AClickWithoutSelectionDoesNothing) {
  data.Write("schedule.txt", "9:05:bob");
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  Click(-1);
  EXPECT_EQ(editor.currentMessageFile(), "");
  EXPECT_EQ(data.Listing(), "schedule.txt;");
}

TEST_F(ScheduleEditor, ClicksOnEntriesWithMissingFilesCreateEachBuddysFile) {
  data.Write("schedule.txt", "9:05:bob\r\n10:00:amy");
  Open(kScheduleSetup);
  Click(0);
  Click(1);
  EXPECT_EQ(data.Listing(), "amys.txt;bobs.txt;schedule.txt;");
}

TEST_F(ScheduleEditor, ABadTimeFieldStillLetsTheMessageBeSaved) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  Add("bob");
  view.Type("saved anyway");
  view.hoursField = "99";
  EXPECT_EQ(editor.AskToSave(), BuddyMessageEditor::SaveOutcome::kSaved);
  EXPECT_EQ(view.fieldErrors, (Entries{"hours"}));
  EXPECT_EQ(data.Read("bobs.txt"), "saved anyway");
  // OK writes the list, then its own read of the fields keeps the dialog.
  editor.OnOk();
  EXPECT_EQ(data.Read("schedule.txt"), "0:00:bob");
  EXPECT_EQ(view.closed, 0);
}

TEST_F(ScheduleEditor, RemoveSetsTheTimeFieldsToZero) {
  data.Write("schedule.txt", "9:05:bob\r\n10:00:amy");
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  view.hoursField = "7";
  view.minutesField = "7";
  Click(1);  // shows the stored time, still 0:00
  view.hoursField = "7";
  editor.OnRemove();
  EXPECT_EQ(view.list, (Entries{"9:05 bob"}));
  EXPECT_EQ(view.hoursField, "0");
  EXPECT_EQ(view.minutesField, "0");
  editor.OnOk();
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:bob");
}

TEST_F(ScheduleEditor, RefusesSettingButAllowsTheOthersFileNames) {
  BuddyMessageEditor& editor = Open(kScheduleSetup);
  Add("setting");
  Add("SETTING");
  EXPECT_EQ(view.told.size(), 2u);
  Add("buddy");
  EXPECT_EQ(editor.entries(), (Entries{"0:00 buddy"}));
}

// ---- size ---------------------------------------------------------------------

TEST_F(AwayEditor, AListOfManyEntriesRoundTripsWhole) {
  std::string line;
  Entries expected;
  for (int i = 0; i < 20000; ++i) {
    std::string name = "buddy" + std::to_string(i);
    line += name + "|";
    expected.push_back(name);
  }
  std::reverse(expected.begin(), expected.end());
  data.Write("buddya.txt", line + "\r\n");
  BuddyMessageEditor& editor = Open(kAwaySetup);
  EXPECT_EQ(view.list, expected);
  editor.OnOk();
  editor.OnOk();  // no reopen: the same order again
  std::string reversed;
  for (const std::string& name : expected) reversed += name + "|";
  EXPECT_EQ(data.Read("buddya.txt"), reversed + "\r\n");
}

}  // namespace
}  // namespace tolvane
