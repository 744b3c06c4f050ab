#pragma once

#include "comune/Festivita.h"
#include "diary/ElencoStati.h"
#include "printing/Esportazione.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

#include <functional>
#include <optional>

// What an export reads from the archive, shared by the CSV and XLSX writers: the days, the
// employees and, per employee, the cells of its rows. Only the entries that hold something are
// kept, and a writer builds one employee's block at a time.
namespace Esportazione {

// The days exported: a month, or `dal` to `al`.
struct Periodo
{
    MeseAnno mese; // valido() for a month
    QDate dal;
    QDate al;

    bool mensile() const { return mese.valido(); }
    int giorni() const { return int(dal.daysTo(al)) + 1; }
    // "Novembre 2026", "dal 01/11/2026 al 15/11/2026".
    QString testo() const;
};

// The period a request asks for, or the reason it cannot be exported.
std::optional<Periodo> PeriodoRichiesto(const Richiesta& richiesta, QString* errore);

struct Giorno
{
    enum class Genere { Feriale, Sabato, Festivo }; // Festivo: a Sunday or a holiday
    QDate data;
    QString numero; // "7", or "7/11" in a period across months
    QString iniziali; // "Sa"
    QString festa; // the holiday's name, "" on other days
    Genere genere = Genere::Feriale;
};

struct Persona
{
    qint64 indice = 0;
    QString codice;
    QString cognome; // the name on the card when it has no surname and first name
    QString nome;
    QString codiceFiscale;
};

struct Cella
{
    enum class Genere { Vuota, Ore, Testo }; // Testo: a state code (or a text that is no number)
    Genere genere = Genere::Vuota;
    QString testo; // as the grid shows it: "7,5", "F"
    double ore = 0;
    QString descrizione; // the state's
    QString nota;
};

// The captions of the identity columns, before the days.
const QStringList& ColonneIdentita();
inline const QString ColonnaTotale = QStringLiteral("Totale ore");
// The identity fields of one row: code, surname, first name, tax code, type.
QStringList Identita(const Persona& persona, const QString& tipo);

struct Lettura
{
    Periodo periodo;
    QString azienda; // Configurazioni.RagSociale
    QList<Giorno> giorni;
    QStringList righe; // "ORDINARIO" and the extra types: the rows of each employee
    QList<Persona> persone;
    QStringList stati; // the codes of TabellaStati in column order
    ElencoStati elenco;
    QList<Festivita::Festa> feste; // the period's, in date order

    // One employee's cells, row by row: righe.size() x giorni.size(). A day stored twice shows
    // the later entry, as in the grid.
    QList<Cella> Blocco(int persona) const;

    struct Voce
    {
        qint64 indice; // the entry's key: the later one wins
        int posto; // row * days + day
        Cella cella;
    };
    QHash<qint64, QList<Voce>> voci; // by employee key
};

// "Officine Rossi S.r.l. - Presenze Novembre 2026": the first line of a sheet.
QString Titolo(const Lettura& dati, const QString& cosa);

// Reads what the request exports, in one pass over the period's entries. Nothing on success,
// else the reason in Italian.
std::optional<QString> Leggi(const Richiesta& richiesta, const Periodo& periodo, Lettura& lettura);

// Writes all of `byte`, retrying what a short write left: false with the device's error set.
bool ScriviTutto(QIODevice& file, const QByteArray& byte);

// The writers' answer.
enum class Risultato { Fatto, Annullato, Errore };
// Told after each employee written; false stops the work.
using Passo = std::function<bool(int fatti)>;

} // namespace Esportazione
