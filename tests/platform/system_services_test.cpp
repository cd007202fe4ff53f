#include <QClipboard>
#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

#include "platform/fake_services.h"
#include "platform/system_services.h"

namespace tecladim {
namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A short, valid PCM wave file: 16-bit mono at 8000 Hz, a tenth of a second of silence.
QByteArray SilentWave() {
  const quint32 samples = 800;
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + samples * 2);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2) << quint16(16);
  out.writeRawData("data", 4);
  out << quint32(samples * 2);
  for (quint32 i = 0; i < samples; ++i) out << qint16(0);
  return bytes;
}

TEST(FileExists, IsTrueForFilesAndLinksToThemOnly) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("erro.wav"));
  WriteFile(file, "x");
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pasta")));
  ASSERT_TRUE(QFile::link(file, dir.filePath(QStringLiteral("link-to-file"))));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("pasta")), dir.filePath(QStringLiteral("link-to-folder"))));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dangling"))));

  struct Row {
    const char* name;
    bool exists;
  } rows[] = {
      {"erro.wav", true},      {"pasta", false},    {"link-to-file", true},
      {"link-to-folder", false}, {"dangling", false}, {"missing.xml", false},
  };
  SystemServices services;
  for (const Row& row : rows) {
    EXPECT_EQ(services.FileExists(dir.filePath(QString::fromLatin1(row.name))), row.exists) << row.name;
  }

  // A bare name is looked up in the working directory.
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  EXPECT_TRUE(services.FileExists(QStringLiteral("erro.wav")));
  EXPECT_FALSE(services.FileExists(QStringLiteral("Exercicio.xml")));
  QDir::setCurrent(before);
}

TEST(EmptyClipboard, LeavesOneEmptyTextInPlaceOfEverything) {
  auto* copied = new QMimeData;
  copied->setText(QStringLiteral("texto copiado"));
  copied->setHtml(QStringLiteral("<b>texto copiado</b>"));
  QGuiApplication::clipboard()->setMimeData(copied);

  SystemServices services;
  services.EmptyClipboard();
  const QMimeData* now = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(now, nullptr);
  EXPECT_TRUE(now->hasText());
  EXPECT_TRUE(now->text().isEmpty());
  EXPECT_FALSE(now->hasHtml());
}

TEST(Random, DrawsEveryValueOfTheRangeAndNothingElse) {
  SystemServices services;
  std::set<int> seen;
  for (int i = 0; i < 300; ++i) {
    if (i % 3 == 0) services.ReseedRandom();  // as every alert does
    const int value = services.RandomBelow(3);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 3);
    seen.insert(value);
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
  EXPECT_EQ(services.RandomBelow(1), 0);
  EXPECT_THROW(services.RandomBelow(0), std::invalid_argument);
}

TEST(Clock, NowIsTheLocalDateAndTime) {
  SystemServices services;
  const QDate day = QDate::currentDate();
  const int msBefore = QTime::currentTime().msecsSinceStartOfDay();
  const DateTime now = services.Now();
  const int msAfter = QTime::currentTime().msecsSinceStartOfDay();
  if (QDate::currentDate() != day || msAfter < msBefore) GTEST_SKIP() << "read across midnight";
  EXPECT_EQ(static_cast<std::int64_t>(now), DaysFromCivil({day.year(), unsigned(day.month()), unsigned(day.day())}));
  const double msOfDay = (now - static_cast<std::int64_t>(now)) * MsPerDay;
  EXPECT_GE(msOfDay, msBefore - 1);
  EXPECT_LE(msOfDay, msAfter + 1);
}

// A Brazilian school's clock: São Paulo keeps UTC-3 all year since 2019. The record's times
// are the wall clock the student sees, never UTC.
TEST(Clock, NowIsSaoPauloWallTimeUnderItsTimeZone) {
  const QByteArray previous = qgetenv("TZ");
  qputenv("TZ", "America/Sao_Paulo");
  SystemServices services;
  const QDateTime utcBefore = QDateTime::currentDateTimeUtc();
  const DateTime now = services.Now();
  if (previous.isNull()) {
    qunsetenv("TZ");
  } else {
    qputenv("TZ", previous);
  }
  const QDateTime wall = utcBefore.addSecs(-3 * 3600);
  const QDate day = wall.date();
  const DateTime expected = EncodeDateTime({day.year(), unsigned(day.month()), unsigned(day.day())},
                                           {wall.time().hour(), wall.time().minute(), wall.time().second(),
                                            wall.time().msec()});
  // Read a few milliseconds apart: within two seconds, never hours off.
  EXPECT_NEAR(static_cast<double>(now), static_cast<double>(expected), 2.0 / 86400.0);
}

// Whether Qt Multimedia is in this process; only Linux says so simply.
bool MultimediaLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

TEST(PlaySoundFile, LoadsTheSoundModuleAtTheFirstSoundAndKeepsItsPlayer) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString wave = dir.filePath(QStringLiteral("erro.wav"));
  WriteFile(wave, SilentWave());
  const bool loadedBefore = MultimediaLoaded();
  SystemServices services;
  services.Beep();
  services.FileExists(wave);
  services.Now();
  EXPECT_FALSE(services.SoundModuleTried());
  EXPECT_EQ(services.Player(), nullptr);
#ifdef Q_OS_LINUX
  // The program starts without Qt Multimedia; the first sound brings it in.
  if (!loadedBefore) {
    EXPECT_FALSE(MultimediaLoaded());
  }
#endif
  services.PlaySoundFile(wave);
  EXPECT_TRUE(services.SoundModuleTried());
  SoundPlayer* const player = services.Player();
  ASSERT_NE(player, nullptr) << "the sound module was not found";
#ifdef Q_OS_LINUX
  EXPECT_TRUE(MultimediaLoaded());
#endif
  services.PlaySoundFile(dir.filePath(QStringLiteral("missing.wav")));
  services.PlaySoundFile(wave);
  EXPECT_EQ(services.Player(), player);
  (void)loadedBefore;
}

TEST(PlaySoundFile, ReturnsAtOnceWhateverTheFileAndTheSoundDevice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString wave = dir.filePath(QStringLiteral("erro.wav"));
  const QString notWave = dir.filePath(QStringLiteral("texto.wav"));
  WriteFile(wave, SilentWave());
  WriteFile(notWave, "isto não é um som");
  // A timer due at once fires only when the caller's event loop runs again: a call that
  // waited for the sound to load or to end would have run it.
  const auto eventLoopRanDuring = [](const std::function<void()>& call) {
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    call();
    const bool during = ran;
    EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran; }));  // and events go on afterwards
    return during;
  };
  {
    SystemServices services;
    for (const QString& name : {dir.filePath(QStringLiteral("missing.wav")), notWave, wave, wave}) {
      EXPECT_FALSE(eventLoopRanDuring([&] { services.PlaySoundFile(name); })) << name.toStdString();
    }
  }  // destroyed while the last sound may still be playing: what it had under way reaches nobody
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran; }));
}

TEST(FakeServices, FailsTheClipboardLikeTheDesktop) {
  FakeServices fake;
  fake.clipboardFailure = QStringLiteral("Acesso negado");
  try {
    fake.EmptyClipboard();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Cannot open clipboard: Acesso negado");
  }
  EXPECT_EQ(fake.clipboardWipes, 0);
  fake.clipboardFailure.reset();
  fake.EmptyClipboard();
  EXPECT_EQ(fake.clipboardWipes, 1);
}

}  // namespace
}  // namespace tecladim
