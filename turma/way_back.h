#pragma once
#include <QMetaObject>
#include <QObject>

#include <mutex>

// The way back from work on a pool thread to the object on the window's thread that asked for
// it. Cut when the object abandons the work or goes: what the work posts afterwards is dropped,
// and a post under way finishes before the cut returns, so nothing reaches a freed object.
namespace tecladim::turma {

class WayBack {
 public:
  explicit WayBack(QObject* receiver) : receiver_(receiver) {}

  // Runs `call` on the receiver's thread, unless cut first.
  template <typename Call>
  void Post(Call call) {
    const std::lock_guard lock(mutex_);
    if (receiver_) QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
  }
  void Cut() {
    const std::lock_guard lock(mutex_);
    receiver_ = nullptr;
  }

 private:
  std::mutex mutex_;
  QObject* receiver_;
};

}  // namespace tecladim::turma
