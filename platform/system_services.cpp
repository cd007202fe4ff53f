#include "platform/system_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLibrary>
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

SystemServices::~SystemServices() {
  // The player's code is in the module, which is never unloaded; the player goes first.
  player_.reset();
}

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

void SystemServices::LoadSoundModule() {
  soundModuleTried_ = true;
  // Beside the program (Windows, the build tree), where the Linux package puts it, in a
  // macOS bundle, and last the folder it was built in.
  const QString programFolder = QCoreApplication::applicationDirPath();
  const QStringList folders = {programFolder, programFolder + QStringLiteral("/../lib/tecladim"),
                               programFolder + QStringLiteral("/../PlugIns"),
                               QStringLiteral(TECLADIM_SOUND_MODULE_BUILD_DIR)};
  for (const QString& folder : folders) {
    auto module = std::make_unique<QLibrary>(folder + QStringLiteral("/tecladim_sound"));
    if (!module->load()) continue;
    if (const auto factory = reinterpret_cast<SoundPlayerFactory>(module->resolve(SoundPlayerFactoryName))) {
      player_.reset(factory());
      soundModule_ = std::move(module);
      return;
    }
  }
}

void SystemServices::PlaySoundFile(const QString& fileName) {
  // Without the module the program goes on in silence, as it does without a sound device.
  if (!soundModuleTried_) LoadSoundModule();
  if (player_) player_->Play(QFileInfo(fileName).absoluteFilePath());
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
