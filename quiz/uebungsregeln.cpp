// Spaced repetition in boxes for practice mode.
#include "quiz/uebungsregeln.h"

#include <QDir>

namespace {
// Box 1 is asked again in the same sitting; each box after it waits roughly three times as long,
// so a plate known five times in a row comes back after three weeks.
constexpr int Tage[KastenAnzahl] = {0, 1, 3, 7, 21};
constexpr qint64 SekundenJeTag = 24 * 60 * 60;
} // namespace

int KastenTage(int kasten) { return Tage[qBound(1, kasten, KastenAnzahl) - 1]; }

void WerteErsteWahlAus(TLernEintrag &eintrag, bool richtig, const QDateTime &jetzt) {
  if (richtig) {
    eintrag.Kasten = qMin(eintrag.Kasten + 1, KastenAnzahl);
    ++eintrag.Richtig;
  } else {
    eintrag.Kasten = 1;
    ++eintrag.Falsch;
  }
  eintrag.Faellig = jetzt.toUTC().addSecs(KastenTage(eintrag.Kasten) * SekundenJeTag);
}

int WaehleNaechsteFrage(const QStringList &bilder, const QString &gruppe, const TLernstand &stand,
                        const QString &zuletzt, bool neuesZuletzt, const QDateTime &jetzt, QRandomGenerator &zufall) {
  int erstesNeues = -1;
  QVector<int> faellige; // of the lowest due box only
  int faelligerKasten = KastenAnzahl + 1;
  QVector<int> baldige; // not due yet: those due soonest
  QDateTime bald;
  for (int i = 0; i < bilder.size(); ++i) {
    if (bilder.at(i) == zuletzt)
      continue;
    const TLernEintrag *eintrag = stand.Finde(gruppe, bilder.at(i));
    if (!eintrag) {
      if (erstesNeues < 0)
        erstesNeues = i;
    } else if (eintrag->Faellig <= jetzt) {
      if (eintrag->Kasten < faelligerKasten) {
        faelligerKasten = eintrag->Kasten;
        faellige.clear();
      }
      if (eintrag->Kasten == faelligerKasten)
        faellige.append(i);
    } else {
      if (baldige.isEmpty() || eintrag->Faellig < bald) {
        bald = eintrag->Faellig;
        baldige.clear();
      }
      if (eintrag->Faellig == bald)
        baldige.append(i);
    }
  }
  if (!faellige.isEmpty() && (erstesNeues < 0 || neuesZuletzt))
    return faellige.at((zufall.bounded(int(faellige.size()))));
  if (erstesNeues >= 0)
    return erstesNeues;
  if (!baldige.isEmpty())
    return baldige.at((zufall.bounded(int(baldige.size()))));
  return -1;
}

QString PunkteText(int richtig, int gefragt) { return QStringLiteral("%1 von %2 richtig").arg(richtig).arg(gefragt); }

QString KastenText(int kasten) {
  if (kasten < 1)
    return QStringLiteral("Noch nicht geübt");
  return QStringLiteral("Kasten %1 von %2").arg(qMin(kasten, KastenAnzahl)).arg(KastenAnzahl);
}

QColor KastenFarbe(int kasten) {
  // Hue from red to green in equal steps, dark enough to stand 3:1 apart from an empty (white) segment
  // even in yellow.
  const int stufe = qBound(1, kasten, KastenAnzahl) - 1;
  return QColor::fromHsv(120 * stufe / (KastenAnzahl - 1), 255, 140);
}

QString LernstandFehlerText(TLernstandFehler fehler, const QString &pfad) {
  QString grund;
  switch (fehler) {
  case TLernstandFehler::Keiner: return {};
  case TLernstandFehler::Unlesbar: grund = QStringLiteral("lässt sich nicht lesen"); break;
  case TLernstandFehler::ZuGross: grund = QStringLiteral("ist viel zu groß für einen Lernstand"); break;
  case TLernstandFehler::KeineDatei: grund = QStringLiteral("ist keine gewöhnliche Datei"); break;
  case TLernstandFehler::LinkOhneZiel:
    grund = QStringLiteral("ist ein Verweis auf eine Datei, die es nicht gibt");
    break;
  case TLernstandFehler::NichtGeschrieben:
    grund = QStringLiteral("lässt sich nicht schreiben (keine Schreibrechte oder kein Platz mehr)");
    break;
  }
  // A file that could not be read may hold the learner's progress: it is left alone, and the text says so.
  const bool geschont = fehler == TLernstandFehler::Unlesbar || fehler == TLernstandFehler::ZuGross ||
                        fehler == TLernstandFehler::KeineDatei;
  return QStringLiteral(
             "Der Lernstand kann nicht gespeichert werden: Die Datei „%1“ %2%3. Die Antworten beim Üben gehen beim "
             "Beenden verloren.")
      .arg(QDir::toNativeSeparators(pfad), grund,
           geschont ? QStringLiteral(" und wird deshalb nicht überschrieben") : QString());
}
