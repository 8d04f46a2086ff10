// Gallery loading, tile layout and the first-paint set-up of the window.
#include "app/tmainform.h"

#include "app/bausteine.h"
#include "app/einstellungen.h"
#include "data/ansi.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"
#include "search/tscrollbox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace {
void Verschiebe(QWidget *steuer, int links, int oben) {
  // Moving to the same place would still post events; on every paint that becomes a loop.
  if (steuer->pos() != QPoint(links, oben))
    steuer->move(links, oben);
}
} // namespace

void TMainForm::LadeDieBilder() {
  Gefunden = false;
  if (AnsiTrim(AktuellerOrdner).isEmpty())
    return;
  ScrollBox1->SetzePosition(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  BilderFreigeben();
  // The folder goes as it is: a round trip through the code page would break any path outside it.
  SucheBilder(AktuellerOrdner, BilderEndungen);
  const int anzahl = BildPfade.size();

  if (anzahl > 0) {
    ProgressBar1->show();
    Kacheln.reserve(anzahl);
    ProgressBar1->setMaximum(anzahl);
    const TGitter gitter = BerechneGitter(anzahl, ScrollBox1->ClientBreite());
    const int gruppe = Gruppe();
    if (!Vorschauen)
      ErzeugeArbeitsobjekte();
    // Tiles are made here, on this thread, as their thumbnails come in; decoding runs alongside.
    Vorschauen->HoleAlle(BildPfade, [&](int i, const QImage &vorschau) {
      const QString &pfad = BildPfade.at(i);
      const TKachelBild bild = ZeichneKachel(vorschau, DateiName(pfad), Suchtext, gruppe);
      if (bild.Treffer) {
        Gefunden = true;
        GefundenIndex = i;
      }
      auto *kachel = new TKachel(i, bild.Bild, ScrollBox1->Inhalt());
      kachel->setObjectName(QStringLiteral("Kachel%1").arg(i));
      kachel->setGeometry(QRect(KachelPosition(i, gitter.Spalten), QSize(KachelGroesse, KachelGroesse)));
      connect(kachel, &TKachel::MausGedrueckt, this, &TMainForm::BildMouseDown);
      kachel->show();
      Kacheln.append(kachel);
      ProgressBar1->setValue(i + 1);
    });
    ScrollBox1->SetzeClientBreite(KachelRaster * gitter.Spalten + KachelAbstand);
  }

  ProgressBar1->setValue(0);
  const int sicht = SichtSpalten(ScrollBox1->width());
  ScrollBox1->SetzeBereich(ScrollBereich(anzahl, sicht));
  ProgressBar1->hide();
  QApplication::restoreOverrideCursor();
  StatusBar1->SetzeSimpleText(QStringLiteral("      ") + QString::number(anzahl) + QStringLiteral(" Nummernfibel "));

  if (!Suchtext.isEmpty()) {
    ScrollBox1->SetzePosition(FundPosition(GefundenIndex, sicht));
    if (ScrollBox1->Position() <= FundSchwelle)
      ScrollBox1->SetzePosition(0);
  }
}

void TMainForm::SucheBilder(const QString &Ordner, const QString &Endungen) {
  BildPfade = ListeBilder(Ordner, Endungen);
}

void TMainForm::FormPaint() {
  if (FAbgebrochen)
    return;
  if (ErstesZeichnen) {
    if (EinrichtungLaeuft)
      return;
    EinrichtungLaeuft = true;
    ComboBox1->setCurrentIndex(0);
    const QString auswahl = LiesProfil(Pfade.Einstellungen(), QStringLiteral("Einstellung"), QStringLiteral("Auswahl"));
    if (!auswahl.isEmpty())
      ComboBox1->setCurrentIndex(GruppeAusAuswahl(auswahl));
    if (!GruppeEinrichten(Gruppe()))
      return; // the fatal message has ended the program; the set-up stays undone
    LadeDieBilder();
    ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
    GespeicherteTrennerBreite = Trenner->width();
    ZurueckBtn->hide();
    ZeigDieAntwortBtn->hide();
    const int gruppe = Gruppe();
    if (gruppe == 0 || gruppe == 1) {
      for (QPushButton *knopf : {A_E_Button, F_J_Button, K_O_Button, P_T_Button, U_Z_Button})
        knopf->setVisible(gruppe == 0);
      SuchEdit->show();
    }
    ErstesZeichnen = false;
    EinrichtungLaeuft = false;
  }

  Verschiebe(Label1, ZentrierteLinks(Panel2->x(), Panel2->width(), Label1->width()), Label1->y());
  Verschiebe(Image2, ZentrierteLinks(Panel2->x(), Panel2->width(), Image2->width()), Image2->y());
  if (const std::optional<QPoint> versatz = KennzeichenVersatz(Gruppe()))
    Verschiebe(Image1, Image2->x() + versatz->x(), Image2->y() + versatz->y());
  Verschiebe(Label2, ZentrierteLinks(Panel2->x(), Panel2->width(), Label2->width()), Label2->y());
  // A pressed button repaints the window under it: taking its focus then would cancel the click.
  if (!GalerieSichtbar() && !Listbox1->isHidden() && !Listbox1->hasFocus() &&
      QGuiApplication::mouseButtons() == Qt::NoButton)
    Listbox1->setFocus();
}

int TMainForm::Dekodierungen() const { return Vorschauen ? Vorschauen->Dekodierungen() : 0; }

void TMainForm::ErzeugeArbeitsobjekte() {
  if (!Vorschauen)
    Vorschauen = new TVorschauCache;
}

void TMainForm::FreigebenArbeitsobjekte() {
  delete Vorschauen;
  Vorschauen = nullptr;
}
