// Practice's screens and plates: which plates a sitting asks from, the question in either direction,
// the day's end with its way to go on ahead, and the window of settings and overview.
#include "app/tmainform.h"

#include "data/gruppen.h"
#include "data/vorlagen.h"
#include "gallery/galerie.h"
#include "gallery/galerieregeln.h"
#include "quiz/katalog.h"
#include "quiz/quizregeln.h"
#include "quiz/rueckfrage.h"
#include "quiz/ueben.h"
#include "quiz/uebungsfenster.h"
#include "quiz/uebungsregeln.h"
#include "search/tscrollbox.h"
#include "widgets/bausteine.h"
#include "widgets/zugang.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>

const TKatalog &TMainForm::Katalog() {
  if (!FKatalog)
    FKatalog = std::make_unique<TKatalog>(
        TKatalog::Lies(FPfade, [](const QString &ordner) { return ListeBilder(ordner, BilderEndungen); }));
  return *FKatalog;
}

QVector<const TKatalogEintrag *> TMainForm::UebungsPlatten() {
  const TUebungsEinstellung &einstellung = FUebung->Einstellung();
  if (!einstellung.Laender.isEmpty() || !RoutenCodes(einstellung.Route).isEmpty())
    return Katalog().Auswahl(einstellung, Gruppe());
  // Without a selection the sitting stays in the range the learner is looking at.
  QVector<const TKatalogEintrag *> platten;
  for (const QString &pfad : FGalerie->BildPfade())
    if (const TKatalogEintrag *platte = Katalog().Finde(Gruppe(), DateiName(pfad)))
      platten.append(platte);
  return platten;
}

QVector<TLernSchluessel> TMainForm::LernSchluessel(const QVector<const TKatalogEintrag *> &platten) const {
  QVector<TLernSchluessel> schluessel;
  schluessel.reserve(platten.size());
  for (const TKatalogEintrag *platte : platten)
    schluessel.append({FUebung->LernName(platte->Gruppe), platte->Bild});
  return schluessel;
}

void TMainForm::NaechsteFrageBtnClick() {
  // A load in progress owns the tile list; the plate follows once the gallery is there.
  if (!Ueben() || LaedtBilder() || FAbgebrochen)
    return;
  const QVector<const TKatalogEintrag *> platten = UebungsPlatten();
  const QVector<TLernSchluessel> schluessel = LernSchluessel(platten);
  const int index = FUebung->PlaneNaechste(schluessel);
  if (index < 0) {
    ZeigeTagesende(schluessel);
    return;
  }
  const TKatalogEintrag &platte = *platten.at(index);
  if (!ZeigeBereichVon(platte))
    return;
  if (FUebung->Umgekehrt())
    StelleRueckfrage(platte);
  else
    OeffneFrage(platte.Pfad(), Qt::LeftButton);
}

bool TMainForm::ZeigeBereichVon(const TKatalogEintrag &platte) {
  if (platte.Gruppe != Gruppe()) {
    ComboBox1->setCurrentIndex(platte.Gruppe);
    ComboBox1Change();
    if (FAbgebrochen || Gruppe() != platte.Gruppe)
      return false;
  }
  if (FGalerie->AktuellerOrdner() != platte.Ordner) {
    if (Bereichsknoepfe->button(int(platte.Bereich)))
      WaehleBereich(platte.Bereich);
    else {
      FGalerie->SetzeOrdner(platte.Ordner);
      LadeDieBilder();
    }
  }
  return !FAbgebrochen && FGalerie->AktuellerOrdner() == platte.Ordner;
}

void TMainForm::ZeigeFrageSchirm() {
  if (GalerieSichtbar())
    FFokusVorFrage = focusWidget();
  for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
    knopf->hide();
  SuchEdit->hide();
  FGalerie->MerkePosition();
  ScrollBox1->hide();
  TagesendeTafel->hide();
  Rueckfrage->hide();
  ZurueckBtn->show();
}

void TMainForm::ZeigeTafel(QWidget *tafel) {
  FUebung->SchliesseFrage();
  ZeigeFrageSchirm();
  for (QWidget *w : {static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
                     static_cast<QWidget *>(ZeigDieAntwortBtn), static_cast<QWidget *>(FrageScrollBar)})
    w->hide();
  tafel->show();
  tafel->raise();
  ZeigeUebungsteile();
}

QWidget *TMainForm::SichtbareTafel() const {
  for (QWidget *tafel : {TagesendeTafel, static_cast<QWidget *>(Rueckfrage)})
    if (!tafel->isHidden())
      return tafel;
  return nullptr;
}

void TMainForm::ZeigeTagesende(const QVector<TLernSchluessel> &platten) {
  // A route of unknown codes leaves nothing to ask: that is no day's work done.
  const QString text = platten.isEmpty()
                           ? QStringLiteral("Nichts zu üben.\nDie Auswahl enthält kein Kennzeichen. Unter „Einrichten …“ "
                                            "lassen sich Bundesländer, Länder oder eine Route wählen.")
                           : FUebung->Tagesende(platten);
  // The first line is the heading.
  QStringList zeilen = text.split(QLatin1Char('\n'));
  const QString kopf = zeilen.takeFirst();
  TagesendeLabel->setText(QStringLiteral("<p style=\"font-size:24px; font-weight:bold\">%1</p><p>%2</p>")
                              .arg(kopf.toHtmlEscaped(), zeilen.join(QLatin1Char('\n')).toHtmlEscaped().replace(
                                                             QLatin1Char('\n'), QStringLiteral("<br>"))));
  TagesendeLabel->setAccessibleName(text.simplified());
  // Going on ahead needs plates that were asked before; a selection of only new ones has none.
  VorausBtn->setVisible(!FUebung->Voraus() && !platten.isEmpty());
  ZeigeTafel(TagesendeTafel);
  (VorausBtn->isVisible() ? static_cast<QWidget *>(VorausBtn) : TagesendeLabel)->setFocus();
  // The dots between the boxes' counts would be read out as dots.
  Ansage->Sage(text.simplified().replace(QStringLiteral(" · "), QStringLiteral(", ")));
}

void TMainForm::VorausBtnClick() {
  FUebung->SetzeVoraus(true);
  NaechsteFrageBtnClick();
}

void TMainForm::StelleRueckfrage(const TKatalogEintrag &platte) {
  const TKatalog &katalog = Katalog();
  QStringList codes = WaehleRueckCodes(katalog, platte, TUeben::StandardHandvoll, *QRandomGenerator::global());
  codes = SortiereEintraege(codes);
  QVector<TRueckWahl> wahl;
  for (const QString &code : std::as_const(codes)) {
    const auto gleich = std::find_if(katalog.Eintraege().cbegin(), katalog.Eintraege().cend(),
                                     [&](const TKatalogEintrag &e) { return e.Gruppe == platte.Gruppe && e.Code == code; });
    if (gleich == katalog.Eintraege().cend())
      continue;
    wahl.append(RueckWahlFuer(platte.Gruppe, code, gleich->Pfad(), FPfade.Datei(KleineVorlage(platte.Gruppe, gleich->Bild))));
  }
  // A code with several districts asks for one of them; each names the same plate.
  const QStringList &beschreibungen = platte.Beschreibungen;
  const QString beschreibung =
      beschreibungen.isEmpty() ? platte.Code
                               : beschreibungen.at(QRandomGenerator::global()->bounded(int(beschreibungen.size())));
  ZeigeTafel(Rueckfrage);
  Rueckfrage->Stelle(beschreibung, wahl, platte.Code);
  FUebung->FrageGestellt(platte.Gruppe, platte.Bild);
  Rueckfrage->setFocus();
}

void TMainForm::EinrichtenBtnClick() {
  if (!UebungsFenster) {
    UebungsFenster = new TUebungsFenster(this);
    UebungsFenster->setObjectName(QStringLiteral("UebungsFenster"));
    connect(UebungsFenster, &TUebungsFenster::EinstellungGeaendert, this, [this](const TUebungsEinstellung &e) {
      FUebung->SetzeEinstellung(e);
      ZeigeUebungsteile();
      ZeigeUebersicht();
    });
    connect(UebungsFenster, &TUebungsFenster::GruppierungGeaendert, this, [this] { ZeigeUebersicht(); });
    connect(UebungsFenster, &TUebungsFenster::ZuruecksetzenBestaetigt, this, [this] {
      FUebung->SetzeZurueck(LernSchluessel(UebersichtsPlatten()));
      ZeigeUebungsteile();
      ZeigeUebersicht();
      Ansage->Sage(QStringLiteral("Lernstand zurückgesetzt"));
    });
  }
  UebungsFenster->SetzeLaender(Katalog().Laender());
  UebungsFenster->SetzeEinstellung(FUebung->Einstellung());
  ZeigeUebersicht();
  UebungsFenster->show();
  UebungsFenster->raise();
  UebungsFenster->activateWindow();
}

QVector<const TKatalogEintrag *> TMainForm::UebersichtsPlatten() {
  // Without a selection: every plate of the group, not only the range in sight.
  return Katalog().Auswahl(FUebung->Einstellung(), Gruppe());
}

void TMainForm::ZeigeUebersicht() {
  if (!UebungsFenster)
    return;
  const QVector<const TKatalogEintrag *> platten = UebersichtsPlatten();
  const TUebungsEinstellung &einstellung = FUebung->Einstellung();
  QStringList auswahl;
  if (!einstellung.Laender.isEmpty())
    auswahl << einstellung.Laender.join(QStringLiteral(", "));
  if (const QStringList route = RoutenCodes(einstellung.Route); !route.isEmpty())
    auswahl << QStringLiteral("Route ") + route.join(QLatin1Char(' '));
  const TGruppe *gruppe = GruppeNr(Gruppe());
  const QString was = !auswahl.isEmpty() ? QStringLiteral("Auswahl: ") + auswahl.join(QStringLiteral(", "))
                      : gruppe           ? QStringLiteral("Alle Kennzeichen in ") + QString::fromUtf16(gruppe->LernName)
                                         : QStringLiteral("Alle Kennzeichen");
  const QString richtung = einstellung.Umgekehrt ? QStringLiteral("Kreis → Kennzeichen") : QStringLiteral("Kennzeichen → Kreis");
  UebungsFenster->SetzeUebersicht(Katalog().Uebersicht(platten, FUebung->Lernstand(), UebungsFenster->NachLand(),
                                                       einstellung.Umgekehrt, FUebung->Jetzt()),
                                  QStringLiteral("%1 (%2) — %3 Kennzeichen").arg(was, richtung).arg(platten.size()),
                                  int(platten.size()));
}
