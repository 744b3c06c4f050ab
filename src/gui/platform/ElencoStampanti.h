#pragma once

#include "platform/Stampante.h"

#include <QList>
#include <QString>

#include <functional>

class QPrinter;

// The installed printers: the system's queues plus the built-in PDF printer.
namespace ElencoStampanti {

// The device name reports look for when PDF output is chosen.
inline const QString NomePdf = QStringLiteral("PDFCreator");

// The services' list, else DiSistema(): the system's printers in the system's order, then the built-in PDF
// printer (left out when a system queue already carries its name).
QList<Stampante> Installate();

// The system's queues and the built-in PDF printer, asked of the system now.
QList<Stampante> DiSistema();

// Points `printer` at `stampante`: a system queue by name, the built-in one as PDF output
// (the caller still sets the output file).
void Configura(QPrinter& printer, const Stampante& stampante);

// What the print system says of a queue at this moment. A queue it cannot tell about (no print
// system, a name it does not know) counts as taking jobs: printing then finds out.
struct StatoCoda
{
    bool accetta = true;
    QString messaggio; // the reason its administrator gave, "" when none
};
StatoCoda Stato(const QString& nome);

// The newest job of this user on queue `nome` (0 when none): a job submitted afterwards is newer.
int UltimoLavoro(const QString& nome);

// Right after a job named `titolo` was handed to queue `nome`: "" when the print system took it,
// otherwise why not, in Italian ("non accetta nuovi lavori (In manutenzione)"). It reads the
// print system's answer to the submission itself, so nothing else may talk to the print system
// in between. `ultimoPrima` is UltimoLavoro() from before the submission.
QString RifiutoLavoro(const QString& nome, const QString& titolo, int ultimoPrima);

} // namespace ElencoStampanti
