#pragma once

#include "platform/Stampante.h"

#include <QString>

// What lives for one run of the program: the archive in use and the folders around it, the print
// switches, the password check, the printers chosen, and the flags one window leaves for the next.
// The program builds one and hands it to its windows; the core's services take the archive they
// work on instead of reading it from here.
struct Sessione
{
    QString PercorsoArchivio; // full path of the open archive
    QString NomeArchivio;
    QString CartellaArchiviScelta;
    QString CartellaProgramma;
    QString CartellaCondivisa;
    QString CartellaInf;
    QString CartellaArchiviPredefinita;
    QString CartellaBackup; // with a trailing separator
    QString VisualizzaLogoStampa; // "-1" when the logo is printed, else ""
    QString VisualizzaIntestazioneStampa; // "-1" when the company header is printed, else ""

    bool PasswordVerificata = false;
    // Set by the settings window's "Chiudi" so that the main window's next load does not ask the
    // password again; the main window clears it when it loads.
    bool SaltaPassword = false;
    // Set by the calendar when its choice already rebuilt the grid.
    bool SaltaRicostruzioneGriglia = false;

    // The documents printer chosen once per archive (Configurazioni.prnDocs) and the PDF printer:
    // the main window fills them at start, the printer and settings windows refresh them.
    QString NomeStampanteDocumenti; // the stored name, "" when none
    Stampante StampanteDocumenti; // the installed printer with that name
    bool StampanteDocumentiTrovata = false;
    Stampante StampantePdf; // the installed printer named exactly "PDFCreator"
    // The printer of the print being made, and whether its preview is printing now.
    Stampante StampanteCorrente;
    bool StampaInCorso = false;
};
