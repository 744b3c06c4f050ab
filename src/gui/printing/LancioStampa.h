#pragma once

#include "printing/Report.h"

#include <QSize>

class QWidget;
struct Sessione;

// The main window's print button: the summary report in the totals view, the detailed print of
// the grid otherwise, on the printer chosen for it.
namespace LancioStampa {

// The Periodo parameter: "Dal: <dal>  al: <al>" when either box holds a valid date, else "".
QString TestoPeriodo(const QString& dal, const QString& al);

// The printer of a print: the PDF printer when PDF output is chosen, else the documents printer
// when it was found, else the system's default (an invalid printer).
Stampante StampanteScelta(const Sessione& sessione, bool pdf);

// A summary to print: the archive, the period its lines were built for, the printer, PDF output
// (straight to the printer) or else the preview, and the lines this print wrote.
struct Richiesta
{
    QString archivio;
    QString dal;
    QString al;
    QString mese;
    QString anno;
    Stampante stampante;
    bool pdf = false;
    QList<TabellaStampa2::RigaStampa2> righe;
};

// What the summary hands to the report component: the archive, the settings row, the
// parameters Periodo, Mese and Anno, the printer, the destination and the lines.
Report::Richiesta RichiestaRiepilogo(const Richiesta& richiesta);
// Prints the summary; when its lines could not be written the user hears so and nothing prints.
bool StampaRiepilogo(const Richiesta& richiesta, bool righeScritte);

// The wider grid of an expanded calendar while a print is prepared; its width is given back
// exactly, whatever the layout did meanwhile.
class GrigliaAllargata
{
public:
    GrigliaAllargata(QWidget* griglia, bool allarga);
    ~GrigliaAllargata() { Restringi(); }
    GrigliaAllargata(const GrigliaAllargata&) = delete;
    GrigliaAllargata& operator=(const GrigliaAllargata&) = delete;
    void Restringi();

private:
    QWidget* m_griglia;
    QSize m_dimensione;
};

} // namespace LancioStampa
