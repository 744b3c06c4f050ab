#include "ElencoStampanti.h"

#include "platform/Servizi.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <vector>

#ifdef CARTAVIA_CUPS
#include <cups/cups.h>
#endif

namespace ElencoStampanti {

QList<Stampante> DiSistema()
{
    QList<Stampante> elenco;
    const QList<QPrinterInfo> info = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo& p : info)
        elenco << Stampante { p.printerName(), p.makeAndModel(), p.printerName(), false };
    bool pdfPresente = false;
    for (const Stampante& s : elenco)
        pdfPresente = pdfPresente || s.nome == NomePdf;
    if (!pdfPresente)
        elenco << Stampante { NomePdf, QStringLiteral("Qt PDF"), QStringLiteral("FILE:"), true };
    return elenco;
}

#ifdef CARTAVIA_CUPS

// Asks the print system for some attributes of one queue; nullptr when it does not answer for it.
ipp_t* AttributiCoda(const QString& nome, const std::vector<const char*>& attributi)
{
    if (nome.isEmpty())
        return nullptr;
    char uri[HTTP_MAX_URI];
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
            "/printers/%s", nome.toUtf8().constData())
        != HTTP_URI_STATUS_OK)
        return nullptr;
    ipp_t* richiesta = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddStrings(richiesta, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
        int(attributi.size()), nullptr, attributi.data());
    ipp_t* risposta = cupsDoRequest(CUPS_HTTP_DEFAULT, richiesta, "/");
    if (risposta && ippGetStatusCode(risposta) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(risposta);
        return nullptr;
    }
    return risposta;
}

QString Testo(ipp_t* risposta, const char* nome)
{
    ipp_attribute_t* a = ippFindAttribute(risposta, nome, IPP_TAG_TEXT);
    return a ? QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed() : QString();
}

// Why the print system refused a submission, as the user can act on it.
QString MotivoRifiuto(ipp_status_t esito, const QString& testo, const QString& nome)
{
    switch (esito) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: {
        const QString messaggio = Stato(nome).messaggio;
        return messaggio.isEmpty() ? QStringLiteral("non accetta nuovi lavori")
                                   : QStringLiteral("non accetta nuovi lavori (%1)").arg(messaggio);
    }
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("non esiste più nel sistema di stampa");
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        return QStringLiteral("stampa non consentita a questo utente");
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return QStringLiteral("il sistema di stampa non risponde");
    default:
        // The print system's own words beat a vague one of ours.
        return testo.isEmpty()
            ? QStringLiteral("errore %1 del sistema di stampa").arg(int(esito), 4, 16, QLatin1Char('0'))
            : testo;
    }
}

#endif

QList<Stampante> Installate()
{
    return servizi().stampanti ? servizi().stampanti() : DiSistema();
}

void Configura(QPrinter& printer, const Stampante& stampante)
{
    if (stampante.pdfIntegrata) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        return;
    }
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(stampante.nome);
}

StatoCoda Stato(const QString& nome)
{
    StatoCoda stato;
#ifdef CARTAVIA_CUPS
    ipp_t* risposta = AttributiCoda(nome, { "printer-is-accepting-jobs", "printer-state-message" });
    if (!risposta)
        return stato;
    if (ipp_attribute_t* a = ippFindAttribute(risposta, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        stato.accetta = ippGetBoolean(a, 0) != 0;
    stato.messaggio = Testo(risposta, "printer-state-message");
    ippDelete(risposta);
#else
    Q_UNUSED(nome);
#endif
    return stato;
}

int UltimoLavoro(const QString& nome)
{
    int ultimo = 0;
#ifdef CARTAVIA_CUPS
    cups_job_t* lavori = nullptr;
    const int n
        = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, nome.toLocal8Bit().constData(), 1, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i)
        ultimo = std::max(ultimo, lavori[i].id);
    cupsFreeJobs(n, lavori);
#else
    Q_UNUSED(nome);
#endif
    return ultimo;
}

QString RifiutoLavoro(const QString& nome, const QString& titolo, int ultimoPrima)
{
#ifdef CARTAVIA_CUPS
    // The answer to the submission, before the next request replaces it.
    const ipp_status_t esito = cupsLastError();
    const QString testo = QString::fromUtf8(cupsLastErrorString());

    cups_job_t* lavori = nullptr;
    const int n
        = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, nome.toLocal8Bit().constData(), 1, CUPS_WHICHJOBS_ALL);
    const cups_job_t* nostro = nullptr;
    for (int i = 0; i < n; ++i)
        if (lavori[i].id > ultimoPrima && QString::fromLocal8Bit(lavori[i].title) == titolo
            && (!nostro || lavori[i].id > nostro->id))
            nostro = &lavori[i];
    QString motivo;
    if (nostro) {
        // Taken, then dropped at once: a filter that failed, or someone who cancelled it.
        if (nostro->state == IPP_JSTATE_ABORTED)
            motivo = QStringLiteral("il sistema di stampa ha interrotto il lavoro");
        else if (nostro->state == IPP_JSTATE_CANCELED)
            motivo = QStringLiteral("il lavoro è stato annullato");
    } else if (esito > IPP_STATUS_OK_EVENTS_COMPLETE) {
        motivo = MotivoRifiuto(esito, testo, nome);
    }
    // No job and no error: a print system that keeps no history of finished jobs.
    cupsFreeJobs(n, lavori);
    return motivo;
#else
    Q_UNUSED(nome);
    Q_UNUSED(titolo);
    Q_UNUSED(ultimoPrima);
    return {};
#endif
}

} // namespace ElencoStampanti
