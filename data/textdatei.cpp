#include "data/textdatei.h"
QString TextDateiName(int, QChar) { return {}; }
QString WaehleTextDatei(int, const QString &, const QString &) { return {}; }
QString DekodiereText(const QByteArray &) { return {}; }
QStringList ZerlegeZeilen(const QString &) { return {}; }
std::optional<QStringList> LadeZeilen(const QString &) { return std::nullopt; }
QString TextDateiFehltMeldung(const QString &) { return {}; }
