#include "platform/termination_notifier.h"

#include <QPointer>
#include <QSocketNotifier>

#include "platform/termination.h"

namespace tecladim::platform {

#ifdef Q_OS_WIN
namespace {
QPointer<TerminationNotifier> receiver;
}

TerminationNotifier::TerminationNotifier(QObject* parent) : QObject(parent) {
  receiver = this;
  // Called on the console's thread: a queued call is the one thing safe to do from there.
  CatchTerminationRequests([](int exitCode) {
    QMetaObject::invokeMethod(
        receiver, [exitCode] { if (receiver) emit receiver->requested(exitCode); }, Qt::QueuedConnection);
  });
}

void TerminationNotifier::Handled() { TerminationRequestHandled(); }
#else
TerminationNotifier::TerminationNotifier(QObject* parent) : QObject(parent) {
  const int fd = CatchTerminationRequests();
  if (fd < 0) return;
  pipe_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(pipe_, &QSocketNotifier::activated, this, [this, fd] {
    if (const int exitCode = TakeTerminationRequest(fd)) emit requested(exitCode);
  });
}

void TerminationNotifier::Handled() {}
#endif

}  // namespace tecladim::platform
