#pragma once
#include <QDateTime>
#include <QHash>
#include <QStringList>

// What the folder watch cannot hear: on a network share (CIFS, NFS) the system tells nothing
// of what other machines write. Every so often the files and folders of the class are looked
// at again, sizes and times only, and a change is reported.
namespace tecladim::turma {

inline constexpr int FolderPollIntervalMs = 30'000;

class FolderPoll {
 public:
  // Starts over with these files and folders, as they are now.
  void Watch(const QStringList& paths);
  // Whether any of them changed (or appeared, or went) since Watch or the last call.
  bool Changed();

 private:
  struct Look {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    bool operator==(const Look&) const = default;
  };
  static Look LookAt(const QString& path);
  QHash<QString, Look> seen_;
};

}  // namespace tecladim::turma
