// The shell: settings file semantics, start-up checks, shutdown writes, the key hook, relayout and screens.
#include "app/aussehen.h"
#include "widgets/bausteine.h"
#include "data/dateizugriff.h"
#include "data/einstellungen.h"
#include "app/fokusrahmen.h"
#include "app/layoutbilder.h"
#include "widgets/meldung.h"
#include "app/qttexte.h"
#include "app/signale.h"
#include "app/tmainform.h"
#include "gallery/galerie.h"
#include "quiz/frage.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "widgets/zugang.h"
#include "fixturbaum.h"
#include "quiz/quizregeln.h"
#include "search/tscrollbox.h"
#include "tests/zeugen.h"
#include "tests/schleuse.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <QUrl>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <memory>
#include <signal.h>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QByteArray Lies(const QString &pfad) {
  QFile f(pfad);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

void Schreibe(const QString &pfad, const QByteArray &inhalt) {
  QFile f(pfad);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(inhalt);
}

QByteArray Kodiert(const char *kodierung, const QString &text) { return QStringEncoder(kodierung)(text); }

#ifdef Q_OS_UNIX
// Type, size, time and link target: whatever a write into or over the file would change.
QByteArray Merkmale(const QString &pfad) {
  struct stat info {};
  if (::lstat(QFile::encodeName(pfad).constData(), &info) != 0)
    return "none";
  return QByteArray::number(info.st_mode) + ' ' + QByteArray::number(qint64(info.st_size)) + ' ' +
         QByteArray::number(qint64(info.st_ino)) + ' ' + QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' +
         QByteArray::number(qint64(info.st_mtim.tv_nsec)) + ' ' + QFileInfo(pfad).symLinkTarget().toUtf8();
}
#endif

// What writing the key gives where nothing stops it, in a file of its own in the folder; no value when
// even that write fails.
std::optional<QByteArray> Vorbild(const QString &ordner, const QByteArray &vorher, const QString &abschnitt,
                                  const QString &schluessel, const QString &wert) {
  const QString vorbild = ordner + QStringLiteral("/vorbild.ini");
  if (!vorher.isNull())
    Schreibe(vorbild, vorher);
  if (!SchreibeProfil(vorbild, abschnitt, schluessel, wert))
    return std::nullopt;
  return Lies(vorbild);
}

// The smallest tree the program starts in: the six folders and the four group templates.
void BaueBaum(const QString &basis, const QStringList &ohne = {}) {
  QVERIFY(Fixturbaum::LegeOrdnerAn(basis, ohne));
  QVERIFY(Fixturbaum::LegeVorlagenAn(basis));
}

#ifdef Q_OS_LINUX
// True once the program has its handler for SIGTERM (the caught-signal mask in /proc says so).
bool FaengtTerm(const QProcess &programm) {
  QFile status(QStringLiteral("/proc/%1/status").arg(programm.processId()));
  if (!status.open(QIODevice::ReadOnly))
    return false;
  for (const QByteArray &zeile : status.readAll().split('\n'))
    if (zeile.startsWith("SigCgt:"))
      return ((zeile.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0;
  return false;
}

// The program in a process of its own, headless, started in the folder.
void StarteProgramm(QProcess &programm, const QString &ordner) {
  programm.setWorkingDirectory(ordner);
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  umgebung.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  programm.setProcessEnvironment(umgebung);
  programm.start(QStringLiteral(NF_PROGRAMM), {});
}
#endif

} // namespace

class TestApp : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Fixturbaum::EigenerCache(); }
  void init();
  void cleanup();

  void profilLesen_data();
  void profilLesen();
  void profilSchreibenLaesstAndereZeilen_data();
  void profilSchreibenLaesstAndereZeilen();
  void profilSchreibenLegtAn();
  void profilUeberVerweis();
  void profilUnicode_data();
  void profilUnicode();
  void profilKeineRegulaereDatei_data();
  void profilKeineRegulaereDatei();
  void profilSchreibenScheitertSauber_data();
  void profilSchreibenScheitertSauber();
  void profilNachAbbruch_data();
  void profilNachAbbruch();
  void profilNachKill9();
  void groesse_data();
  void groesse();
  void fensterPlatz_data();
  void fensterPlatz();

  void fehlenderOrdner_data();
  void fehlenderOrdner();
  void startMitGroesseUndAdresse();
  void startGroesse_data();
  void startGroesse();
  void unicodeEinstellungenBleiben();
  void schliessenSchreibtEinstellungen_data();
  void schliessenSchreibtEinstellungen();
  void basisOrdnerImWurzelverzeichnis();

  void relayout();
  void schmalerAls580();
  void bildschirme();
  void tastenAufDerGalerie_data();
  void tastenAufDerGalerie();
  void tastenImSuchfeld();
  void tastenAufDerFrage();
  void klickGibtGalerieDenFokus();
  void klicksAufDerFrage();
  void enterDruecktKnopf_data();
  void enterDruecktKnopf();
  void kleineTeileDesLayouts();
  void minimiertUndWiederhergestellt();
  void fehlendeVorlageBeendetDasProgramm();
  void vorgeleseneNamen_data();
  void vorgeleseneNamen();
  void statusleisteVorgelesen();
  void dunklesThemaAendertNichts();
  void fokusSichtbar_data();
  void fokusSichtbar();
  void zugriffsbuchstabeMitAlt();
  void ergebnisbilderLesbar();
  void qtTexte_data();
  void qtTexte();
  void signalBeendetDasProgramm();
  // End the application's event loops: keep them last.
  void signalSchliesstUndSpeichert();
  void schliessanfrageWaehrendDesLadens();
  void signalWaehrendDesLadens();

private:
  TMainForm *NeuesFenster(bool zeigen = true);

  QTemporaryDir *FOrdner = nullptr;
  std::unique_ptr<TZeugen> Zeugen;
};

void TestApp::init() {
  FOrdner = new QTemporaryDir;
  QVERIFY(FOrdner->isValid());
  Zeugen = std::make_unique<TZeugen>();
}

void TestApp::cleanup() {
  Zeugen.reset();
  // A test that failed half-way leaves folders it made read-only: without this, they and the
  // temporary folder would stay behind for good.
  const QString pfad = FOrdner->path();
  Fixturbaum::MachSchreibbar(pfad);
  delete FOrdner;
  FOrdner = nullptr;
  QVERIFY2(!QFileInfo::exists(pfad), qPrintable(pfad));
}

TMainForm *TestApp::NeuesFenster(bool zeigen) {
  auto *fenster = new TMainForm(FOrdner->path());
  if (zeigen) {
    fenster->show();
    fenster->activateWindow();
    if (!QTest::qWaitForWindowActive(fenster))
      qWarning("window did not become active");
  }
  return fenster;
}

// ---- the settings file --------------------------------------------------------------------------

void TestApp::profilLesen_data() {
  QTest::addColumn<QByteArray>("inhalt");
  QTest::addColumn<QString>("erwartet");
  QTest::newRow("plain") << QByteArray("[Einstellung]\r\nGroesse=900x700\r\n") << "900x700";
  QTest::newRow("names_any_case") << QByteArray("[einSTELLung]\nGROESSE=1x2\n") << "1x2";
  QTest::newRow("blanks_around") << QByteArray(" [ Einstellung ] \r\n  Groesse  =  5x6  \r\n") << "5x6";
  QTest::newRow("missing_key") << QByteArray("[Einstellung]\r\nAuswahl=1\r\n") << "vorgabe";
  QTest::newRow("missing_section") << QByteArray("[Andere]\r\nGroesse=1x1\r\n") << "vorgabe";
  QTest::newRow("key_in_other_section") << QByteArray("[Andere]\r\nGroesse=1x1\r\n[Einstellung]\r\n") << "vorgabe";
  QTest::newRow("empty_value") << QByteArray("[Einstellung]\r\nGroesse=\r\n") << "";
  QTest::newRow("quoted") << QByteArray("[Einstellung]\r\nGroesse=\"7x8\"\r\n") << "7x8";
  QTest::newRow("first_of_two") << QByteArray("[Einstellung]\r\nGroesse=1x1\r\nGroesse=2x2\r\n") << "1x1";
  QTest::newRow("comment_ignored") << QByteArray("[Einstellung]\r\n;Groesse=1x1\r\n") << "vorgabe";
  QTest::newRow("cp1252_value") << QByteArray("[Einstellung]\r\nGroesse=\xD6\x80\r\n") << QString::fromUtf8("Ö€");
  QTest::newRow("binary_garbage") << QByteArray("\x00\xFF[\x01\n=\n[Einstellung\nGroesse=3x4", 31) << "3x4";
  QTest::newRow("first_section_only") << QByteArray("[Einstellung]\r\nAuswahl=1\r\n[Einstellung]\r\nGroesse=9x9\r\n")
                                      << "vorgabe";
  QTest::newRow("cut_to_254") << QByteArray("[Einstellung]\nGroesse=") + QByteArray(300, 'a') << QString(254, 'a');
}

void TestApp::profilLesen() {
  QFETCH(QByteArray, inhalt);
  QFETCH(QString, erwartet);
  const QString datei = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  Schreibe(datei, inhalt);
  QCOMPARE(LiesProfil(datei, QStringLiteral("Einstellung"), QStringLiteral("Groesse"), QStringLiteral("vorgabe")),
           erwartet);
}

void TestApp::profilSchreibenLaesstAndereZeilen_data() {
  QTest::addColumn<QByteArray>("vorher");
  QTest::addColumn<QByteArray>("nachher");
  QTest::newRow("replace_keeps_rest") << QByteArray("; Kommentar  \r\n[Einstellung]\r\nauswahl = 0\r\nX=  y \r\n")
                                      << QByteArray("; Kommentar  \r\n[Einstellung]\r\nAuswahl=1\r\nX=  y \r\n");
  QTest::newRow("add_to_section") << QByteArray("[Einstellung]\r\nGroesse=1x1\r\n\r\n[Andere]\r\nA=b\r\n")
                                  << QByteArray("[Einstellung]\r\nGroesse=1x1\r\nAuswahl=1\r\n\r\n[Andere]\r\nA=b\r\n");
  QTest::newRow("add_section") << QByteArray("[Andere]\nA=b")
                               << QByteArray("[Andere]\nA=b\n[Einstellung]\nAuswahl=1\n");
  QTest::newRow("same_key_other_section") << QByteArray("[Andere]\r\nAuswahl=7\r\n[Einstellung]\r\n")
                                          << QByteArray("[Andere]\r\nAuswahl=7\r\n[Einstellung]\r\nAuswahl=1\r\n");
  QTest::newRow("garbage_kept") << QByteArray("\x01\xFFmuell\r\n[Einstellung]\r\nAuswahl=9\r\n")
                                << QByteArray("\x01\xFFmuell\r\n[Einstellung]\r\nAuswahl=1\r\n");
  // The lone byte is made a whole character, or every line added after it would be shifted by one byte.
  const QByteArray utf16 = QByteArray("\xFF\xFE") + Kodiert("UTF-16LE", QStringLiteral("[Einstellung]\r\nX=y"));
  QTest::newRow("utf16_odd_byte_at_end") << utf16 + 'A'
                                         << utf16 + QByteArray("A\0", 2) +
                                                Kodiert("UTF-16LE", QStringLiteral("\r\nAuswahl=1\r\n"));
}

void TestApp::profilSchreibenLaesstAndereZeilen() {
  QFETCH(QByteArray, vorher);
  QFETCH(QByteArray, nachher);
  const QString datei = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  Schreibe(datei, vorher);
  QVERIFY(SchreibeProfil(datei, QStringLiteral("Einstellung"), QStringLiteral("Auswahl"), QStringLiteral("1")));
  QCOMPARE(Lies(datei), nachher);
}

void TestApp::profilSchreibenLegtAn() {
  const QString datei = FOrdner->filePath(QStringLiteral("neu.ini"));
  QVERIFY(SchreibeProfil(datei, QStringLiteral("Einstellung"), QStringLiteral("Groesse"), QStringLiteral("900x700")));
  QVERIFY(SchreibeProfil(datei, QStringLiteral("Einstellung"), QStringLiteral("Auswahl"), QStringLiteral("-1")));
  QCOMPARE(Lies(datei), QByteArray("[Einstellung]\r\nGroesse=900x700\r\nAuswahl=-1\r\n"));
  QCOMPARE(LiesProfil(datei, QStringLiteral("EINSTELLUNG"), QStringLiteral("auswahl")), QStringLiteral("-1"));
}

void TestApp::profilUeberVerweis() {
  // Settings kept elsewhere and linked in: the link stays, the file it points to gets the value.
  QVERIFY(QDir().mkpath(FOrdner->filePath(QStringLiteral("woanders"))));
  const QString ziel = FOrdner->filePath(QStringLiteral("woanders/echt.ini"));
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  Schreibe(ziel, "[Einstellung]\r\nAuswahl=0\r\n");
  QVERIFY(QFile::link(ziel, ini));
  QVERIFY(SchreibeProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Auswahl"), QStringLiteral("1")));
  QCOMPARE(QFileInfo(ini).symLinkTarget(), ziel);
  QCOMPARE(Lies(ziel), QByteArray("[Einstellung]\r\nAuswahl=1\r\n"));
  QCOMPARE(QDir(FOrdner->filePath(QStringLiteral("woanders"))).entryList(QDir::Files | QDir::Hidden),
           QStringList{QStringLiteral("echt.ini")});
}

void TestApp::profilUnicode_data() {
  QTest::addColumn<QByteArray>("marke");
  QTest::addColumn<QByteArray>("kodierung");
  // A line no decoder would give back as it was: it must stay byte for byte all the same.
  QTest::addColumn<QByteArray>("muell");
  QTest::newRow("utf16le_bom") << QByteArray("\xFF\xFE") << QByteArray("UTF-16LE") << QByteArray("\x00\xD8;\x00", 4);
  QTest::newRow("utf16be_bom") << QByteArray("\xFE\xFF") << QByteArray("UTF-16BE") << QByteArray("\xD8\x00\x00;", 4);
  QTest::newRow("utf8_bom") << QByteArray("\xEF\xBB\xBF") << QByteArray("UTF-8") << QByteArray("; \xC3\x28 \xFF");
}

void TestApp::profilUnicode() {
  QFETCH(QByteArray, marke);
  QFETCH(QByteArray, kodierung);
  QFETCH(QByteArray, muell);
  const auto k = [&kodierung](const char *text) { return Kodiert(kodierung.constData(), QString::fromUtf8(text)); };
  const QString datei = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  const QByteArray kopf = marke + k("; Bad Tölz\r\n") + muell + k("\r\n[Einstellung]\r\nGroesse = 900x700\r\n");
  const QByteArray adresse = k("KartenAdresse=https://karte.example/suche?q=Bad Tölz\r\n");
  Schreibe(datei, kopf + k("Auswahl=0\r\n") + adresse);

  const QString e = QStringLiteral("Einstellung");
  QCOMPARE(LiesProfil(datei, e, QStringLiteral("Groesse")), QStringLiteral("900x700"));
  QCOMPARE(LiesProfil(datei, e, QStringLiteral("KartenAdresse")),
           QString::fromUtf8("https://karte.example/suche?q=Bad Tölz"));
  QVERIFY(SchreibeProfil(datei, e, QStringLiteral("Auswahl"), QStringLiteral("1")));
  QVERIFY(SchreibeProfil(datei, e, QStringLiteral("Neu"), QString::fromUtf8("ä€")));
  QCOMPARE(Lies(datei), kopf + k("Auswahl=1\r\n") + adresse + k("Neu=ä€\r\n"));
}

void TestApp::profilKeineRegulaereDatei_data() {
#ifdef Q_OS_UNIX
  QTest::addColumn<QString>("art");
  QTest::newRow("folder") << "folder";
  QTest::newRow("fifo") << "fifo";
  QTest::newRow("dev_zero_link") << "dev_zero_link";
  QTest::newRow("oversized") << "oversized";
#endif
}

void TestApp::profilKeineRegulaereDatei() {
#ifdef Q_OS_UNIX
  QFETCH(QString, art);
  BaueBaum(FOrdner->path());
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  if (art == QLatin1String("folder"))
    QVERIFY(QDir().mkpath(ini));
  else if (art == QLatin1String("fifo"))
    QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
  else if (art == QLatin1String("dev_zero_link"))
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), ini));
  else
    Schreibe(ini, QByteArray("[Einstellung]\r\nGroesse=900x700\r\n") + QByteArray(2 * 1024 * 1024, ';'));
  const QByteArray vorher = Merkmale(ini);

  // On a thread of its own: a read that waits for a pipe's writer (or never ends) fails the test after a
  // generous bound instead of hanging it.
  struct TErgebnis {
    std::atomic<bool> Fertig{false};
    QString Gelesen;
    bool Geschrieben = true;
  };
  auto ergebnis = std::make_shared<TErgebnis>();
  std::thread([ergebnis, ini] {
    const QString e = QStringLiteral("Einstellung");
    ergebnis->Gelesen = LiesProfil(ini, e, QStringLiteral("Groesse"), QStringLiteral("vorgabe"));
    ergebnis->Geschrieben = SchreibeProfil(ini, e, QStringLiteral("Auswahl"), QStringLiteral("1"));
    ergebnis->Fertig = true;
  }).detach();
  QTRY_VERIFY_WITH_TIMEOUT(ergebnis->Fertig, 20000);
  QCOMPARE(ergebnis->Gelesen, QStringLiteral("vorgabe"));
  QVERIFY(!ergebnis->Geschrieben);
  QCOMPARE(Merkmale(ini), vorher);

  // The window starts with the layout size and leaves the thing alone when it closes.
  TMainForm *fenster = NeuesFenster();
  QCOMPARE(fenster->Hoehe(), 734);
  delete fenster;
  QCOMPARE(Merkmale(ini), vorher);
#else
  QSKIP("needs pipes and /dev/zero");
#endif
}

void TestApp::profilSchreibenScheitertSauber_data() {
#ifdef Q_OS_UNIX
  QTest::addColumn<int>("ordnerModus"); // 0555: no new file can be made beside the INI
  QTest::addColumn<int>("dateiModus");
  QTest::addColumn<QByteArray>("vorher");
  QTest::addColumn<int>("laenge");
  QTest::addColumn<bool>("erfolg");
  const QByteArray alt("; Notiz\r\n[Einstellung]\r\nGroesse=900x700\r\nAuswahl=0\r\n");
  const QByteArray lang = alt + "KartenAdresse=" + QByteArray(800, 'b') + "\r\n";
  QTest::newRow("beside_too_large") << 0777 << 0666 << alt << 2048 << false;
  QTest::newRow("beside_no_file_before") << 0777 << 0666 << QByteArray() << 2048 << false;
  QTest::newRow("beside_fits") << 0777 << 0666 << alt << 10 << true;
  QTest::newRow("read_only_file_kept") << 0777 << 0444 << alt << 10 << false;
  QTest::newRow("in_place_too_large") << 0555 << 0666 << alt << 2048 << false;
  QTest::newRow("in_place_fits") << 0555 << 0666 << alt << 10 << true;
  QTest::newRow("in_place_shrinks") << 0555 << 0666 << lang << 10 << true;
  QTest::newRow("in_place_no_file_before") << 0555 << 0666 << QByteArray() << 10 << false;
#endif
}

void TestApp::profilSchreibenScheitertSauber() {
#ifdef Q_OS_UNIX
  QFETCH(int, ordnerModus);
  QFETCH(int, dateiModus);
  QFETCH(QByteArray, vorher);
  QFETCH(int, laenge);
  QFETCH(bool, erfolg);
  const QString e = QStringLiteral("Einstellung");
  const QString schluessel = QStringLiteral("KartenAdresse");
  const QString wert(laenge, QLatin1Char('a'));
  const std::optional<QByteArray> vorbild = Vorbild(FOrdner->path(), vorher, e, schluessel, wert);
  QVERIFY(vorbild);
  const QByteArray gewuenscht = *vorbild;

  const QString ordner = FOrdner->filePath(QStringLiteral("ordner"));
  const QByteArray ordnerName = QFile::encodeName(ordner);
  const QString ini = ordner + QStringLiteral("/Kennzeichen.ini");
  QVERIFY(QDir().mkpath(ordner));
  if (!vorher.isNull()) {
    Schreibe(ini, vorher);
    QVERIFY(::chmod(QFile::encodeName(ini).constData(), mode_t(dateiModus)) == 0);
  }
  // Reachable for the unprivileged user the child becomes when the test runs as root.
  QVERIFY(::chmod(QFile::encodeName(FOrdner->path()).constData(), 0755) == 0);
  QVERIFY(::chmod(ordnerName.constData(), mode_t(ordnerModus)) == 0);

  // A full disk without a mount: files may grow to 1 KB only, and the limit's signal is ignored, so
  // every write beyond it fails. In a child, which keeps the limit and gives up root's right to write
  // anywhere.
  const pid_t kind = ::fork();
  if (kind == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(3);
    if ((::access(ordnerName.constData(), W_OK) == 0) != bool(ordnerModus & 0200))
      ::_exit(4);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit grenze{1024, 1024};
    if (::setrlimit(RLIMIT_FSIZE, &grenze) != 0)
      ::_exit(5);
    ::_exit(SchreibeProfil(ini, e, schluessel, wert) ? 0 : 1);
  }
  int status = 0;
  QCOMPARE(::waitpid(kind, &status, 0), kind);
  QVERIFY(::chmod(ordnerName.constData(), 0755) == 0);
  QVERIFY(WIFEXITED(status));
  QCOMPARE(WEXITSTATUS(status), erfolg ? 0 : 1);
  if (erfolg)
    QCOMPARE(Lies(ini), gewuenscht);
  else if (vorher.isNull())
    QVERIFY(!QFile::exists(ini));
  else
    QCOMPARE(Lies(ini), vorher);
  // No temporary file is left behind.
  QCOMPARE(QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
           QFile::exists(ini) ? QStringList{QStringLiteral("Kennzeichen.ini")} : QStringList{});
#else
  QSKIP("needs fork and file-size limits");
#endif
}

#ifdef Q_OS_UNIX
namespace {

TSchreibSchritt Anhalten = TSchreibSchritt::KopieAngelegt;
int AnhaltenMit = SIGKILL;
void HalteAn(TSchreibSchritt schritt) {
  if (schritt == Anhalten)
    ::raise(AnhaltenMit);
}

// A child that may not make files in a read-only folder, even when the test runs as root.
bool WerdeNiemand() { return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0); }

// Writes the key in a child process that a kill stops at the step, as a user other than root; the
// child's wait status, or -1.
int SchreibeBisZumSchritt(const QString &ini, const QString &abschnitt, const QString &schluessel, const QString &wert,
                          TSchreibSchritt schritt) {
  const pid_t kind = ::fork();
  if (kind == 0) {
    if (!WerdeNiemand())
      ::_exit(3);
    Anhalten = schritt;
    AnhaltenMit = SIGKILL;
    SetzeSchreibHaken(HalteAn);
    ::_exit(SchreibeProfil(ini, abschnitt, schluessel, wert) ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(kind, &status, 0) == kind ? status : -1;
}

// The folder's entries besides the settings file.
QStringList Reste(const QString &ordner) {
  QStringList namen = QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  namen.removeAll(QStringLiteral("Kennzeichen.ini"));
  return namen;
}

} // namespace
#endif

void TestApp::profilNachAbbruch_data() {
#ifdef Q_OS_UNIX
  QTest::addColumn<bool>("ordnerSchreibbar");
  QTest::addColumn<QByteArray>("vorher"); // null: no file before
  QTest::addColumn<QString>("wert");
  const QByteArray alt("; Notiz\r\n[Einstellung]\r\nGroesse=900x700\r\nKartenAdresse=https://example.org/\r\n");
  const QByteArray utf16 =
      QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE)(QString::fromLatin1(alt));
  QTest::newRow("beside_grows") << true << alt << "https://example.org/karte/";
  QTest::newRow("beside_no_file_before") << true << QByteArray() << "https://example.org/";
  QTest::newRow("in_place_grows") << false << alt << "https://example.org/karte/";
  QTest::newRow("in_place_shrinks") << false << alt << "https://a.de/";
  QTest::newRow("in_place_same_length") << false << alt << "https://example.net/";
  QTest::newRow("in_place_utf16_shrinks") << false << utf16 << "https://a.de/";
  QTest::newRow("in_place_large_file") << false << QByteArray(6000, ';') + "\r\n" + alt << "https://a.de/";
#endif
}

// A write stopped at each of its steps, as a kill would stop it: the file is the old one or the new one,
// no empty file appears, and the next start removes what the write left beside it.
void TestApp::profilNachAbbruch() {
#ifdef Q_OS_UNIX
  QFETCH(bool, ordnerSchreibbar);
  QFETCH(QByteArray, vorher);
  QFETCH(QString, wert);
  const QString e = QStringLiteral("Einstellung");
  const QString k = QStringLiteral("KartenAdresse");
  const std::optional<QByteArray> vorbild = Vorbild(FOrdner->path(), vorher, e, k, wert);
  QVERIFY(vorbild);
  const QByteArray neu = *vorbild;
  const QString ordner = FOrdner->filePath(QStringLiteral("ordner"));
  const QByteArray ordnerName = QFile::encodeName(ordner);
  const QString ini = ordner + QStringLiteral("/Kennzeichen.ini");
  QVERIFY(::chmod(QFile::encodeName(FOrdner->path()).constData(), 0755) == 0);

  for (TSchreibSchritt schritt :
       {TSchreibSchritt::KopieAngelegt, TSchreibSchritt::KopieGeschrieben, TSchreibSchritt::Ersetzt,
        TSchreibSchritt::AnOrtGeschrieben, TSchreibSchritt::AnOrtGekuerzt}) {
    QVERIFY(QDir().mkpath(ordner));
    QVERIFY(::chmod(ordnerName.constData(), 0755) == 0);
    QFile::remove(ini);
    if (!vorher.isNull()) {
      Schreibe(ini, vorher);
      QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0666) == 0);
    }
    QVERIFY(::chmod(ordnerName.constData(), ordnerSchreibbar ? 0777 : 0555) == 0);
    const int status = SchreibeBisZumSchritt(ini, e, k, wert, schritt);
    QVERIFY(status != -1);
    QVERIFY(::chmod(ordnerName.constData(), 0755) == 0);
    const QByteArray danach = QFile::exists(ini) ? Lies(ini) : QByteArray();
    const QString fall = QStringLiteral("step %1").arg(int(schritt));
    if (WIFEXITED(status)) {
      // The write never came to that step, and ended as it would have anyway.
      QVERIFY2(WEXITSTATUS(status) == 0, qPrintable(fall));
      QVERIFY2(danach == neu, qPrintable(fall));
    } else {
      QVERIFY2(WIFSIGNALED(status), qPrintable(fall));
      if (vorher.isNull())
        QVERIFY2(!QFile::exists(ini) || danach == neu, qPrintable(fall));
      else
        QVERIFY2(danach == vorher || danach.startsWith(neu), qPrintable(fall));
      // A shorter content may still carry the blank lines that filled it: they read as nothing.
      if (danach.size() > neu.size() && danach.startsWith(neu)) {
        QCOMPARE(danach.size(), vorher.size());
        QCOMPARE(LiesProfil(ini, e, k), wert);
        QCOMPARE(LiesProfil(ini, e, QStringLiteral("Groesse")), QStringLiteral("900x700"));
      }
    }
    QVERIFY2(QDir(ordner).exists(QStringLiteral("Kennzeichen.ini")) || vorher.isNull(), qPrintable(fall));
    // The next start leaves only the settings file.
    RaeumeReste(ini);
    QVERIFY2(Reste(ordner).isEmpty(), qPrintable(Reste(ordner).join(u' ')));
  }

  // The copy of an instance that is saving right now is not a leftover.
  if (ordnerSchreibbar) {
    QFile::remove(ini);
    if (!vorher.isNull())
      Schreibe(ini, vorher);
    const pid_t kind = ::fork();
    if (kind == 0) {
      Anhalten = TSchreibSchritt::KopieAngelegt;
      AnhaltenMit = SIGSTOP;
      SetzeSchreibHaken(HalteAn);
      ::_exit(SchreibeProfil(ini, e, k, wert) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(kind, &status, WUNTRACED), kind);
    QVERIFY(WIFSTOPPED(status));
    RaeumeReste(ini);
    QCOMPARE(Reste(ordner).size(), 1);
    ::kill(kind, SIGCONT);
    QCOMPARE(::waitpid(kind, &status, 0), kind);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QCOMPARE(Lies(ini), neu);
    QVERIFY(Reste(ordner).isEmpty());
  }
#else
  QSKIP("needs fork and signals");
#endif
}

// The real thing: a process that saves again and again, killed with SIGKILL at random moments while
// two instances save at once, in a folder where the file can only be rewritten in place.
void TestApp::profilNachKill9() {
#ifdef Q_OS_UNIX
  const QString ordner = FOrdner->filePath(QStringLiteral("ordner"));
  const QByteArray ordnerName = QFile::encodeName(ordner);
  const QString ini = ordner + QStringLiteral("/Kennzeichen.ini");
  QVERIFY(QDir().mkpath(ordner));
  const QString e = QStringLiteral("Einstellung");
  const QString k = QStringLiteral("KartenAdresse");
  const QString kurz = QStringLiteral("https://a.de/");
  const QString lang = QStringLiteral("https://www.example.org/karte/");
  const QByteArray mitKurz = "[Einstellung]\r\nGroesse=900x700\r\nKartenAdresse=" + kurz.toLatin1() + "\r\n";
  const QByteArray mitLang = "[Einstellung]\r\nGroesse=900x700\r\nKartenAdresse=" + lang.toLatin1() + "\r\n";
  Schreibe(ini, mitKurz);
  QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0666) == 0);
  QVERIFY(::chmod(QFile::encodeName(FOrdner->path()).constData(), 0755) == 0);
  QVERIFY(::chmod(ordnerName.constData(), 0555) == 0);
  QRandomGenerator zufall(19);
  for (int runde = 0; runde < 40; ++runde) {
    pid_t kinder[2];
    for (pid_t &kind : kinder) {
      kind = ::fork();
      if (kind == 0) {
        if (!WerdeNiemand())
          ::_exit(3);
        for (int i = 0;; ++i)
          SchreibeProfil(ini, e, k, i % 2 ? kurz : lang);
      }
    }
    ::usleep(useconds_t(zufall.bounded(500, 5000)));
    for (pid_t kind : kinder)
      ::kill(kind, SIGKILL);
    for (pid_t kind : kinder) {
      int status = 0;
      QCOMPARE(::waitpid(kind, &status, 0), kind);
      QVERIFY(WIFSIGNALED(status));
    }
    const QByteArray danach = Lies(ini);
    const QByteArray gefuellt = mitKurz + QByteArray(mitLang.size() - mitKurz.size(), '\n');
    QVERIFY2(danach == mitKurz || danach == mitLang || danach == gefuellt, danach.constData());
  }

  // The moment the kills above only hit now and then, every time: a shorter save stopped after its
  // filled write, before the cut. The saves after it give the file without the filling, in place.
  const auto speichere = [&](const QString &wert, TSchreibSchritt schritt) {
    return SchreibeBisZumSchritt(ini, e, k, wert, schritt);
  };
  Schreibe(ini, mitLang);
  const int status = speichere(kurz, TSchreibSchritt::AnOrtGeschrieben);
  QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  QCOMPARE(Lies(ini), mitKurz + QByteArray(mitLang.size() - mitKurz.size(), '\n'));
  QCOMPARE(speichere(lang, TSchreibSchritt::KopieAngelegt), 0);
  QCOMPARE(Lies(ini), mitLang);
  QCOMPARE(speichere(kurz, TSchreibSchritt::KopieAngelegt), 0);
  QCOMPARE(Lies(ini), mitKurz);

  // A process that keeps the file locked for good costs the save, not the end of the program.
  const QByteArray vorher = Lies(ini);
  const int fremd = ::open(QFile::encodeName(ini).constData(), O_RDONLY | O_CLOEXEC);
  QVERIFY(fremd >= 0);
  QCOMPARE(::flock(fremd, LOCK_EX), 0);
  const pid_t kind = ::fork();
  if (kind == 0)
    ::_exit(WerdeNiemand() && !SchreibeProfil(ini, e, k, QStringLiteral("https://b.de/")) ? 0 : 1);
  int gesperrt = 0;
  QCOMPARE(::waitpid(kind, &gesperrt, 0), kind);
  ::close(fremd);
  QVERIFY(WIFEXITED(gesperrt) && WEXITSTATUS(gesperrt) == 0);
  QCOMPARE(Lies(ini), vorher);

  QVERIFY(::chmod(ordnerName.constData(), 0755) == 0);
  QCOMPARE(Reste(ordner), QStringList());
#else
  QSKIP("needs fork and signals");
#endif
}

void TestApp::groesse_data() {
  QTest::addColumn<QString>("wert");
  QTest::addColumn<bool>("gueltig");
  QTest::addColumn<int>("breite");
  QTest::addColumn<int>("hoehe");
  QTest::newRow("plain") << "900x700" << true << 900 << 700;
  QTest::newRow("seven_digits_after_x") << "900x7001234" << true << 900 << 70012;
  QTest::newRow("upper_case_x") << "900X700" << false << 0 << 0;
  QTest::newRow("no_x") << "900" << false << 0 << 0;
  QTest::newRow("letters") << "abcxdef" << false << 0 << 0;
  QTest::newRow("second_x_in_height") << "900x7x0" << false << 0 << 0;
  QTest::newRow("empty_height") << "900x" << false << 0 << 0;
  QTest::newRow("zero_parses") << "0x0" << true << 0 << 0;
  QTest::newRow("blank_after_width") << "900 x700" << false << 0 << 0;
  QTest::newRow("blank_before_height") << "900x 700" << true << 900 << 700;
  QTest::newRow("blank_inside_height") << "900x70 0" << false << 0 << 0;
  QTest::newRow("largest_int") << "2147483647x2147483647" << true << INT_MAX << 21474;
}

void TestApp::groesse() {
  QFETCH(QString, wert);
  QFETCH(bool, gueltig);
  const auto ergebnis = LiesGroesse(wert);
  QCOMPARE(ergebnis.has_value(), gueltig);
  if (gueltig) {
    QTEST(ergebnis->Breite, "breite");
    QTEST(ergebnis->Hoehe, "hoehe");
  }
}

void TestApp::fensterPlatz_data() {
  QTest::addColumn<QSize>("gespeichert");
  QTest::addColumn<QRect>("frei");
  QTest::addColumn<bool>("gueltig");
  QTest::addColumn<QSize>("groesse");
  QTest::addColumn<QPoint>("position");
  const QRect schirm(0, 0, 1920, 1200);
  // A second screen right of the first, with a panel along its top.
  const QRect rechts(1920, 30, 1280, 994);
  QTest::newRow("offset_area") << QSize(900, 700) << rechts << true << QSize(900, 700) << QPoint(2110, 177);
  QTest::newRow("cut_on_offset_area") << QSize(99999, 800) << rechts << true << QSize(1280, 800) << QPoint(1920, 127);
  QTest::newRow("smallest_client") << QSize(17, 40) << schirm << true << QSize(17, 40) << QPoint(951, 580);
  QTest::newRow("screen_smaller_than_frame") << QSize(900, 700) << QRect(0, 0, 10, 10) << false << QSize() << QPoint();
  QTest::newRow("no_screen") << QSize(900, 700) << QRect() << false << QSize() << QPoint();
}

void TestApp::fensterPlatz() {
  QFETCH(QSize, gespeichert);
  QFETCH(QRect, frei);
  QFETCH(bool, gueltig);
  const auto g = PassendeGroesse({gespeichert.width(), gespeichert.height()}, TMainForm::Rahmen(), frei.size());
  QCOMPARE(g.has_value(), gueltig);
  if (!gueltig)
    return;
  QTEST(QSize(g->Breite, g->Hoehe), "groesse");
  QTEST(FensterPosition(QSize(g->Breite, g->Hoehe), frei), "position");
}

// ---- start-up and shutdown ------------------------------------------------------------------------

void TestApp::fehlenderOrdner_data() {
  QTest::addColumn<QStringList>("ohne");
  QTest::addColumn<QString>("genannt");
  QTest::addColumn<bool>("aeFett");
  QTest::newRow("austria_before_f_j") << QStringList{"Bilder/Österreich/A-Z", "Bilder/Deutschland/F-J"}
                                      << "Bilder/Österreich/A-Z" << false;
  QTest::newRow("a_e") << QStringList{"Bilder/Deutschland/A-E"} << "Bilder/Deutschland/A-E" << true;
  QTest::newRow("u_z_last") << QStringList{"Bilder/Deutschland/U-Z"} << "Bilder/Deutschland/U-Z" << true;
}

void TestApp::fehlenderOrdner() {
  QFETCH(QStringList, ohne);
  QFETCH(QString, genannt);
  QFETCH(bool, aeFett);
  BaueBaum(FOrdner->path(), ohne);
  TMainForm *fenster = NeuesFenster(false);
  QVERIFY(fenster->Abgebrochen());
  QCOMPARE(Zeugen->Meldungen.size(), 1);
  QCOMPARE(Zeugen->Meldungen.first(), QStringLiteral("Verzeichnis: ") + FOrdner->path() + QLatin1Char('/') + genannt +
                                  QStringLiteral("/\r\nist nicht vorhanden!\r\n\t\tDas Programm wird beendet."));
  QCOMPARE(fenster->A_E_Button->font().bold(), aeFett);
  delete fenster;
  // The fatal end writes no settings.
  QVERIFY(!QFile::exists(FOrdner->filePath(QStringLiteral("Kennzeichen.ini"))));
}

void TestApp::startMitGroesseUndAdresse() {
  BaueBaum(FOrdner->path());
  Schreibe(FOrdner->filePath(QStringLiteral("Kennzeichen.ini")),
           "[Einstellung]\r\nGroesse=900x700\r\nKartenAdresse=\r\n");
  TMainForm *fenster = NeuesFenster();
  QVERIFY(!fenster->Abgebrochen());
  QCOMPARE(fenster->Breite(), 900);
  QCOMPARE(fenster->Hoehe(), 700);
  QCOMPARE(fenster->KartenAdresse(), StandardKartenAdresse());
  QVERIFY(!fenster->KarteBtn->isEnabled());
  QVERIFY(fenster->A_E_Button->font().bold());
  QVERIFY(Zeugen->Meldungen.isEmpty());
  delete fenster;
  QCOMPARE(LiesProfil(FOrdner->filePath(QStringLiteral("Kennzeichen.ini")), QStringLiteral("Einstellung"),
                      QStringLiteral("Groesse")),
           QStringLiteral("900x700"));
}

void TestApp::startGroesse_data() {
  QTest::addColumn<QString>("wert");
  QTest::addColumn<QSize>("groesse"); // outer size it opens with and writes back
  QTest::addColumn<QPoint>("position");
  // The test screen is 1920 x 1200; the layout size 770 x 734 sits centred at 575, 233.
  const QSize layout(770, 734);
  if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2")) {
    // Twice the scale (tst_app_2x): the screen offers 960 x 600 of its own pixels.
    QTest::newRow("taller_than_screen_scale_2") << "1200x99999" << QSize(960, 600) << QPoint(0, 0);
    // The first window too is fitted to the screen: 734 would reach below it.
    QTest::newRow("layout_on_scale_2") << "" << QSize(770, 600) << QPoint(95, 0);
    return;
  }
  const QPoint mitte(575, 233);
  QTest::newRow("plain") << "900x700" << QSize(900, 700) << QPoint(510, 250);
  QTest::newRow("blank_after_width") << "900 x700" << layout << mitte;
  QTest::newRow("zero") << "0x0" << layout << mitte;
  QTest::newRow("one_by_one") << "1x1" << layout << mitte;
  QTest::newRow("height_39") << "800x39" << layout << mitte;
  QTest::newRow("width_16") << "16x700" << layout << mitte;
  QTest::newRow("height_40_one_pixel") << "800x40" << QSize(800, 40) << QPoint(560, 580);
  QTest::newRow("largest") << "2147483647x2147483647" << QSize(1920, 1200) << QPoint(0, 0);
  QTest::newRow("taller_than_screen") << "1200x99999" << QSize(1200, 1200) << QPoint(360, 0);
}

void TestApp::startGroesse() {
  QFETCH(QString, wert);
  QFETCH(QSize, groesse);
  QFETCH(QPoint, position);
  BaueBaum(FOrdner->path());
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  Schreibe(ini, "[Einstellung]\r\nGroesse=" + wert.toLatin1() + "\r\n");
  TMainForm *fenster = NeuesFenster(false);
  fenster->ZentriereAufDemSchirm();
  fenster->show();
  QVERIFY(QTest::qWaitForWindowExposed(fenster));
  QCOMPARE(QSize(fenster->Breite(), fenster->Hoehe()), groesse);
  QCOMPARE(fenster->pos(), position);
  delete fenster;
  // What is written back is again a size that fits, and one the next start takes as it is.
  const QSize frei = QGuiApplication::primaryScreen()->availableGeometry().size();
  const QSize zurueck = groesse.boundedTo(frei);
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Groesse")),
           QStringLiteral("%1x%2").arg(zurueck.width()).arg(zurueck.height()));
}

void TestApp::unicodeEinstellungenBleiben() {
  // What a Windows editor saves as "Unicode": UTF-16 LE with its mark.
  BaueBaum(FOrdner->path());
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  const auto datei = [](const char *groesse) {
    return QByteArray("\xFF\xFE") +
           Kodiert("UTF-16LE",
                   QString::fromUtf8("; für Bad Tölz\r\n[Einstellung]\r\nGroesse=") + QLatin1String(groesse) +
                       QString::fromUtf8("\r\nAuswahl=1\r\nKartenAdresse=https://karte.example/?q=Bad Tölz\r\n"));
  };
  Schreibe(ini, datei("900x700"));
  TMainForm *fenster = NeuesFenster();
  QCOMPARE(fenster->Breite(), 900);
  QCOMPARE(fenster->Hoehe(), 700);
  QCOMPARE(fenster->Gruppe(), 1);
  QCOMPARE(fenster->KartenAdresse(), QString::fromUtf8("https://karte.example/?q=Bad Tölz"));
  delete fenster;
  QCOMPARE(Lies(ini), datei("900x700"));

  fenster = NeuesFenster();
  fenster->SetzeBreite(1000);
  QTRY_COMPARE(fenster->Breite(), 1000);
  delete fenster;
  QCOMPARE(Lies(ini), datei("1000x700"));
}

void TestApp::klicksAufDerFrage() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  const auto frage = [fenster] {
    fenster->ScrollBox1->hide();
    fenster->Panel1->show();
    fenster->Panel2->show();
  };
  frage();
  // Labels have no handler: a click on them stays on the question screen.
  QTest::mouseClick(fenster->Label1, Qt::LeftButton);
  QTest::mouseClick(fenster->Label2, Qt::LeftButton);
  QTest::mouseClick(fenster->Image3, Qt::LeftButton);
  QVERIFY(fenster->ScrollBox1->isHidden());
  // A press on the panel that is released elsewhere is no click.
  QTest::mousePress(fenster->Panel1, Qt::LeftButton, {}, QPoint(5, 400));
  QTest::mouseRelease(fenster->Panel1, Qt::LeftButton, {}, QPoint(-50, 400));
  QVERIFY(fenster->ScrollBox1->isHidden());
  // Beside the labels, on the free panel: back to the gallery.
  QTest::mouseClick(fenster->Panel1, Qt::LeftButton, {}, QPoint(5, 400));
  QVERIFY(!fenster->ScrollBox1->isHidden());
  frage();
  QTest::mouseClick(fenster->Image2, Qt::LeftButton);
  QVERIFY(!fenster->ScrollBox1->isHidden());
  delete fenster;
}

void TestApp::enterDruecktKnopf_data() {
  QTest::addColumn<QString>("knopf");
  QTest::addColumn<int>("taste");
  QTest::addColumn<Qt::KeyboardModifiers>("zusatz");
  QTest::addColumn<int>("klicks");
  QTest::addColumn<int>("hilfe");
  for (const char *name : {"ZeigDieAntwortBtn", "ZurueckBtn", "KarteBtn"}) {
    QTest::addRow("%s_return", name) << name << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 1 << 0;
    QTest::addRow("%s_keypad_enter", name)
        << name << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1 << 0;
  }
  QTest::newRow("ZeigDieAntwortBtn_space")
      << "ZeigDieAntwortBtn" << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 1 << 0;
  // "?" keeps the focus after its click; only F1 hands the help over again.
  QTest::newRow("HilfeBtn_return") << "HilfeBtn" << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 0 << 0;
  QTest::newRow("HilfeBtn_keypad_enter") << "HilfeBtn" << int(Qt::Key_Enter)
                                         << Qt::KeyboardModifiers(Qt::KeypadModifier) << 0 << 0;
  QTest::newRow("HilfeBtn_space") << "HilfeBtn" << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 0 << 0;
  QTest::newRow("HilfeBtn_f1") << "HilfeBtn" << int(Qt::Key_F1) << Qt::KeyboardModifiers() << 0 << 1;
}

// On the question screen a focused push button is pressed by Enter, as by Space, except "?".
void TestApp::enterDruecktKnopf() {
  QFETCH(QString, knopf);
  QFETCH(int, taste);
  QFETCH(Qt::KeyboardModifiers, zusatz);
  QFETCH(int, klicks);
  QFETCH(int, hilfe);
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->ScrollBox1->hide();
  for (QWidget *w : {static_cast<QWidget *>(fenster->Panel1), static_cast<QWidget *>(fenster->Panel2),
                     static_cast<QWidget *>(fenster->ZurueckBtn), static_cast<QWidget *>(fenster->ZeigDieAntwortBtn),
                     static_cast<QWidget *>(fenster->KarteBtn)})
    w->show();
  fenster->KarteBtn->setEnabled(true);
  // The paint of the switched screen gives the answer list the focus; it must be over before the
  // button takes it.
  QCoreApplication::processEvents();
  auto *ziel = fenster->findChild<QPushButton *>(knopf);
  QVERIFY(ziel);
  ziel->setFocus();
  QSignalSpy geklickt(ziel, &QPushButton::clicked);
  QTest::keyClick(fenster->windowHandle(), Qt::Key(taste), zusatz);
  QCOMPARE(geklickt.count(), klicks);
  int hilfeGeoeffnet = 0;
  for (const QUrl &url : std::as_const(Zeugen->Geoeffnet))
    hilfeGeoeffnet += url.isLocalFile();
  QCOMPARE(hilfeGeoeffnet, hilfe);
  if (ziel == fenster->HilfeBtn && taste != Qt::Key_F1)
    QVERIFY(fenster->ZeigDieAntwortBtn->hasFocus());
  delete fenster;
}

// The group list's drop-down items are 20 pixels high; the window icon has sixteen colours at most;
// the back button's arrow lies whole inside the button's frame.
void TestApp::kleineTeileDesLayouts() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  QComboBox *liste = fenster->ComboBox1;
  liste->showPopup();
  QAbstractItemView *ansicht = liste->view();
  QTRY_VERIFY(ansicht->isVisible());
  for (int i = 0; i < liste->count(); ++i)
    QCOMPARE(ansicht->visualRect(liste->model()->index(i, 0)).height(), 20);
  liste->hidePopup();

  const QImage symbol = fenster->windowIcon().pixmap(32, 32).toImage();
  QVERIFY(!symbol.isNull());
  QSet<QRgb> farben;
  for (int y = 0; y < symbol.height(); ++y)
    for (int x = 0; x < symbol.width(); ++x)
      farben.insert(symbol.pixel(x, y));
  QVERIFY2(farben.size() <= 16, qPrintable(QString::number(farben.size())));
  // Still the plate's blue band beside a white field.
  QVERIFY(farben.size() >= 3);
  QCOMPARE(qBlue(symbol.pixel(3, 16)) > qRed(symbol.pixel(3, 16)), true);
  QCOMPARE(symbol.pixel(24, 16), qRgb(255, 255, 255));

  fenster->ZurueckBtn->show();
  const auto tinte = [fenster] {
    const QImage knopf = fenster->ZurueckBtn->grab().toImage();
    int links = -1, rechts = -1;
    for (int x = 0; x < knopf.width(); ++x)
      for (int y = knopf.height() / 4; y < knopf.height() * 3 / 4; ++y)
        if (qGray(knopf.pixel(x, y)) < 64) {
          rechts = x;
          if (links < 0)
            links = x;
        }
    return std::make_pair(links, rechts);
  };
  // Dark ink between the frames, the arrow's head not cut by the left one...
  const auto [links, rechts] = tinte();
  QVERIFY2(links >= 3 && rechts <= fenster->ZurueckBtn->width() - 3 && rechts - links > 40,
           qPrintable(QStringLiteral("%1..%2").arg(links).arg(rechts)));
  // ...even when the caption's font is too wide for the button.
  QFont breit = fenster->ZurueckBtn->font();
  breit.setPixelSize(20);
  fenster->ZurueckBtn->setFont(breit);
  QVERIFY(QFontMetrics(breit).horizontalAdvance(fenster->ZurueckBtn->text()) > fenster->ZurueckBtn->width());
  const auto [breitLinks, breitRechts] = tinte();
  QVERIFY2(breitLinks >= 2 && breitRechts > fenster->ZurueckBtn->width() - 4,
           qPrintable(QStringLiteral("%1..%2").arg(breitLinks).arg(breitRechts)));
  delete fenster;
}

void TestApp::minimiertUndWiederhergestellt() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  const int trenner = fenster->Trenner->width();
  fenster->setWindowState(Qt::WindowMaximized);
  QTRY_VERIFY(fenster->MaximiertPerBefehl());
  fenster->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
  fenster->Trenner->resize(50, fenster->Trenner->height());
  // Back from the task bar counts as a restore: the flag goes and the separator comes back.
  fenster->setWindowState(Qt::WindowMaximized);
  QTRY_VERIFY(!fenster->MaximiertPerBefehl());
  QCOMPARE(fenster->Trenner->width(), trenner);
  delete fenster;
}

void TestApp::fehlendeVorlageBeendetDasProgramm() {
#ifdef Q_OS_LINUX
  // The whole program in a process of its own: the first paint's set-up finds no small template,
  // shows the fatal message (closed here by a terminating signal) and must end with status 0.
  BaueBaum(FOrdner->path());
  QVERIFY(QFile::remove(FOrdner->filePath(QStringLiteral("Bilder/Deutschland/D_Kennzeichen_klein.bmp"))));
  QProcess programm;
  StarteProgramm(programm, FOrdner->path());
  QVERIFY(programm.waitForStarted());
  // The signal is sent once the program has its handler.
  QTRY_VERIFY_WITH_TIMEOUT(FaengtTerm(programm), 20000);
  ::kill(static_cast<pid_t>(programm.processId()), SIGTERM);
  QVERIFY(programm.waitForFinished(20000));
  QCOMPARE(programm.exitStatus(), QProcess::NormalExit);
  QCOMPARE(programm.exitCode(), 0);
  QVERIFY(!QFile::exists(FOrdner->filePath(QStringLiteral("Kennzeichen.ini"))));
#else
  QSKIP("needs /proc");
#endif
}

void TestApp::schliessenSchreibtEinstellungen_data() {
  QTest::addColumn<bool>("maximieren");
  QTest::addColumn<bool>("wiederherstellen");
  QTest::addColumn<QString>("groesse");
  QTest::newRow("normal") << false << false << "800x650";
  QTest::newRow("closed_maximised_keeps_size") << true << false << "123x456";
  QTest::newRow("maximised_then_restored") << true << true << "800x650";
}

void TestApp::schliessenSchreibtEinstellungen() {
  QFETCH(bool, maximieren);
  QFETCH(bool, wiederherstellen);
  QFETCH(QString, groesse);
  BaueBaum(FOrdner->path());
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  Schreibe(ini, "[Einstellung]\r\nGroesse=123x456\r\nAuswahl=7\r\n");
  TMainForm *fenster = NeuesFenster();
  fenster->SetzeBreite(800);
  fenster->SetzeHoehe(650);
  QTRY_COMPARE(fenster->Breite(), 800);
  if (maximieren) {
    fenster->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(fenster->MaximiertPerBefehl());
  }
  if (wiederherstellen) {
    fenster->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!fenster->MaximiertPerBefehl());
    fenster->SetzeBreite(800);
    fenster->SetzeHoehe(650);
    QTRY_COMPARE(fenster->Hoehe(), 650);
  }
  fenster->ComboBox1->setCurrentIndex(-1);
  delete fenster;
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Auswahl")), QStringLiteral("-1"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Groesse")), groesse);
}

void TestApp::basisOrdnerImWurzelverzeichnis() {
  QCOMPARE(TDatenOrdner::Aus(QStringLiteral("/")).Einstellungen(), QStringLiteral("/Kennzeichen.ini"));
  QCOMPARE(TDatenOrdner::Aus(QStringLiteral("/home/x")).Hilfe(), QStringLiteral("/home/x/Nummernfibel-Hilfe.pdf"));
}

// ---- window, screens and keys -----------------------------------------------------------------------

void TestApp::relayout() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  QCOMPARE(fenster->width(), 754);
  QCOMPARE(fenster->height(), 695);
  QCOMPARE(fenster->Trenner->width(), 196);
  QCOMPARE(fenster->Panel1->geometry(), QRect(20, 214, 717, 441));
  QCOMPARE(fenster->ScrollBox1->width(), 715);
  QCOMPARE(fenster->ComboBox1->width(), 657);
  QCOMPARE(fenster->StatusBar1->geometry(), QRect(0, 671, 754, 24));
  QCOMPARE(fenster->SuchEdit->geometry(), QRect(682, 79, 50, 24));
  // Both result pictures land on one spot: 20 + 358 - 103 - 75.
  QCOMPARE(fenster->RichtigImage->x(), 200);
  QCOMPARE(fenster->FalschImage->x(), 200);

  // Anchors: wider by 100 pixels.
  fenster->SetzeBreite(870);
  QTRY_COMPARE(fenster->width(), 854);
  QCOMPARE(fenster->SuchEdit->x(), 782);
  QCOMPARE(fenster->Bevel1->width(), 815);
  QCOMPARE(fenster->ScrollBox1->width(), 815);
  QCOMPARE(fenster->Panel2->width(), 817);
  QCOMPARE(fenster->ComboBox1->width(), 757);
  QCOMPARE(fenster->Trenner->width(), 817 / 2 - 20 - 52 - 120 + 30);
  QCOMPARE(fenster->ToolBar1->width(), 854);
  QCOMPARE(fenster->A_E_Button->pos(), QPoint(80, 80));
  delete fenster;
}

void TestApp::schmalerAls580() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->SetzeBreite(500);
  QTRY_COMPARE(fenster->Breite(), 580);
  delete fenster;
}

void TestApp::bildschirme() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  auto sichtbar = [](QWidget *w) { return !w->isHidden(); };
  for (QWidget *w : {static_cast<QWidget *>(fenster->ScrollBox1), static_cast<QWidget *>(fenster->StatusBar1),
                     static_cast<QWidget *>(fenster->ComboBox1), static_cast<QWidget *>(fenster->HilfeBtn),
                     static_cast<QWidget *>(fenster->Bevel3), static_cast<QWidget *>(fenster->ToolBar1)})
    QVERIFY2(sichtbar(w), qPrintable(w->objectName()));
  for (QWidget *w : {static_cast<QWidget *>(fenster->Panel1), static_cast<QWidget *>(fenster->Panel2),
                     static_cast<QWidget *>(fenster->SucheButton), static_cast<QWidget *>(fenster->ProgressBar1)})
    QVERIFY2(!sichtbar(w), qPrintable(w->objectName()));

  // The question screen as a plate click leaves it, then back: everything of the gallery returns.
  fenster->ScrollBox1->hide();
  fenster->SuchEdit->hide();
  for (QWidget *w : {static_cast<QWidget *>(fenster->Panel1), static_cast<QWidget *>(fenster->Panel2),
                     static_cast<QWidget *>(fenster->Image1), static_cast<QWidget *>(fenster->ZurueckBtn),
                     static_cast<QWidget *>(fenster->KarteBtn), static_cast<QWidget *>(fenster->ZeigDieAntwortBtn)})
    w->show();
  fenster->Memo2->setPlainText(QStringLiteral("Antwort"));
  fenster->Galerie()->SetzeScrollBoxPosition(0);
  fenster->Panel1Click();
  QVERIFY(sichtbar(fenster->ScrollBox1));
  QVERIFY(sichtbar(fenster->SuchEdit));
  QCOMPARE(sichtbar(fenster->A_E_Button), fenster->Gruppe() == 0);
  for (QWidget *w : {static_cast<QWidget *>(fenster->Panel1), static_cast<QWidget *>(fenster->Panel2),
                     static_cast<QWidget *>(fenster->Image1), static_cast<QWidget *>(fenster->ZurueckBtn),
                     static_cast<QWidget *>(fenster->KarteBtn), static_cast<QWidget *>(fenster->ZeigDieAntwortBtn)})
    QVERIFY2(!sichtbar(w), qPrintable(w->objectName()));
  QVERIFY(fenster->Memo2->toPlainText().isEmpty());
  delete fenster;
}

void TestApp::tastenAufDerGalerie_data() {
  QTest::addColumn<int>("taste");
  QTest::addColumn<int>("erwartet");
  QTest::newRow("down") << int(Qt::Key_Down) << 500 + 99;
  QTest::newRow("up") << int(Qt::Key_Up) << 500 - 99;
  QTest::newRow("page_down") << int(Qt::Key_PageDown) << 500 + 198;
  QTest::newRow("page_up") << int(Qt::Key_PageUp) << 500 - 198;
  QTest::newRow("home") << int(Qt::Key_Home) << 0;
  QTest::newRow("end") << int(Qt::Key_End) << -1;
  QTest::newRow("letter_swallowed") << int(Qt::Key_H) << 500;
  QTest::newRow("tab_swallowed") << int(Qt::Key_Tab) << 500;
  QTest::newRow("enter_swallowed") << int(Qt::Key_Return) << 500;
  QTest::newRow("backspace_swallowed") << int(Qt::Key_Backspace) << 500;
  QTest::newRow("f1_swallowed") << int(Qt::Key_F1) << 500;
}

void TestApp::tastenAufDerGalerie() {
  QFETCH(int, taste);
  QFETCH(int, erwartet);
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->ScrollBox1->SetzeBereich(3000);
  fenster->ScrollBox1->SetzePosition(500);
  fenster->ComboBox1->setFocus();
  const int vorher = fenster->ComboBox1->currentIndex();
  QTest::keyClick(fenster->ComboBox1, Qt::Key(taste));
  if (erwartet < 0)
    erwartet = fenster->ScrollBox1->GroesstePosition();
  QCOMPARE(fenster->ScrollBox1->Position(), erwartet);
  QCOMPARE(fenster->ComboBox1->currentIndex(), vorher);
  QVERIFY(fenster->ScrollBox1->hasFocus());
  QVERIFY(Zeugen->Geoeffnet.isEmpty());
  delete fenster;
}

void TestApp::tastenImSuchfeld() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->SuchEdit->show();
  fenster->SuchEdit->setFocus();
  fenster->ScrollBox1->SetzeBereich(3000);
  QTest::keyClick(fenster->SuchEdit, Qt::Key_Down);
  QCOMPARE(fenster->ScrollBox1->Position(), 0);
  QVERIFY(fenster->SuchEdit->hasFocus());
  delete fenster;
}

void TestApp::tastenAufDerFrage() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->ScrollBox1->hide();
  fenster->Panel1->show();
  fenster->Panel2->show();
  fenster->ZeigDieAntwortBtn->show();
  fenster->Listbox1->setFocus();

  QTest::keyClick(fenster->Listbox1, Qt::Key_Space);
  QVERIFY(fenster->ZeigDieAntwortBtn->hasFocus());
  QTest::keyClick(fenster->ZeigDieAntwortBtn, Qt::Key_A);
  QVERIFY(fenster->Listbox1->hasFocus());
  QTest::keyClick(fenster->Listbox1, Qt::Key_Return);
  QVERIFY(fenster->ZeigDieAntwortBtn->hasFocus());

  QTest::keyClick(fenster->ZeigDieAntwortBtn, Qt::Key_F1);
  QCOMPARE(Zeugen->Geoeffnet.size(), 1);
  QCOMPARE(Zeugen->Geoeffnet.first(), QUrl::fromLocalFile(FOrdner->path() + QStringLiteral("/Nummernfibel-Hilfe.pdf")));

  QTest::keyClick(fenster->Listbox1, Qt::Key_Backspace);
  QVERIFY(!fenster->ScrollBox1->isHidden());
  QVERIFY(fenster->Panel1->isHidden());
  delete fenster;
}

void TestApp::klickGibtGalerieDenFokus() {
  BaueBaum(FOrdner->path());
  TMainForm *fenster = NeuesFenster();
  fenster->SuchEdit->show();
  fenster->SuchEdit->setFocus();
  QTest::mouseClick(fenster, Qt::LeftButton, {}, QPoint(5, 300));
  QVERIFY(fenster->ScrollBox1->hasFocus());
  fenster->SuchEdit->setFocus();
  QTest::mouseClick(fenster->ToolBar1, Qt::LeftButton, {}, QPoint(600, 10));
  QVERIFY(fenster->ScrollBox1->hasFocus());
  delete fenster;
}

void TestApp::vorgeleseneNamen_data() {
  QTest::addColumn<QString>("steuer");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("beschreibung");
  QTest::addColumn<QString>("text");
  // Visible captions and tool tips stay as laid out; the tool tip is what a screen reader adds.
  QTest::newRow("back_arrow") << "ZurueckBtn"
                              << "Zurück zur Galerie"
                              << "Zurück"
                              << "<------";
  QTest::newRow("glyph_only") << "ZeigDieAntwortBtn"
                              << "Zeig mir die richtige Antwort"
                              << ""
                              << "";
  QTest::newRow("help") << "HilfeBtn"
                        << "Hilfe"
                        << "Hilfedatei öffnen"
                        << "?";
  QTest::newRow("range_a_e") << "A_E_Button"
                             << "Bereich A bis E"
                             << ""
                             << "A - E";
  QTest::newRow("range_f_j") << "F_J_Button"
                             << "Bereich F bis J"
                             << ""
                             << "F - J";
  QTest::newRow("range_k_o") << "K_O_Button"
                             << "Bereich K bis O"
                             << ""
                             << "K - O";
  QTest::newRow("range_p_t") << "P_T_Button"
                             << "Bereich P bis T"
                             << ""
                             << "P - T";
  QTest::newRow("range_u_z") << "U_Z_Button"
                             << "Bereich U bis Z"
                             << ""
                             << "U - Z";
  QTest::newRow("search_button") << "SucheButton"
                                 << "Kennzeichen suchen"
                                 << "Suche starten"
                                 << "S";
  QTest::newRow("map_before_first_choice") << "KarteBtn"
                                           << "Landkreis / kreisfreie Stadt anzeigen"
                                           << "Legt den Namen in die Zwischenablage und öffnet die Karte"
                                           << "Landkreis / kreisfreie Stadt anzeigen";
  QTest::newRow("search_field") << "SuchEdit"
                                << "Gesuchtes Kennzeichen"
                                << "Suchtext eingeben"
                                << "";
  QTest::newRow("group_list") << "ComboBox1"
                              << "Gruppe der Kennzeichen"
                              << "Gruppe der Verkehrsschilder auswählen"
                              << "Nummernfibel in Deutschland";
  QTest::newRow("answer_list") << "Listbox1"
                               << "Mögliche Antworten"
                               << ""
                               << "";
  QTest::newRow("answer_box") << "Memo2"
                              << "Antwort"
                              << ""
                              << "";
}

void TestApp::vorgeleseneNamen() {
  QFETCH(QString, steuer);
  QFETCH(QString, name);
  QFETCH(QString, beschreibung);
  QFETCH(QString, text);
  BaueBaum(FOrdner->path());
  std::unique_ptr<TMainForm> fenster(NeuesFenster());
  QWidget *w = fenster->findChild<QWidget *>(steuer);
  QVERIFY(w);
  QAccessibleInterface *zugang = QAccessible::queryAccessibleInterface(w);
  QVERIFY(zugang);
  // Qt on Linux reads a drop-down list by its current choice and keeps the name for other platforms.
  QCOMPARE(qobject_cast<QComboBox *>(w) ? w->accessibleName() : zugang->text(QAccessible::Name), name);
  QCOMPARE(zugang->text(QAccessible::Description), beschreibung);
  if (auto *knopf = qobject_cast<QPushButton *>(w)) {
    QCOMPARE(zugang->role(), QAccessible::Button);
    QCOMPARE(knopf->text(), text);
    // A press through the accessibility layer is a click like the mouse's, once the button is enabled.
    QCOMPARE(zugang->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
             knopf->isEnabled());
  } else if (auto *liste = qobject_cast<QComboBox *>(w)) {
    QCOMPARE(liste->currentText(), text);
  }
}

void TestApp::statusleisteVorgelesen() {
  BaueBaum(FOrdner->path());
  QDir(FOrdner->path()).mkpath(QStringLiteral("Bilder/Deutschland/A-E"));
  QImage bild(40, 20, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QVERIFY(bild.save(FOrdner->filePath(QStringLiteral("Bilder/Deutschland/A-E/AB.jpg")), "JPG"));
  QList<QPair<QObject *, QAccessible::Event>> ansagen;
  SetzeAnsageZeuge([&ansagen](QObject *objekt, QAccessible::Event art) { ansagen.append({objekt, art}); });
  std::unique_ptr<TMainForm> fenster(NeuesFenster());
  QAccessibleInterface *leiste = QAccessible::queryAccessibleInterface(fenster->StatusBar1);
  QCOMPARE(leiste->role(), QAccessible::StatusBar);
  // The count line of the gallery, read as the bar's name; its change is announced.
  QTRY_COMPARE(fenster->StatusBar1->SimpleText(), QStringLiteral("      1 Nummernfibel "));
  QCOMPARE(leiste->text(QAccessible::Name), fenster->StatusBar1->SimpleText());
  QCOMPARE(leiste->text(QAccessible::Value), fenster->StatusBar1->SimpleText());
  QVERIFY(ansagen.contains(qMakePair(static_cast<QObject *>(fenster->StatusBar1), QAccessible::NameChanged)));
  ansagen.clear();
  // A reload with the same count says nothing new.
  fenster->FormResize();
  QCOMPARE(ansagen.count(qMakePair(static_cast<QObject *>(fenster->StatusBar1), QAccessible::NameChanged)), 0);
  SetzeAnsageZeuge({});
}

void TestApp::dunklesThemaAendertNichts() {
  BaueBaum(FOrdner->path());
  // The question screen's controls too, as a question shows them.
  auto Bild = [](TMainForm *fenster) {
    fenster->Panel1->show();
    fenster->Panel2->show();
    fenster->ZurueckBtn->show();
    fenster->Listbox1->addItems({QStringLiteral("Bamberg"), QStringLiteral("Berlin [Hauptstadt]")});
    fenster->Listbox1->setCurrentRow(1);
    return fenster->grab().toImage();
  };
  QImage hell;
  {
    std::unique_ptr<TMainForm> fenster(NeuesFenster());
    hell = Bild(fenster.get());
  }

  // A dark desktop: another style, a dark palette for the application and, as themes do, for
  // single classes of widgets.
  QPalette dunkel(QColor(49, 54, 59));
  for (QPalette::ColorRole rolle : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    dunkel.setColor(rolle, QColor(239, 240, 241));
  dunkel.setColor(QPalette::Base, QColor(35, 38, 41));
  QApplication::setStyle(QStringLiteral("Windows"));
  QApplication::setPalette(dunkel);
  for (const char *klasse : {"QPushButton", "QAbstractItemView", "QLineEdit", "QComboBox", "QTextEdit", "QLabel"})
    QApplication::setPalette(dunkel, klasse);
  QToolTip::setPalette(dunkel);

  std::unique_ptr<TMainForm> fenster(NeuesFenster());
  QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
  const struct {
    QWidget *Steuer;
    QPalette::ColorRole Rolle;
    QColor Farbe;
  } farben[] = {
      {fenster.get(), QPalette::Window, QColor(192, 192, 192)},
      {fenster->StatusBar1, QPalette::WindowText, Qt::black},
      {fenster->StatusBar1, QPalette::Window, QColor(192, 192, 192)},
      {fenster->ZurueckBtn, QPalette::ButtonText, Qt::black},
      {fenster->ZurueckBtn, QPalette::Button, QColor(239, 239, 239)},
      {fenster->HilfeBtn, QPalette::ButtonText, Qt::black},
      {fenster->Listbox1, QPalette::Base, Qt::white},
      {fenster->Listbox1, QPalette::Text, Qt::black},
      {fenster->SuchEdit, QPalette::Base, Qt::white},
      {fenster->SuchEdit, QPalette::Text, Qt::black},
      {fenster->ComboBox1, QPalette::ButtonText, Qt::black},
      {fenster->Panel1, QPalette::Window, Qt::white},
      {fenster->Label1, QPalette::WindowText, QColor(128, 128, 128)},
      {fenster->Memo2, QPalette::Text, Qt::black},
  };
  for (const auto &f : farben)
    QVERIFY2(f.Steuer->palette().color(f.Rolle) == f.Farbe,
             qPrintable(f.Steuer->objectName() + QLatin1Char(' ') + f.Steuer->palette().color(f.Rolle).name()));
  QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(239, 239, 239));
  QCOMPARE(QToolTip::palette().color(QPalette::ToolTipText), QColor(Qt::black));
  // Pixel for pixel the window of a light desktop.
  QCOMPARE(Bild(fenster.get()), hell);
  fenster.reset();

  // No dark class palette is left behind for the tests after this one.
  for (const char *klasse : {"QPushButton", "QAbstractItemView", "QLineEdit", "QComboBox", "QTextEdit", "QLabel"})
    QApplication::setPalette(FestePalette(), klasse);
}

namespace {
// WCAG's contrast ratio of two colours.
double Kontrast(QColor a, QColor b) {
  const auto hell = [](QColor c) {
    const auto kanal = [](double k) { return k <= 0.03928 ? k / 12.92 : std::pow((k + 0.055) / 1.055, 2.4); };
    return 0.2126 * kanal(c.redF()) + 0.7152 * kanal(c.greenF()) + 0.0722 * kanal(c.blueF());
  };
  const double la = hell(a), lb = hell(b);
  return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}
} // namespace

void TestApp::fokusSichtbar_data() {
  QTest::addColumn<QString>("steuer");
  QTest::addColumn<bool>("frage"); // on the question screen
  for (const char *name : {"ScrollBox1", "ComboBox1", "HilfeBtn", "A_E_Button", "SuchEdit"})
    QTest::newRow(name) << name << false;
  for (const char *name : {"Listbox1", "Memo2", "ZeigDieAntwortBtn", "ZurueckBtn", "KarteBtn"})
    QTest::newRow(name) << name << true;
}

// A ring of two pixels in a colour that stands out from the window, the panels and the controls; once
// the focus has gone, every pixel is as it was before.
void TestApp::fokusSichtbar() {
  QFETCH(QString, steuer);
  QFETCH(bool, frage);
  BaueBaum(FOrdner->path());
  std::unique_ptr<TMainForm> fenster(NeuesFenster());
  QTRY_VERIFY(fenster->Eingerichtet());
  if (frage) {
    fenster->ScrollBox1->hide();
    for (QWidget *w : {static_cast<QWidget *>(fenster->Panel1), static_cast<QWidget *>(fenster->Panel2),
                       static_cast<QWidget *>(fenster->ZurueckBtn), static_cast<QWidget *>(fenster->ZeigDieAntwortBtn),
                       static_cast<QWidget *>(fenster->KarteBtn)})
      w->show();
    fenster->KarteBtn->setEnabled(true);
  } else {
    fenster->A_E_Button->show();
    fenster->SuchEdit->show();
  }
  auto *ziel = fenster->findChild<QWidget *>(steuer);
  QVERIFY(ziel);
  fenster->setFocus();
  QVERIFY(!ziel->hasFocus());
  const QImage vorher = fenster->grab().toImage();

  ziel->setFocus();
  QVERIFY(ziel->hasFocus());
  QCOMPARE(fenster->FokusRahmen->Ziel(), ziel);
  const QImage bild = ziel->grab().toImage();
  const QColor farbe = TFokusRahmen::Farbe;
  for (const QPoint p : {QPoint(0, bild.height() / 2), QPoint(1, bild.height() / 2), QPoint(bild.width() / 2, 0),
                         QPoint(bild.width() / 2, 1), QPoint(bild.width() - 2, bild.height() / 2),
                         QPoint(bild.width() / 2, bild.height() - 1)})
    QCOMPARE(QColor(bild.pixel(p)), farbe);
  for (const QColor nachbar :
       {QColor(192, 192, 192), QColor(Qt::white), QColor(239, 239, 239), QColor(190, 240, 170), TFokusRahmen::Innen})
    QVERIFY2(Kontrast(farbe, nachbar) >= 3.0, qPrintable(nachbar.name()));

  fenster->setFocus();
  QVERIFY(!fenster->FokusRahmen->Ziel());
  QCOMPARE(fenster->grab().toImage(), vorher);
}

// The letter of a range's access key is underlined only while Alt is held.
void TestApp::zugriffsbuchstabeMitAlt() {
  BaueBaum(FOrdner->path());
  std::unique_ptr<TMainForm> fenster(NeuesFenster());
  QTRY_VERIFY(fenster->Eingerichtet());
  fenster->setFocus();
  QPushButton *knopf = fenster->K_O_Button;
  knopf->show();
  const QImage vorher = knopf->grab().toImage();
  QTest::keyPress(fenster.get(), Qt::Key_Alt);
  const QImage mitAlt = knopf->grab().toImage();
  QTest::keyRelease(fenster.get(), Qt::Key_Alt, Qt::AltModifier);
  QVERIFY(mitAlt != vorher);
  QCOMPARE(knopf->grab().toImage(), vorher);
  QCOMPARE(knopf->text(), QStringLiteral("K - O"));
  QCOMPARE(knopf->shortcut(), QKeySequence(Qt::ALT | Qt::Key_K));
}

// The words on the result pictures are read on the silver answer panel.
void TestApp::ergebnisbilderLesbar() {
  const QColor silber(192, 192, 192);
  for (const QImage &bild : {LayoutBilder::Richtig(1), LayoutBilder::Falsch(1)}) {
    // The darkest pixel of the word, left of the badge, is its colour; anti-aliasing only lightens it.
    QColor wort = Qt::white;
    for (int y = 0; y < bild.height(); ++y)
      for (int x = 0; x < 150; ++x)
        if (qGray(bild.pixel(x, y)) < qGray(wort.rgb()))
          wort = bild.pixel(x, y);
    QVERIFY2(Kontrast(wort, silber) >= 4.5, qPrintable(wort.name()));
    QCOMPARE(bild.pixel(0, bild.height() - 1), qRgb(255, 255, 255));
  }
}

void TestApp::qtTexte_data() {
  QTest::addColumn<bool>("mitUebersetzung");
  QTest::addColumn<QString>("abbrechen");
  QTest::addColumn<QString>("allesAuswaehlen");
  QTest::newRow("translation_installed") << true << "Abbrechen"
                                         << "Alles auswählen";
  QTest::newRow("no_translation_stays_english") << false << "Cancel"
                                                << "Select All";
}

void TestApp::qtTexte() {
  QFETCH(bool, mitUebersetzung);
  QFETCH(QString, abbrechen);
  QFETCH(QString, allesAuswaehlen);
  const QString ordner = mitUebersetzung ? QtUebersetzungsOrdner() : FOrdner->path();
  if (mitUebersetzung)
    QVERIFY2(QFile::exists(ordner + QStringLiteral("/qtbase_de.qm")), "package qt6-translations-l10n missing");
  // Qt's texts go back to English for the later tests, whatever fails here.
  const QScopedPointer<QTranslator> uebersetzung(LadeQtTexte(*qApp, ordner));
  QCOMPARE(!uebersetzung.isNull(), mitUebersetzung);

  QMessageBox box;
  box.setStandardButtons(QMessageBox::Cancel);
  const QString knopf = box.button(QMessageBox::Cancel)->text();
  // The context menus of the search field and the answer box: "Select All" last, its shortcut after a TAB.
  const auto alles = [](QMenu *menue) {
    QScopedPointer<QMenu> besitz(menue);
    return menue->actions().isEmpty() ? QString()
                                      : menue->actions().constLast()->text().section(QLatin1Char('\t'), 0, 0);
  };
  QLineEdit feld(QStringLiteral("HH"));
  QTextEdit antwort(QStringLiteral("Hamburg"));
  const QString imFeld = alles(feld.createStandardContextMenu());
  const QString inDerAntwort = alles(antwort.createStandardContextMenu());
  QCOMPARE(knopf, abbrechen);
  QCOMPARE(imFeld, allesAuswaehlen);
  QCOMPARE(inDerAntwort, allesAuswaehlen);
}

void TestApp::signalSchliesstUndSpeichert() {
  BaueBaum(FOrdner->path());
  // Enough pictures that the gallery load has real work.
  for (int i = 0; i < 60; ++i)
    QVERIFY(Fixturbaum::SchreibeBild(FOrdner->filePath(QStringLiteral("Bilder/Deutschland/A-E/B%1.jpg").arg(i)),
                                     QSize(313, 67)));
  TMainForm *fenster = NeuesFenster();
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<TMainForm> beobachter(fenster);
  BeendeBeiSignal(*qApp);

  // A burst far beyond what the socket holds, raised on a thread of its own while this thread loads the
  // gallery and reads nothing: a handler that waited for room would never return.
  auto fertig = std::make_shared<std::atomic<bool>>(false);
  std::thread([fertig] {
    for (int i = 0; i < 3000; ++i)
      ::raise(i % 3 == 0 ? SIGHUP : i % 3 == 1 ? SIGTERM : SIGINT);
    *fertig = true;
  }).detach();
  QElapsedTimer uhr;
  uhr.start();
  int ladungen = 0;
  while (!*fertig && uhr.elapsed() < 20000) {
    fenster->LadeDieBilder();
    ++ladungen;
  }
  QVERIFY2(*fertig, "a signal handler waited");
  QVERIFY(ladungen > 0);

  // The window is closed by the event loop, and its shutdown writes the settings.
  QTRY_VERIFY(beobachter.isNull());
  QCOMPARE(LiesProfil(FOrdner->filePath(QStringLiteral("Kennzeichen.ini")), QStringLiteral("Einstellung"),
                      QStringLiteral("Groesse")),
           QStringLiteral("770x734"));
}

// A terminating signal closes the window the way the user does: the program ends with status 0 and
// writes its settings as after any close.
void TestApp::signalBeendetDasProgramm() {
#ifdef Q_OS_LINUX
  BaueBaum(FOrdner->path());
  QProcess programm;
  StarteProgramm(programm, FOrdner->path());
  QVERIFY(programm.waitForStarted());
  QTRY_VERIFY_WITH_TIMEOUT(FaengtTerm(programm), 20000);
  ::kill(static_cast<pid_t>(programm.processId()), SIGTERM);
  QVERIFY(programm.waitForFinished(10000));
  QCOMPARE(programm.exitStatus(), QProcess::NormalExit);
  QCOMPARE(programm.exitCode(), 0);
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Auswahl")), QStringLiteral("0"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Groesse")), QStringLiteral("770x734"));
#else
  QSKIP("needs /proc");
#endif
}

// A signal in the middle of the first load ends the load at once: no tile is added after the close
// (the first screen's tiles may already be there), and the settings are written as after any close.
void TestApp::signalWaehrendDesLadens() {
  BaueBaum(FOrdner->path());
  for (int i = 0; i < 20; ++i)
    QVERIFY(Fixturbaum::SchreibeBild(FOrdner->filePath(QStringLiteral("Bilder/Deutschland/A-E/B%1.jpg").arg(i)),
                                     QSize(313, 67)));
  // The signal test before this one told the application to quit: one run of its own loop clears that.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  BeendeBeiSignal(*qApp);

  TSchleuse schleuse;
  auto *fenster = new TMainForm(FOrdner->path());
  bool waehrend = false;
  schleuse.BeimErsten([fenster, &waehrend] {
    waehrend = fenster->LaedtBilder();
    ::raise(SIGTERM);
  });
  // The held decodes go once the close has gone through, the window's own handler included, and
  // never before: until then no decode ends, so the load cannot finish ahead of the signal, however
  // late the event loop takes the signal up.
  struct TBeimSchliessen : QObject {
    TSchleuse *Schleuse = nullptr;
    TMainForm *Fenster = nullptr;
    bool Geschlossen = false;
    bool ImLaden = false;
    qsizetype Kacheln = -1;
    bool eventFilter(QObject *, QEvent *ereignis) override {
      if (ereignis->type() == QEvent::Close) {
        ImLaden = Fenster->LaedtBilder();
        Kacheln = Fenster->Galerie()->Kacheln().size();
      }
      if (ereignis->type() == QEvent::Hide && !Geschlossen) {
        Geschlossen = true;
        Schleuse->Oeffne();
      }
      return false;
    }
  } schliessen;
  schliessen.Schleuse = &schleuse;
  schliessen.Fenster = fenster;
  fenster->installEventFilter(&schliessen);
  fenster->show();
  QTRY_VERIFY_WITH_TIMEOUT(schliessen.Geschlossen && !fenster->LaedtBilder(), 20000);
  QVERIFY(schliessen.ImLaden);
  QVERIFY(waehrend);
  QCOMPARE(fenster->Galerie()->Kacheln().size(), schliessen.Kacheln);
  delete fenster;
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Auswahl")), QStringLiteral("0"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Groesse")), QStringLiteral("770x734"));
}

#ifdef Q_OS_LINUX
namespace {
// An X server of the test's own, on a display number it picks itself.
struct TXServer {
  QProcess Prozess;
  QString Anzeige;
  bool Starte() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
      return false;
    Prozess.start(xvfb,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    while (Prozess.waitForReadyRead(30000) && !Prozess.canReadLine()) {
    }
    if (!Prozess.canReadLine())
      return false;
    Anzeige = QLatin1Char(':') + QString::fromLatin1(Prozess.readLine().trimmed());
    return true;
  }
  ~TXServer() {
    Prozess.kill();
    Prozess.waitForFinished();
  }
};
} // namespace
#endif

#ifdef Q_OS_LINUX
namespace {
// Set in the environment of this test program when it is started again to play the program itself.
const char AlsProgramm[] = "NF_TEST_ALS_PROGRAMM";

// The program as main() runs it, but with its decodes held from the first one on until its window is
// hidden: a load that would never end by itself. "laedt" on the standard output says it is under way.
int LaufeAlsProgramm(QApplication &app) {
  app.setApplicationName(QStringLiteral("Nummernfibel"));
  BeendeBeiSignal(app);
  TSchleuse schleuse;
  schleuse.BeimErsten([] {
    std::fputs("laedt\n", stdout);
    std::fflush(stdout);
  });
  struct TBeimVerbergen : QObject {
    TSchleuse *Schleuse = nullptr;
    bool eventFilter(QObject *, QEvent *ereignis) override {
      if (ereignis->type() == QEvent::Hide)
        Schleuse->Oeffne();
      return false;
    }
  } verbergen;
  verbergen.Schleuse = &schleuse;
  TMainForm hauptfenster(QDir::currentPath());
  if (hauptfenster.Abgebrochen())
    return 0;
  hauptfenster.installEventFilter(&verbergen);
  hauptfenster.ZentriereAufDemSchirm();
  hauptfenster.show();
  const int status = app.exec();
  return hauptfenster.Abgebrochen() ? 0 : status;
}
} // namespace
#endif

// The window manager's close request (WM_DELETE_WINDOW) during the first load: the X11 backend counts
// it as user input, which the load holds back, yet the program ends at once, with its settings. The
// program's decodes wait for the close, so a close held back for the load would never come.
void TestApp::schliessanfrageWaehrendDesLadens() {
#ifdef Q_OS_LINUX
  TXServer x;
  if (!x.Starte())
    QSKIP("needs Xvfb");
  BaueBaum(FOrdner->path());
  for (int i = 0; i < 20; ++i)
    QVERIFY(Fixturbaum::SchreibeBild(FOrdner->filePath(RelativerOrdner(TBereich::A_E)) +
                                         QStringLiteral("/R%1.jpg").arg(i, 3, 10, QLatin1Char('0')),
                                     QSize(313, 67)));
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  umgebung.insert(QStringLiteral("DISPLAY"), x.Anzeige);
  umgebung.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  QProcess programm;
  programm.setWorkingDirectory(FOrdner->path());
  QProcessEnvironment alsProgramm = umgebung;
  alsProgramm.insert(QString::fromLatin1(AlsProgramm), QStringLiteral("1"));
  programm.setProcessEnvironment(alsProgramm);
  programm.start(QCoreApplication::applicationFilePath(), {});
  QVERIFY(programm.waitForStarted());
  while (!programm.canReadLine() && programm.waitForReadyRead(60000)) {
  }
  QCOMPARE(programm.readLine().trimmed(), QByteArray("laedt"));
  // Sent once the window is on the screen, while the load waits for its decodes.
  QProcess anfrage;
  anfrage.setProcessEnvironment(umgebung);
  anfrage.start(QStringLiteral(NF_SCHLIESSANFRAGE), {QString::number(programm.processId()), QStringLiteral("0")});
  QVERIFY(anfrage.waitForFinished(90000));
  QCOMPARE(anfrage.readAllStandardOutput().trimmed(), QByteArray("gesendet"));
  QCOMPARE(programm.state(), QProcess::Running);
  const bool beendet = programm.waitForFinished(30000);
  if (!beendet)
    programm.kill();
  QVERIFY(beendet);
  QCOMPARE(programm.exitStatus(), QProcess::NormalExit);
  QCOMPARE(programm.exitCode(), 0);
  const QString ini = FOrdner->filePath(QStringLiteral("Kennzeichen.ini"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Auswahl")), QStringLiteral("0"));
  QCOMPARE(LiesProfil(ini, QStringLiteral("Einstellung"), QStringLiteral("Groesse")), QStringLiteral("770x734"));
#else
  QSKIP("needs an X server");
#endif
}

int main(int argc, char *argv[]) {
#ifdef Q_OS_LINUX
  if (qEnvironmentVariableIsSet(AlsProgramm)) {
    QApplication app(argc, argv);
    return LaufeAlsProgramm(app);
  }
#endif
  // A common desktop screen instead of the offscreen platform's 800 x 800, so that the stored sizes of
  // these tests fit on it as on a user's screen.
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NF_BILDSCHIRM);
  QApplication app(argc, argv);
  TestApp test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
