#pragma once

#include <QString>

// The note of one day entry: the Note field of the TabellaMovimenti row of an employee, type and
// day. A note belongs to a row that a month save created; storing a note never creates one.
namespace NoteGiorno {

struct Cella
{
    QString mese; // "Gennaio" .. "Dicembre"
    QString anno;
    QString giorno; // day number as text
    qint64 indice = 0; // IndiceAnagrafica
    QString tipo;
};

// Reads the cell's note: `esiste` tells whether the day was saved, `nota` is its note ("" when
// null or when there is no row). False when the archive could not be read.
bool Leggi(const QString& archivio, const Cella& cella, QString* nota, bool* esiste);

enum class Esito {
    Memorizzata,
    RigaMancante, // the month was never saved: nothing stored
    NonRiuscita, // the archive could not be written
};

// Stores `nota` (an empty note as an empty text).
Esito Scrivi(const QString& archivio, const Cella& cella, const QString& nota);

} // namespace NoteGiorno
