#pragma once

#include "printing/EsportazioneDati.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// The two CSV forms: semicolon-separated, UTF-8 with a byte order mark (so a spreadsheet set to
// Italian opens it right), hours with a decimal comma, lines ended by CR LF.
namespace Esportazione::Csv {

inline const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");
inline const QString Separatore = QStringLiteral(";");

// A text field: quoted when it holds a separator, a quote or a line break (quotes doubled), and
// never read as a formula.
QString Testo(const QString& testo);
// Hours and totals as the grid writes them ("7,5").
QString Numero(double valore);
// The fields joined into one line, its end included.
QString Riga(const QStringList& campi);

// The "Presenze" grid: the title, the weekday initials, the captions with the day numbers, one
// line per employee and type with its total.
Risultato ScriviMese(QIODevice& file, const Lettura& dati, const Passo& passo);
// One line per stored entry that holds something, by employee, day and row.
Risultato ScriviRighe(QIODevice& file, const Lettura& dati, const Passo& passo);

inline const QString IntestazioneRighe
    = QStringLiteral("Data;Codice;Codice fiscale;Cognome;Nome;Tipo;Ore;Stato;Descrizione;Nota");

} // namespace Esportazione::Csv
