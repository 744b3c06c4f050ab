#pragma once

#include "printing/Report.h"

class F_Avvio;

// The main window's print button: the summary report in the totals view, the detailed print of
// the grid otherwise, on the printer chosen for it.
namespace LancioStampa {

// The Periodo parameter: "Dal: <dal>  al: <al>" when either box holds a valid date, else "".
QString TestoPeriodo(const QString& dal, const QString& al);

// The printer of a print: the PDF printer when PDF output is chosen, else the documents printer
// when it was found, else the system's default (an invalid printer).
Stampante StampanteScelta(bool pdf);

// What the summary hands to the report component: the archive, the settings row, the
// parameters Periodo, Mese and Anno, the printer, straight to it with PDF output or else the
// preview, and the lines this print wrote.
Report::Richiesta RichiestaRiepilogo(const QList<TabellaStampa2::RigaStampa2>& righe, const QString& dal,
    const QString& al, const QString& mese, const QString& anno, const Stampante& stampante, bool pdf);

void Anteprima_Click(F_Avvio& finestra);

} // namespace LancioStampa
