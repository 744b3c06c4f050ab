#include "LavoroStampa.h"

#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>

LavoroStampa::LavoroStampa(const Stampante& stampante, const QString& nomeDocumento)
    : m_stampante(stampante)
    , m_nome(nomeDocumento)
    , m_printer(QPrinter::HighResolution)
{ }

LavoroStampa::~LavoroStampa()
{
    // A job left open (an error half-way) is abandoned, not sent half done.
    if (m_painter.isActive()) {
        m_printer.abort();
        m_painter.end();
    }
}

void LavoroStampa::ImpostaPagina(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

QString LavoroStampa::FilePdfProposto(const QString& nomeDocumento)
{
    QString nome = nomeDocumento;
    nome.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    nome = nome.simplified();
    if (nome.isEmpty())
        nome = QStringLiteral("Stampa");
    return Piattaforma::UnisciPercorso(
        Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti")), nome + QStringLiteral(".pdf"));
}

LavoroStampa::Esito LavoroStampa::Prepara()
{
    m_printer.setDocName(m_nome);
    m_printer.setCreator(QStringLiteral("Cartavia"));
    if (m_stampante.valida())
        ElencoStampanti::Configura(m_printer, m_stampante);
    ImpostaPagina(m_printer);

    if (m_stampante.pdfIntegrata) {
        QString file = messaggi().SalvaFile(QStringLiteral("Salva la stampa in PDF"), FilePdfProposto(m_nome),
            QStringLiteral("Documenti PDF (*.pdf)"));
        if (file.isEmpty())
            return Esito::Annullato;
        if (QFileInfo(file).suffix().isEmpty())
            file += QStringLiteral(".pdf");
        m_file = file;
        m_printer.setOutputFileName(file);
        return Esito::Pronto;
    }
    // A queue that is gone makes Qt fall back on another printer (or on a PDF file when there is
    // none): the job must not end up somewhere the user did not choose.
    const bool altrove = m_stampante.valida() && m_printer.printerName() != m_stampante.nome;
    if (m_printer.outputFormat() != QPrinter::NativeFormat || !m_printer.isValid() || altrove) {
        m_errore = true;
        messaggi().Messaggio(m_stampante.valida()
                ? QStringLiteral("La stampante «%1» non è disponibile.\nSceglierne un'altra con «SELEZIONA "
                                 "STAMPANTE PREDEFINITA».")
                      .arg(m_stampante.nome)
                : QStringLiteral("Nessuna stampante disponibile per la stampa."),
            Messaggi::Ok, Messaggi::Critical);
        return Esito::Errore;
    }
    // A queue that takes no jobs would drop this one: said now, before anything is drawn.
    const ElencoStampanti::StatoCoda stato = ElencoStampanti::Stato(m_printer.printerName());
    if (!stato.accetta) {
        m_errore = true;
        Rifiutata(stato.messaggio.isEmpty()
                ? QStringLiteral("non accetta nuovi lavori")
                : QStringLiteral("non accetta nuovi lavori (%1)").arg(stato.messaggio));
        return Esito::Errore;
    }
    return Esito::Pronto;
}

void LavoroStampa::Rifiutata(const QString& motivo) const
{
    messaggi().Messaggio(
        QStringLiteral("La stampante «%1» ha rifiutato la stampa: %2.\nLa stampa non è stata "
                       "eseguita: riprovare più tardi o scegliere un'altra stampante con "
                       "«SELEZIONA STAMPANTE PREDEFINITA».")
            .arg(m_printer.printerName(), motivo),
        Messaggi::Ok, Messaggi::Critical);
}

QString LavoroStampa::MessaggioRifiuto() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
        return QStringLiteral(
            "Impossibile scrivere il file PDF «%1».\nVerificare che la cartella esista, che sia "
            "scrivibile e che il file non sia aperto in un altro programma.")
            .arg(QDir::toNativeSeparators(m_printer.outputFileName()));
    const QString nome = m_printer.printerName().isEmpty() ? m_stampante.nome : m_printer.printerName();
    if (nome.isEmpty())
        return QStringLiteral("La stampante non ha accettato la stampa.");
    return QStringLiteral("La stampante «%1» non ha accettato la stampa.").arg(nome);
}

QPainter* LavoroStampa::Inizia()
{
    if (m_painter.isActive())
        return &m_painter;
    if (m_errore)
        return nullptr;
    if (m_printer.outputFormat() == QPrinter::NativeFormat)
        m_ultimoLavoro = ElencoStampanti::UltimoLavoro(m_printer.printerName());
    if (!m_painter.begin(&m_printer)) {
        m_errore = true;
        messaggi().Messaggio(MessaggioRifiuto(), Messaggi::Ok, Messaggi::Critical);
        return nullptr;
    }
    return &m_painter;
}

bool LavoroStampa::NuovaPagina()
{
    if (!m_painter.isActive())
        return false;
    if (!m_printer.newPage()) {
        m_errore = true;
        m_printer.abort();
        m_painter.end();
        messaggi().Messaggio(MessaggioRifiuto(), Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    return true;
}

bool LavoroStampa::Termina()
{
    if (!m_painter.isActive())
        return !m_errore;
    const bool chiuso = m_painter.end();
    // The print system answers the submission only now; a job it refused is lost unless said.
    const QString motivo = m_printer.outputFormat() == QPrinter::NativeFormat
        ? ElencoStampanti::RifiutoLavoro(m_printer.printerName(), m_printer.docName(), m_ultimoLavoro)
        : QString();
    const QPrinter::PrinterState stato = m_printer.printerState();
    if (!chiuso || stato == QPrinter::Error || stato == QPrinter::Aborted) {
        m_errore = true;
        messaggi().Messaggio(MessaggioRifiuto(), Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    if (!motivo.isEmpty()) {
        m_errore = true;
        Rifiutata(motivo);
        return false;
    }
    return true;
}
