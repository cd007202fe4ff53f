#include "turma/folder_poll.h"

#include <QFileInfo>

namespace tecladim::turma {

FolderPoll::Look FolderPoll::LookAt(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return {};
  // A folder's time changes when a file in it is made, renamed or removed: the trainer's
  // save renames its new history into place, and a new student's folder appears.
  return {true, info.isDir() ? 0 : info.size(), info.lastModified()};
}

void FolderPoll::Watch(const QStringList& paths) {
  seen_.clear();
  for (const QString& path : paths) seen_.insert(path, LookAt(path));
}

bool FolderPoll::Changed() {
  bool changed = false;
  for (auto it = seen_.begin(); it != seen_.end(); ++it) {
    const Look now = LookAt(it.key());
    if (now == it.value()) continue;
    it.value() = now;
    changed = true;
  }
  return changed;
}

}  // namespace tecladim::turma
