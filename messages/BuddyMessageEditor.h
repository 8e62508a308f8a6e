// The buddy message editor: a list of keys and one message file per key,
// shared by the Away Messages, Deliver Messages and Schedule Message dialogs.
// The dialogs differ only in the values of an EditorSetup. The editor works
// on its dialog through EditorView, so that it runs without windows too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolvane {

struct EditorSetup {
  // The key list's file in the data folder.
  const char* listFile;
  // What follows the buddy name in the name of its message file.
  const char* messageSuffix;
  // false: the key is the buddy name, the list file is a bar list, and the
  // list shows it last entry first. true: the key is "H:MM name" from the
  // time fields and the name, the list file has one line per entry, and the
  // list shows it in file order.
  bool schedule;
};

extern const EditorSetup kAwaySetup;      // buddya.txt, "a.txt"
extern const EditorSetup kDeliverSetup;   // buddym.txt, ".txt"
extern const EditorSetup kScheduleSetup;  // schedule.txt, "s.txt"

// The values the dialog exchanges with its fields.
struct EditorFields {
  std::string message;  // the message editor, line breaks as CR LF
  std::string buddy;    // the name field
  int hours = 0;        // the schedule's time fields
  int minutes = 0;
};

// What the editor needs of its dialog.
class EditorView {
 public:
  virtual ~EditorView() = default;

  // Reads the fields into the editor's EditorFields; false when a field
  // holds a bad value (the view has said so, and the fields after it are not
  // read).
  virtual bool ReadFields() = 0;
  // Shows the editor's EditorFields in the fields. This does not count as a
  // change of the message.
  virtual void ShowFields() = 0;
  // Lets the user change the message editor's text, or makes it read-only.
  virtual void SetMessageEditable(bool editable) = 0;

  // Replaces the whole key list, top entry first.
  virtual void ShowEntries(const std::vector<std::string>& entries) = 0;
  virtual void InsertEntry(std::size_t index, const std::string& text) = 0;
  virtual void DeleteEntry(std::size_t index) = 0;

  // Warns that the list file could not be read; `problem` says why.
  virtual void WarnUnreadable(const std::string& path, const std::string& problem) = 0;
  // Replaces the list file with `text` (memory form, LF line ends) as a
  // whole; false, with the user told why, when that failed. The old file
  // then stays as it was.
  virtual bool SaveList(const std::string& path, const std::string& text) = 0;
  // The index of the entry the user selected last, or -1.
  virtual int SelectionMark() = 0;

  // A question with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
  // Tells the user something went wrong or was refused (one OK button).
  virtual void Tell(const std::string& text) = 0;
  // Puts the keyboard focus on the name field (after a refused name).
  virtual void FocusName() = 0;
  // Ends the dialog the framework's way for OK: reads the fields and closes
  // when that worked.
  virtual void CloseWithOk() = 0;
  // Ends the dialog with Cancel.
  virtual void CloseWithCancel() = 0;
};

// The longest message the message editor shows whole and lets the user
// change. A longer message file, or one holding a NUL character, is shown in
// part and read-only, so that nothing of it can be lost by a save.
inline constexpr std::size_t kLongestEditableMessage = 1000000;
bool CanEditMessage(const std::string& message);

// The save question's words.
inline constexpr const char kSaveQuestion[] =
    "The message content has changed. Would you like to save these changes?";
inline constexpr const char kSaveCaption[] = "Save Message?";

class BuddyMessageEditor {
 public:
  // dataFolder ends with its separator.
  BuddyMessageEditor(const EditorSetup& setup, std::string dataFolder,
                     EditorView& view);

  EditorFields& fields() { return fields_; }
  const EditorSetup& setup() const { return setup_; }

  // ---- the dialog's events ------------------------------------------------

  // Reads the list file into the key list the first time it is called;
  // later calls do nothing. A missing list file is created empty.
  void LoadOnce();
  // The message editor's text was changed by the user.
  void OnMessageChanged() { changed_ = true; }

  enum class SaveOutcome {
    kUnchanged,  // nothing to ask
    kSaved,      // Yes, and the message file was written
    kDeclined,   // No
    kNoBuddy,    // Yes, but no buddy was chosen yet: the message stays in the
                 // editor for the next buddy chosen (see OnAdd)
    kFailed,     // Yes, but the file could not be written: the user was told
                 // why and the message still counts as changed
  };
  // The save question, when the message editor lost the focus: asked when
  // the message was changed since the last question, and at most once at a
  // time. Tells the user when there is no buddy to save the message for.
  SaveOutcome AskToSave();

  // Each of these first asks the save question (the button or the list took
  // the focus from the message editor). A save that failed stops Add, the
  // click, Remove and OK, so that the user can try again; no buddy to save
  // for stops nothing.
  //
  // A message that the user chose to save before any buddy was chosen goes
  // to the next buddy chosen by Add or by a click on an entry: it is saved
  // as that buddy's message when the buddy has none yet; otherwise it stays
  // in the editor, to be saved over the buddy's message or not at the next
  // question. The user is told which, and is told at OK and Cancel when the
  // message is left unsaved.
  void OnAdd();
  void OnSelectEntry();  // a click in the key list
  void OnRemove();
  void OnOk();
  // Cancel closes the dialog after the question, whatever the answer.
  void OnCancel();

  // ---- state, for the dialog and for tests --------------------------------

  bool loaded() const { return loaded_; }
  bool changed() const { return changed_; }
  // The key list, top first; its size is the item count.
  const std::vector<std::string>& entries() const { return entries_; }
  std::size_t itemCount() const { return entries_.size(); }
  // The file the save question writes to; "" for none.
  const std::string& currentMessageFile() const { return currentFile_; }
  const std::string& listPath() const { return listPath_; }
  const std::string& dataFolder() const { return folder_; }

  // The buddy whose message file an entry uses.
  std::string BuddyOf(const std::string& entry) const;
  // The message file of a buddy.
  std::string MessageFileOf(const std::string& buddy) const;

 private:
  // Makes `buddy`'s message file the current one and puts its message in the
  // editor's field (an empty message when the file is new). A missing file
  // is created empty. False, with the user told why, when the file could not
  // be created or read; the file is the current one even then.
  bool OpenMessageFile(const std::string& buddy);
  // The save question without the words about a missing buddy.
  SaveOutcome Ask();
  // Makes `buddy`'s message file the current one and gives it the message
  // that waits for a buddy, as OnAdd describes.
  void GiveWaitingMessageTo(const std::string& buddy);
  void TellIfMessageWasNotSaved();
  // Shows the fields; a message that cannot be edited whole is shown
  // read-only, and the user is told why.
  void Show();
  void ClearFieldsAndShow();

  const EditorSetup& setup_;
  std::string folder_;
  std::string listPath_;
  EditorView& view_;

  EditorFields fields_;
  std::vector<std::string> entries_;
  std::string currentFile_;
  bool changed_ = false;
  bool loaded_ = false;
  bool asking_ = false;
  bool waitingForBuddy_ = false;
};

// The words of the editor's messages, for the dialog's tests.
std::string RefusedNameMessage(const std::string& name, const std::string& problem);
std::string NoMessageFileMessage(const std::string& entry, const std::string& buddy,
                                 const std::string& problem);
std::string NothingToSaveInMessage();
std::string WaitingMessageSavedMessage(const std::string& buddy);
std::string WaitingMessageKeptMessage(const std::string& buddy);
std::string WaitingMessageNotSavedMessage();
std::string MessageSaveFailedMessage(const std::string& path, const std::string& error);
std::string MessageCreateFailedMessage(const std::string& path,
                                       const std::string& error);
std::string MessageUnreadableMessage(const std::string& path, const std::string& error);
std::string MessageNotEditableMessage(const std::string& path);

}  // namespace tolvane
