#pragma once

#include "diary/RigheDipendenti.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class Archivio;
class Griglia;

// The totals view of the main window: per employee and entry type the hours and, per state of
// TabellaStati, the days recorded with it, over a month or a from/to period; below them the
// sub-totals per type and the grand totals.
namespace GrigliaTotali {

constexpr int ColonnaOre = 4;
constexpr int PrimaColonnaStati = 5;
constexpr int LarghezzaOre = 800; // twips
constexpr int LarghezzaStato = 600;
inline const QString Ore = QStringLiteral("ORE");
inline const QString TestoTotale = QStringLiteral("TOTALE:");
inline const QString TrattinoTipo = QStringLiteral("---------------------");
inline const QString TrattinoOre = QStringLiteral("--------");
inline const QString TrattinoStato = QStringLiteral("-----------"); // the second separator of a state column
inline const QColor ColoreIntestazione { 0xC0, 0xC0, 0xFF };
inline const QColor ColoreParziali { 0xFF, 0xFF, 0xC0 };
inline const QColor ColoreTotali { 0xFF, 0xC0, 0xC0 };

// What the grid shows: the window state it is built from.
struct Parametri
{
    QString archivio; // the archive read
    QString mese; // "Gennaio" .. "Dicembre"
    QString anno; // year text
    QString dal; // period boxes: a day/month/year text, or anything else for "not given"
    QString al;
    RigheDipendenti::Criteri criteri;
    QStringList tipi; // the extra types, as CaricaTipi gives them
    // Told how far the build is (value out of maximum); called a few times per build.
    std::function<void(int valore, int massimo)> avanzamento;
};

// What a build leaves behind for printing: the shape of the grid as it was built.
struct Esito
{
    bool letto = false; // every archive step ran (else the grid lacks what could not be read)
    int numeroStati = 0; // S: state columns 5 .. S + 4
    int numeroTipi = 0; // T: extra types, each employee owns T + 1 rows
    int numeroDipendenti = 0; // E: employee blocks from row 2
    int primaRigaRiepilogo = 0; // F: the first summary row (a separator)
    QString codiceDipendente; // the single employee shown, "" for all
    // What the figures were built for: a print of them names this period, not the boxes' text.
    QString dal, al, mese, anno;
    bool costruita() const { return primaRigaRiepilogo > 0; }
    // The "TOTALE:" row.
    int rigaTotale() const
    {
        return numeroTipi > 0 ? primaRigaRiepilogo + numeroTipi + 3 : primaRigaRiepilogo + 1;
    }
};

// The period filter on TabellaMovimenti (alias `alias`): the days from `dal` to `al`, both
// included, when either is a valid date; otherwise the month and year. Its values are appended.
QString CondizionePeriodo(const Parametri& p, const QString& alias, QVariantList& valori);

// "" for a value that shows as 0, else the value with a decimal comma ("15,5").
QString TogliZero(double valore);

// The states the view has a column for (Indice > 0), in column order: by code.
QStringList StatiInColonna(Archivio& db);
int CalcolaNumeroStati(const QString& archivio, bool* ok = nullptr);
// Employees the criteria select (the employee blocks of the grid).
int CalcolaNumeroDipendenti(
    const QString& archivio, const RigheDipendenti::Criteri& criteri, bool* ok = nullptr);

// Rebuilds the grid: headers, employee rows, hours and state counts, sub-totals and totals.
// The archive is read with one grouped query for the hours and one for the states, whatever
// the number of employees, types and states.
Esito DimensionaGriglia2(Griglia& griglia, const Parametri& p);

} // namespace GrigliaTotali
