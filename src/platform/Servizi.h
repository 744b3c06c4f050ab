#pragma once

#include "platform/Stampante.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

class LavoroInSottofondo;
class Messaggi;
class QDialog;
class QPrinter;
class QUrl;

// The host services one run of the program uses, and the little the error routine remembers, in
// one place. The program fills it with the windows' versions at start; a test replaces the ones it
// watches and puts the set back after.
// An empty member means the quiet version that needs no display (noted beside each).
struct Servizi
{
    // Messages, questions, input boxes, file and folder picks. None: MessaggiTerminale.
    Messaggi* messaggi = nullptr;
    // Ends the program at once. None: the process exits.
    std::function<void()> terminaProgramma;
    // The one clock: grids colour today, windows open on this month, backups are named by date.
    // None: the system's clock.
    std::function<QDateTime()> adesso;
    // The installed printers. None: the system's queues and the built-in PDF printer
    // (ElencoStampanti::Installate asks them).
    std::function<QList<Stampante>()> stampanti;
    // The calendar pick from a dd/MM/yyyy text ("" for today): the date chosen, "" on cancel.
    // None: the calendar window (cancelled without a display).
    std::function<QString(const QString& dataIniziale)> scegliData;
    // Hands a URL to the desktop (mail, browser, file manager). None: the desktop's handler.
    std::function<bool(const QUrl&)> apriUrl;
    // Called at each retry of a step the archive refused as busy (the busy window). None: nothing.
    std::function<void()> attesaOccupato;
    // Asks the program password of an archive (each text typed checked with
    // VerificaPasswordDigitata): true once it was right. None: not verified.
    std::function<bool(const QString& archivio)> chiediPassword;
    // Starts long work and waits for its end with progress and "Annulla". None: just waits.
    std::function<void(LavoroInSottofondo& lavoro, const QString& testo)> attendiLavoro;
    // Shows the main window of the archive chosen / the archive selection again.
    std::function<void()> apriPrincipale;
    std::function<void()> apriSelezione;
    // Shows a report's preview: `disegna` paints it on the page it is given. None: the preview
    // window.
    std::function<void(QPrinter& pagina, const std::function<void(QPrinter*)>& disegna)> anteprima;
    // Shows one page of the detailed print, which it must leave closed. None: modally.
    std::function<void(QDialog& pagina)> mostraPagina;
    // The wait between pages that print themselves. None: window events run meanwhile.
    std::function<void(double secondi)> pausaTraPagine;

    // Where the program runs from, where its report templates are, and where pictures are
    // unpacked to be shown. Empty: the program's own folders.
    QString cartellaEseguibile;
    QString cartellaModelli;
    QString cartellaImmagini;

    // What the archive error routine remembers between one error and the next.
    struct MemoriaErrori
    {
        // Errors counted since the last one that was not a busy archive; shown by the busy window.
        qint32 ContatoreErrori = 0;
        // The dormant diagnostic: when on, a non-busy error asks whether to repeat the statement.
        bool MessaggiErroreAttivi = false;
        // A damaged archive was told and the program has not been back to the user since.
        bool DannoSegnalato = false;
    };
    MemoriaErrori errori;
};

// The set in use.
Servizi& servizi();
