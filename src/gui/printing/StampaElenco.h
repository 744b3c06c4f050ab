#pragma once

#include "masterdata/ElencoAnagrafiche.h"
#include "printing/TabellaStampa.h"

#include <QDate>
#include <QString>
#include <QStringList>

class QWidget;

// The employee card's "Stampa Elenco": the list, filtered and ordered as the card shows it, as a
// plain text table in the generic report.
struct Sessione;

namespace StampaElenco {

constexpr int TwipsPerCarattere = 105;
constexpr int LarghezzaCella = 100;
inline const QString Riga = QString(141, QLatin1Char('-'));

// One grid row as text: each shown column (width not 0) gives Int(width / 105) characters of
// its text, blank-padded, then "|".
QString RigaElenco(const ElencoAnagrafiche& elenco, int riga);
// Every line of the print: the date line, an empty line, the rule, the header row, the rule, one
// line per employee, the rule and an empty line.
QStringList Righe(const ElencoAnagrafiche& elenco, const QDate& oggi);

// Reads the list as the card shows it, writes its lines into Stampa and previews them in the
// generic report. Anything that stops it is told to the user.
void Anteprima_Click(const Sessione& sessione, ElencoAnagrafiche::Filtro filtro, const QString& ordinamento);

} // namespace StampaElenco
