#pragma once

#include "diary/MeseAnno.h"
#include "diary/RigheDipendenti.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The month or a period of the diary written for a payroll office: a spreadsheet (XLSX: the grid,
// the totals and a legend), the grid as CSV, or one CSV line per stored entry. No widgets: the
// main window and the command line use it alike.
namespace Esportazione {

enum class Formato {
    Xlsx, // sheets "Presenze", "Riepilogo", "Legenda"
    CsvMese, // the "Presenze" grid, semicolon-separated
    CsvRighe, // one line per stored entry
};

struct Richiesta
{
    QString archivio;
    // The month, unless `dal` and `al` are both valid: then the days from one to the other.
    MeseAnno mese;
    QDate dal;
    QDate al;
    // Which employees and in which order; `codiceDipendente` for one alone.
    RigheDipendenti::Criteri criteri;
    // The extra types, as RigheDipendenti::CaricaTipi gives them.
    QStringList tipi;
    Formato formato = Formato::Xlsx;
    QString file;
    // Told how far the work is; false stops it (nothing is left under `file`).
    std::function<bool(int fatto, int totale)> avanzamento;
};

struct Esito
{
    bool ok = false;
    QString errore; // in Italian, for the user
    int dipendenti = 0; // employees written
};

// Writes the file: beside it first, then renamed over it, so `file` is either the whole export or
// untouched.
Esito Esporta(const Richiesta& richiesta);

// The form a file name asks for by its extension (".xlsx", ".csv"); nothing for another one.
// A ".csv" is CsvMese.
std::optional<Formato> FormatoDaEstensione(const QString& file);

// "Presenze Novembre 2026.xlsx", "Presenze dal 01-11-2026 al 15-11-2026.csv", "Movimenti ..."
// for CsvRighe.
QString NomeProposto(const Richiesta& richiesta);

// The longest period exported at once.
constexpr int MassimoGiorni = 366;

} // namespace Esportazione
