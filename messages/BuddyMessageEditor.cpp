#include "messages/BuddyMessageEditor.h"

#include <algorithm>
#include <utility>

#include "app/BarList.h"
#include "app/DataFolder.h"
#include "app/EditableFile.h"
#include "app/TextFile.h"
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
  return "There is no buddy to save this message for.\n\nAdd a buddy, or click one "
         "in the list, and then save the message. It is still in the editor.";
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
      view_.Tell(NothingToSaveInMessage());
      outcome = SaveOutcome::kFailed;
    } else {
      WriteResult written =
          WriteFileAtomically(currentFile_, MessageToDisk(fields_.message));
      if (written.ok) {
        outcome = SaveOutcome::kSaved;
      } else {
        view_.Tell(MessageSaveFailedMessage(currentFile_, written.error));
        outcome = SaveOutcome::kFailed;
      }
    }
    if (outcome == SaveOutcome::kFailed) changed_ = true;
  }
  asking_ = false;
  return outcome;
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

void BuddyMessageEditor::ClearFieldsAndShow() {
  fields_.buddy.clear();
  if (setup_.schedule) {
    fields_.hours = 0;
    fields_.minutes = 0;
  }
  view_.ShowFields();
}

void BuddyMessageEditor::OnAdd() {
  if (AskToSave() == SaveOutcome::kFailed) return;
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
  // The editor shows the buddy's message: empty for a new buddy, the stored
  // one for a buddy that has one already.
  OpenMessageFile(buddy);
  ClearFieldsAndShow();
}

void BuddyMessageEditor::OnSelectEntry() {
  if (AskToSave() == SaveOutcome::kFailed) return;
  int mark = view_.SelectionMark();
  bool marked = mark >= 0 && static_cast<std::size_t>(mark) < entries_.size();
  // Without a selection the schedule does nothing; the other lists take the
  // empty name.
  if (!marked && setup_.schedule) return;
  const std::string entry = marked ? entries_[static_cast<std::size_t>(mark)] : "";
  const std::string buddy = BuddyOf(entry);
  std::string problem = MessageFileProblem(folder_, buddy, setup_.messageSuffix);
  if (!problem.empty()) {
    // Listed from a hand-edited file: its message file is never touched.
    currentFile_.clear();
    fields_.message.clear();
    view_.ShowFields();
    view_.Tell(NoMessageFileMessage(entry, buddy, problem));
    return;
  }
  OpenMessageFile(buddy);
  view_.ShowFields();
}

void BuddyMessageEditor::OnRemove() {
  if (AskToSave() == SaveOutcome::kFailed) return;
  int mark = view_.SelectionMark();
  if (mark >= 0 && static_cast<std::size_t>(mark) < entries_.size()) {
    entries_.erase(entries_.begin() + mark);
    view_.DeleteEntry(static_cast<std::size_t>(mark));
  }
  // The removed buddy's message file stays, and stays the current one.
  fields_.message.clear();
  ClearFieldsAndShow();
}

void BuddyMessageEditor::OnOk() {
  if (AskToSave() == SaveOutcome::kFailed) return;
  const std::string text =
      setup_.schedule ? FormatScheduleList(entries_) : FormatBarList(entries_);
  if (view_.SaveList(listPath_, text)) view_.CloseWithOk();
}

bool BuddyMessageEditor::OnCancel() { return AskToSave() != SaveOutcome::kFailed; }

}  // namespace tolvane
