#include "ElencoStampanti.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace ElencoStampanti {

namespace {

std::function<QList<Stampante>()>& fonte()
{
    static std::function<QList<Stampante>()> f;
    return f;
}

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

} // namespace

QList<Stampante> Installate()
{
    return fonte() ? fonte()() : DiSistema();
}

void ImpostaFonte(std::function<QList<Stampante>()> f)
{
    fonte() = std::move(f);
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

} // namespace ElencoStampanti
