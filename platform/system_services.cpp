#include "platform/system_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <chrono>
#include <stdexcept>

#include "platform/queued_keys.h"

#ifdef _WIN32
#include "platform/keys_windows.h"
#endif
#ifdef TECLADIM_HAVE_XTEST
#include "platform/keys_x11.h"
#endif

namespace tecladim {
namespace {

std::mt19937::result_type ClockSeed() {
  return static_cast<std::mt19937::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace

SystemServices::SystemServices() : random_(ClockSeed()) {}

SystemServices::~SystemServices() = default;

std::uint8_t SystemServices::MapVirtualKey(std::uint8_t virtualKey) {
#ifdef _WIN32
  return WindowsScanCode(virtualKey);
#else
  return Set1ScanCode(virtualKey);
#endif
}

KeyInjector& SystemServices::Keys() {
  if (keys_) return *keys_;
#ifdef _WIN32
  keys_ = MakeWindowsKeys();
  keyBackend_ = KeyBackend::Windows;
#else
#ifdef TECLADIM_HAVE_XTEST
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>(); x11 != nullptr) {
      keys_ = OpenXTestKeys(x11->display());
      if (keys_) keyBackend_ = KeyBackend::XTest;
    }
  }
#endif
  if (!keys_) {
    keys_ = std::make_unique<QueuedKeyDelivery>();
    keyBackend_ = KeyBackend::Queued;
  }
#endif
  return *keys_;
}

KeyBackend SystemServices::KeyBackendInUse() {
  Keys();
  return keyBackend_;
}

void SystemServices::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
  Keys().Send(virtualKey, scanCode, flags);
}

void SystemServices::Beep() { QApplication::beep(); }

void SystemServices::PlaySoundFile(const QString& fileName) {
  // The effect loads and plays on its own; a file it cannot read or a machine without a
  // sound device only leaves it in its error state, which nobody is told about.
  // An effect that failed keeps its error even when the file is fixed: start afresh.
  if (!sound_ || sound_->status() == QSoundEffect::Error) sound_ = std::make_unique<QSoundEffect>();
  const QUrl source = QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath());
  if (sound_->source() != source) {
    sound_->stop();
    sound_->setSource(source);
  }
  sound_->play();
}

void SystemServices::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void SystemServices::EmptyClipboard() {
  QClipboard* clipboard = qGuiApp != nullptr ? QGuiApplication::clipboard() : nullptr;
  if (clipboard == nullptr) throw std::runtime_error("Cannot open clipboard: no clipboard in this session");
  // A new content of one empty text replaces every format that was there.
  clipboard->setText(QString(), QClipboard::Clipboard);
}

bool SystemServices::FileExists(const QString& name) {
  // isFile() looks through links: a link to a file counts, a dangling one does not.
  return QFileInfo(name).isFile();
}

void SystemServices::ReseedRandom() { random_.seed(ClockSeed()); }

int SystemServices::RandomBelow(int n) {
  if (n < 1) throw std::invalid_argument("RandomBelow needs a range of at least one value");
  return std::uniform_int_distribution<int>(0, n - 1)(random_);
}

DateTime SystemServices::Now() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return EncodeDateTime({date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())},
                        {time.hour(), time.minute(), time.second(), time.msec()});
}

}  // namespace tecladim
