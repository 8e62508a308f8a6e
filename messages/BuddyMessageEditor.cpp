#include "messages/BuddyMessageEditor.h"

#include <algorithm>
#include <utility>

#include "core/BarList.h"
#include "core/DataFolder.h"
#include "core/EditableFile.h"
#include "core/TextFile.h"
#include "messages/MessageFiles.h"

namespace tolvane {

const EditorSetup kAwaySetup{files::kAwayList, "a.txt", false};
const EditorSetup kDeliverSetup{files::kDeliverList, ".txt", false};
const EditorSetup kScheduleSetup{files::kSchedule, "s.txt", true};

std::string RefusedNameMessage(const std::string& name, const std::string& problem) {
  return "The buddy name \"" + name + "\" cannot be used: " + problem +
         ".\n\nNothing was added. Please change the name.";
}

std::string NoMessageFileMessage(const std::string& entry, const std::string& buddy,
                                 const std::string& problem) {
  return "The entry \"" + entry + "\" cannot have a message: for the buddy name \"" +
         buddy + "\", " + problem +
         ".\n\nThe entry stays in the list; Remove takes it out.";
}

std::string NothingToSaveInMessage() {
  return "There is no buddy to save this message for yet. It is still in the "
         "editor.\n\nAdd a buddy, or click one in the list: the message is saved "
         "for that buddy if the buddy has no message yet.";
}

std::string WaitingMessageSavedMessage(const std::string& buddy) {
  return "The message you typed was saved as the message of \"" + buddy + "\".";
}

std::string WaitingMessageKeptMessage(const std::string& buddy) {
  return "\"" + buddy + "\" has a message already, so the message you typed was not "
         "saved for this buddy. It is still in the editor: saving it replaces the "
         "buddy's message.";
}

std::string WaitingMessageNotSavedMessage() {
  return "There was no buddy to save the message you typed for, so it was not saved.";
}

std::string MessageSaveFailedMessage(const std::string& path, const std::string& error) {
  return "Tolvane could not save the message in\n\n" + path + "\n\n" + error +
         "\n\nThe message is still in the editor.";
}

std::string MessageCreateFailedMessage(const std::string& path,
                                       const std::string& error) {
  return "Tolvane could not create the message file\n\n" + path + "\n\n" + error;
}

std::string MessageUnreadableMessage(const std::string& path, const std::string& error) {
  return "Tolvane could not read the message file\n\n" + path + "\n\n" + error +
         "\n\nThe editor shows nothing of it. Saving a message replaces the file.";
}

std::string MessageNotEditableMessage(const std::string& path) {
  return "The message in\n\n" + path + "\n\nis longer than " +
         std::to_string(kLongestEditableMessage) +
         " characters or holds a NUL character, so the editor cannot show all of it. "
         "It shows the start, read-only: the message cannot be changed here, and the "
         "file stays as it is.";
}

bool CanEditMessage(const std::string& message) {
  return message.size() <= kLongestEditableMessage &&
         message.find('\0') == std::string::npos;
}

BuddyMessageEditor::BuddyMessageEditor(const EditorSetup& setup,
                                       std::string dataFolder, EditorView& view)
    : setup_(setup),
      folder_(std::move(dataFolder)),
      listPath_(folder_ + setup.listFile),
      view_(view) {}

std::string BuddyMessageEditor::BuddyOf(const std::string& entry) const {
  return setup_.schedule ? BuddyPartOf(entry) : entry;
}

std::string BuddyMessageEditor::MessageFileOf(const std::string& buddy) const {
  return folder_ + buddy + setup_.messageSuffix;
}

void BuddyMessageEditor::LoadOnce() {
  if (loaded_) return;
  loaded_ = true;
  TextLines file = LoadForEditing(listPath_);
  if (file.status == ReadStatus::kFailed) view_.WarnUnreadable(listPath_, file.error);
  if (setup_.schedule) {
    entries_ = ParseScheduleLines(file.lines);
  } else {
    // The list shows the file last entry first.
    entries_ = ParseBarList(LineOrEmpty(file.lines, 0));
    std::reverse(entries_.begin(), entries_.end());
  }
  view_.ShowEntries(entries_);
}

BuddyMessageEditor::SaveOutcome BuddyMessageEditor::AskToSave() {
  SaveOutcome outcome = Ask();
  if (outcome == SaveOutcome::kNoBuddy) view_.Tell(NothingToSaveInMessage());
  return outcome;
}

BuddyMessageEditor::SaveOutcome BuddyMessageEditor::Ask() {
  if (!changed_ || asking_) return SaveOutcome::kUnchanged;
  // The question itself takes the focus from the message editor: the flag
  // is clear, and asking_ set, before it is asked.
  changed_ = false;
  asking_ = true;
  bool yes = view_.AskYesNo(kSaveQuestion, kSaveCaption);
  SaveOutcome outcome = SaveOutcome::kDeclined;
  if (yes) {
    // A bad time field stops the read after the message was read: the
    // message is saved all the same.
    view_.ReadFields();
    if (currentFile_.empty()) {
      outcome = SaveOutcome::kNoBuddy;
    } else {
      WriteResult written =
          WriteFileAtomically(currentFile_, MessageToDisk(fields_.message));
      if (written.ok) {
        outcome = SaveOutcome::kSaved;
      } else {
        view_.Tell(MessageSaveFailedMessage(currentFile_, written.error));
        outcome = SaveOutcome::kFailed;
        changed_ = true;
      }
    }
  }
  waitingForBuddy_ = outcome == SaveOutcome::kNoBuddy;
  asking_ = false;
  return outcome;
}

void BuddyMessageEditor::GiveWaitingMessageTo(const std::string& buddy) {
  waitingForBuddy_ = false;
  currentFile_ = MessageFileOf(buddy);
  FileContent content = ReadWholeFile(currentFile_);
  const bool hasNone = content.status == ReadStatus::kMissing ||
                       (content.status == ReadStatus::kOk && content.bytes.empty());
  if (hasNone) {
    WriteResult written =
        WriteFileAtomically(currentFile_, MessageToDisk(fields_.message));
    if (written.ok) {
      view_.Tell(WaitingMessageSavedMessage(buddy));
      return;
    }
    view_.Tell(MessageSaveFailedMessage(currentFile_, written.error));
  } else {
    view_.Tell(WaitingMessageKeptMessage(buddy));
  }
  // Still in the editor, and still to be saved: the next question offers it.
  changed_ = true;
}

void BuddyMessageEditor::TellIfMessageWasNotSaved() {
  if (!waitingForBuddy_) return;
  waitingForBuddy_ = false;
  view_.Tell(WaitingMessageNotSavedMessage());
}

bool BuddyMessageEditor::OpenMessageFile(const std::string& buddy) {
  currentFile_ = MessageFileOf(buddy);
  fields_.message.clear();
  FileContent content = ReadWholeFile(currentFile_);
  switch (content.status) {
    case ReadStatus::kOk:
      fields_.message = MessageFromDisk(content.bytes);
      return true;
    case ReadStatus::kMissing: {
      // Only a file that is not there is created: an existing message is
      // never emptied.
      WriteResult created = CreateEmptyIfMissing(currentFile_);
      if (!created.ok) {
        view_.Tell(MessageCreateFailedMessage(currentFile_, created.error));
        return false;
      }
      return true;
    }
    case ReadStatus::kFailed:
      view_.Tell(MessageUnreadableMessage(currentFile_, content.error));
      return false;
  }
  return false;
}

void BuddyMessageEditor::Show() {
  const bool editable = CanEditMessage(fields_.message);
  view_.SetMessageEditable(editable);
  view_.ShowFields();
  if (!editable) view_.Tell(MessageNotEditableMessage(currentFile_));
}

void BuddyMessageEditor::ClearFieldsAndShow() {
  fields_.buddy.clear();
  if (setup_.schedule) {
    fields_.hours = 0;
    fields_.minutes = 0;
  }
  Show();
}

void BuddyMessageEditor::OnAdd() {
  if (Ask() == SaveOutcome::kFailed) return;
  if (!view_.ReadFields()) return;
  const std::string buddy = fields_.buddy;
  std::string problem = MessageFileProblem(folder_, buddy, setup_.messageSuffix);
  if (!problem.empty()) {
    view_.Tell(RefusedNameMessage(buddy, problem));
    view_.FocusName();
    return;
  }
  const std::string key =
      setup_.schedule ? ScheduleKey(fields_.hours, fields_.minutes, buddy) : buddy;
  entries_.push_back(key);
  view_.InsertEntry(entries_.size() - 1, key);
  if (waitingForBuddy_) {
    GiveWaitingMessageTo(buddy);
  } else {
    // The editor shows the buddy's message: empty for a new buddy, the
    // stored one for a buddy that has one already.
    OpenMessageFile(buddy);
  }
  ClearFieldsAndShow();
}

void BuddyMessageEditor::OnSelectEntry() {
  if (Ask() == SaveOutcome::kFailed) return;
  int mark = view_.SelectionMark();
  bool marked = mark >= 0 && static_cast<std::size_t>(mark) < entries_.size();
  // Without a selection the schedule does nothing; the other lists take the
  // empty name, except for a message that waits for a buddy: a click beside
  // the entries chooses none.
  if (!marked && (setup_.schedule || waitingForBuddy_)) return;
  const std::string entry = marked ? entries_[static_cast<std::size_t>(mark)] : "";
  const std::string buddy = BuddyOf(entry);
  std::string problem = MessageFileProblem(folder_, buddy, setup_.messageSuffix);
  if (!problem.empty()) {
    // Listed from a hand-edited file: its message file is never touched.
    currentFile_.clear();
    if (!waitingForBuddy_) fields_.message.clear();
    Show();
    view_.Tell(NoMessageFileMessage(entry, buddy, problem));
    return;
  }
  if (waitingForBuddy_) {
    GiveWaitingMessageTo(buddy);
  } else {
    OpenMessageFile(buddy);
  }
  Show();
}

void BuddyMessageEditor::OnRemove() {
  if (AskToSave() == SaveOutcome::kFailed) return;
  int mark = view_.SelectionMark();
  if (mark >= 0 && static_cast<std::size_t>(mark) < entries_.size()) {
    entries_.erase(entries_.begin() + mark);
    view_.DeleteEntry(static_cast<std::size_t>(mark));
  }
  // The removed buddy's message file stays, and stays the current one. A
  // message that waits for a buddy stays in the editor.
  if (!waitingForBuddy_) fields_.message.clear();
  ClearFieldsAndShow();
}

void BuddyMessageEditor::OnOk() {
  if (Ask() == SaveOutcome::kFailed) return;
  const std::string text =
      setup_.schedule ? FormatScheduleList(entries_) : FormatBarList(entries_);
  if (!view_.SaveList(listPath_, text)) return;
  TellIfMessageWasNotSaved();
  view_.CloseWithOk();
}

void BuddyMessageEditor::OnCancel() {
  Ask();
  TellIfMessageWasNotSaved();
  view_.CloseWithCancel();
}

}  // namespace tolvane
