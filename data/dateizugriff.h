// Replacing writes for the settings, the progress file and the thumbnail packs: a write that fails or
// is killed never leaves a damaged file behind.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Gives the file the content `neu`. `alt` is its content as read before, or no value when it does not
// exist yet. True only when every byte reached the disk; on false the old file is still there byte for
// byte (or, as before, none). Where no new file can be made beside it, the file is rewritten in place.
// A process killed at any moment leaves the old file or the new one (in place, a shorter one may
// keep blank lines up to the old length, which read as nothing, and the next write drops them) and
// never an empty one where there was none.
bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &alt, const QByteArray &neu);

// Removes what killed writes left beside the file: our own temporary copies, "<name>.XXXXXX".
// One another instance is writing right now stays.
void RaeumeReste(const QString &pfad);

// Removes the regular files of the folder that `unsere` names as copies of killed writes, under the
// folder's lock taken alone: while any writer has a copy there, nothing is removed, and false.
bool RaeumeKopien(const QString &ordner, const std::function<bool(const QString &)> &unsere);

// The steps of a write, in order, at which a test can stop the process.
enum class TSchreibSchritt { KopieAngelegt, KopieGeschrieben, Ersetzt, AnOrtGeschrieben, AnOrtGekuerzt };
void SetzeSchreibHaken(void (*haken)(TSchreibSchritt));

// A new content for a file, written into a copy of its own beside it ("<name>.XXXXXX") and put in the
// file's place only when whole, so that the name never holds half of it. The copy is removed unless it
// took the file's place. While the copy exists, its folder's lock is held shared, so that a clean-up
// (RaeumeReste, RaeumeKopien) leaves it alone; a killed writer's lock goes with its process.
class TErsatzDatei {
public:
  // `ziel` is the file's name as the system spells it; its folder must exist.
  explicit TErsatzDatei(const QByteArray &ziel);
  ~TErsatzDatei() { Verwirf(); }
  TErsatzDatei(const TErsatzDatei &) = delete;
  TErsatzDatei &operator=(const TErsatzDatei &) = delete;

  bool Offen() const { return FHandle >= 0; }
  // For permissions and owner, set before the content goes in; -1 once closed.
  int Handle() const { return FHandle; }
  // All of `laenge` bytes at offset `ab`; false on any error.
  bool Schreibe(const char *daten, qint64 laenge, qint64 ab);
  // Closes the copy, with `sichern` after flushing it to the disk; on false it is removed.
  bool Schliesse(bool sichern);
  // Renames the closed copy over the file; on false it is removed and the file is as it was.
  bool Ersetze();
  // Links the closed copy under the file's name only while nothing has that name; the copy goes either way.
  bool Verknuepfe();
  // Closes and removes the copy.
  void Verwirf();

private:
  QByteArray FZiel;
  QByteArray FKopie;
  int FHandle = -1;
  int FSperre = -1; // the folder, locked shared
  bool FDa = false; // the copy exists under its own name
};
