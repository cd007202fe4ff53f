#pragma once
#include <QObject>

class QSocketNotifier;

namespace tecladim::platform {

// Brings the requests to end the program from outside (platform/termination.h) to the event
// loop: `requested` is emitted there, once per request, with the exit code to end with.
class TerminationNotifier : public QObject {
  Q_OBJECT

 public:
  explicit TerminationNotifier(QObject* parent = nullptr);
  // Tells a waiting system handler that the request was dealt with (Windows: the console's
  // thread may return, and the system end the process).
  void Handled();

 signals:
  void requested(int exitCode);

 private:
  QSocketNotifier* pipe_ = nullptr;
};

}  // namespace tecladim::platform
