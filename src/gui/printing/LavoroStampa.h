#pragma once

#include "gui/platform/ElencoStampanti.h"

#include <QPainter>
#include <QPrinter>
#include <QString>

#include <memory>

// One print job on one printer, A4 upright whatever the queue's own paper: the printer is set up
// and checked (a queue that is gone or takes no jobs is said, not swapped for another), the
// built-in PDF printer asks where to save, then pages are drawn one after the other and the job
// is closed and handed over. Every failure, a job the print system refuses included, is told to
// the user in Italian (a print never ends silently). Every report prints through this class.
class LavoroStampa
{
public:
    enum class Esito { Pronto, Annullato, Errore };

    // `nomeDocumento` names the job and, for PDF output, the file proposed ("Riepilogo presenze
    // Febbraio 2024" -> "Riepilogo presenze Febbraio 2024.pdf" in the documents folder).
    LavoroStampa(const Stampante& stampante, const QString& nomeDocumento);
    ~LavoroStampa();
    LavoroStampa(const LavoroStampa&) = delete;
    LavoroStampa& operator=(const LavoroStampa&) = delete;

    // Points the printer at the chosen one; the built-in PDF printer asks for the file (a cancel
    // answers Annullato, nothing is said). Errors are shown and answer Errore: no printer, the
    // chosen queue gone, a queue that takes no jobs.
    Esito Prepara();
    QPrinter& printer() { return m_printer; }
    const QString& fileOutput() const { return m_file; }

    // The painter of the job, opened on the first call; nullptr (after a message) when the
    // printer refuses the job or the file cannot be written.
    QPainter* Inizia();
    bool iniziato() const { return m_painter.isActive(); }
    bool NuovaPagina();
    // Closes the job (the PDF is written, the job handed to the queue); false after a message
    // when it could not be or the print system refused it.
    bool Termina();

    // A job refused: the Italian message for this printer and file.
    QString MessaggioRifiuto() const;

    // The default page of every report: A4 upright, margins of 12 mm.
    static void ImpostaPagina(QPrinter& printer);
    // "<nome>.pdf" in the documents folder, without characters a file name cannot hold.
    static QString FilePdfProposto(const QString& nomeDocumento);

private:
    void Rifiutata(const QString& motivo) const;

    Stampante m_stampante;
    QString m_nome;
    QString m_file;
    QPrinter m_printer;
    QPainter m_painter;
    bool m_errore = false;
    int m_ultimoLavoro = 0; // the queue's newest job before this one
};
