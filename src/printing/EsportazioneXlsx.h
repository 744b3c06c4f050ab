#pragma once

#include "printing/EsportazioneDati.h"

#include <QString>

// The spreadsheet: "Presenze" (the grid), "Riepilogo" (the totals view's numbers) and "Legenda"
// (the states and the period's holidays). The worksheets are written row by row with the
// library's constant-memory mode, so the memory used does not grow with the rows.
namespace Esportazione::Xlsx {

inline const QString FoglioPresenze = QStringLiteral("Presenze");
inline const QString FoglioRiepilogo = QStringLiteral("Riepilogo");
inline const QString FoglioLegenda = QStringLiteral("Legenda");

// Writes the workbook as the new file `file`, the library's work files in `cartellaLavoro`.
// On Errore `errore` says why.
Risultato Scrivi(const QString& file, const QString& cartellaLavoro, const Richiesta& richiesta,
    const Lettura& dati, const Passo& passo, QString* errore);

} // namespace Esportazione::Xlsx
