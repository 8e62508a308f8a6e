#include "framework/EditorFileUi.h"

#include "core/EditableFile.h"
#include "core/TextFile.h"

namespace tolvane {

void WarnIfUnreadable(const fw::Window& owner, const std::string& path,
                      const std::string& problem) {
  if (problem.empty()) return;
  owner.ShowMessageBox(LoadFailedMessage(path, problem), nullptr,
                       MB_OK | MB_ICONWARNING);
}

bool SaveTextOrReport(const fw::Window& owner, const std::string& path,
                      const std::string& text) {
  WriteResult saved = WriteTextFile(path, text);
  if (!saved.ok) {
    owner.ShowMessageBox(SaveFailedMessage(path, saved.error), nullptr,
                         MB_OK | MB_ICONERROR);
  }
  return saved.ok;
}

}  // namespace tolvane
