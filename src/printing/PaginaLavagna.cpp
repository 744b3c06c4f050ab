#include "PaginaLavagna.h"

#include "archive/Module1.h"

#include <algorithm>
#include <cmath>

namespace PaginaLavagna {

namespace {

bool Presente(const QString& valore)
{
    return !valore.trimmed().isEmpty();
}

// Appends one part of a header line: the long separator when the line already holds text,
// else the short one.
void Aggiungi(QString& riga, const QString& valore, const QString& conTesto, const QString& senzaTesto)
{
    if (!Presente(valore))
        return;
    riga += (riga.trimmed().isEmpty() ? senzaTesto : conTesto) + valore;
}

void Scrivi(Controllo& c, const QString& testo)
{
    c.testo = testo;
    // A control shows as soon as one of its parts is written.
    if (!testo.isEmpty())
        c.visibile = true;
}

} // namespace

Intestazione RigheIntestazione(const Configurazione::Dati& d)
{
    Intestazione i;
    if (Presente(d.RagSociale))
        i.RagSociale = d.RagSociale;
    if (Presente(d.Indirizzo))
        i.Indirizzo = d.Indirizzo;
    Aggiungi(i.Cap, d.Cap, QStringLiteral("Cap: "), QStringLiteral("Cap: "));
    Aggiungi(i.Cap, d.Comune, QStringLiteral(" - Comune: "), QStringLiteral("Comune: "));
    Aggiungi(i.Cap, d.Provincia, QStringLiteral(" - Pr. : "), QStringLiteral("Pr. : "));
    Aggiungi(i.Piva, d.Piva, QStringLiteral("P.Iva : "), QStringLiteral("P.Iva : "));
    Aggiungi(i.Piva, d.CodiceFiscale, QStringLiteral(" - Cod.Fiscale : "), QStringLiteral("Cod.Fiscale : "));
    Aggiungi(i.Tel, d.Tel, QStringLiteral("Tel : "), QStringLiteral("Tel : "));
    Aggiungi(i.Tel, d.Fax, QStringLiteral(" - Fax : "), QStringLiteral("Fax : "));
    return i;
}

void InserisciDatiTestata(Pagina& p, const Configurazione::Dati* riga, const QImage& logo,
    const QString& legenda, int altezzaLegenda)
{
    p.width = LarghezzaFinestra;
    p.FStampa.left = p.width - p.FStampa.width - 150;

    p.LabelInfo.height = std::max(AltezzaLegenda, altezzaLegenda);
    // The legend is as wide as the page, so a long one wraps instead of running off the edge.
    p.LabelInfo.width = p.width - 2 * p.LabelInfo.left;
    p.Periodo.top = p.RagSociale.top;
    p.LabelInfo.top = p.RagSociale.top + p.RagSociale.height + 100;
    p.ImmagineStampa.top = p.LabelInfo.top + p.LabelInfo.height + 20;
    p.LabelInfo.testo = legenda;

    if (!riga)
        return;

    if (riga->VisualizzaIntestazione) {
        const Intestazione i = RigheIntestazione(*riga);
        Scrivi(p.RagSociale, i.RagSociale);
        Scrivi(p.Indirizzo, i.Indirizzo);
        Scrivi(p.Cap, i.Cap);
        Scrivi(p.Piva, i.Piva);
        Scrivi(p.Tel, i.Tel);
        p.Periodo.top = p.Tel.top + p.Tel.height + 100;
    }

    if (riga->VisualizzaLogo && !logo.isNull()) {
        p.immagineLogo = logo;
        p.Logo.left = p.width - p.Logo.width - 200;
        p.Logo.visibile = true;
        p.Periodo.top = p.Logo.top + p.Logo.height + 100;
    }

    p.LabelInfo.top = p.Periodo.top + p.Periodo.height + 100;
    p.ImmagineStampa.top = p.LabelInfo.top + p.LabelInfo.height;
}

QString TestoPagina(int pagina, int pagine, bool paginata)
{
    if (!paginata)
        return QStringLiteral(" (Pag. 1 di 1)");
    return QStringLiteral("  (Pag. %1 di %2)").arg(pagina).arg(pagine);
}

QString TestoPeriodo(const QString& dal, const QString& al, const QString& mese, const QString& anno,
    const QString& testoPagina)
{
    if (Module1::LeggiData(dal).isValid() || Module1::LeggiData(al).isValid())
        return QStringLiteral("Periodo Dal: ") + dal + QStringLiteral("  al: ") + al + testoPagina;
    return QStringLiteral("Mese: ") + mese + QStringLiteral("  Anno: ") + anno + testoPagina;
}

QString NomePeriodo(const QString& dal, const QString& al, const QString& mese, const QString& anno)
{
    if (Module1::LeggiData(dal).isValid() || Module1::LeggiData(al).isValid())
        return QStringLiteral("dal %1 al %2").arg(dal, al).simplified();
    return mese + QLatin1Char(' ') + anno;
}

void PreparaPagina(Pagina& p, const QSize& foto, const QString& periodo, const QSize& schermo)
{
    p.ImmagineStampa.left = 50;
    p.LabelInfo.left = 50;
    p.ImmagineStampa.width = p.width - 200;
    p.ImmagineStampa.height = foto.width() > 0
        ? int(std::lround(double(p.ImmagineStampa.width) * foto.height() / foto.width()))
        : 0;
    p.Periodo.width = p.width;
    p.Periodo.testo = periodo;
    p.height = p.ImmagineStampa.top + p.ImmagineStampa.height + 700;
    p.top = std::max(0, (schermo.height() - p.height) / 2 - 200);
    p.left = (schermo.width() - p.width) / 2;
}

int CalcolaNumeroRigheInStampa(int altezzaSchermo, int topImmagine, int altezzaRiga0, int numeroTipi)
{
    if (altezzaRiga0 <= 0)
        return 0;
    int r = int(std::floor((altezzaSchermo - topImmagine - 500) / (altezzaRiga0 * 1.35)));
    r = std::min(r, RigheMassime);
    if (numeroTipi > 0) {
        const int blocco = numeroTipi + 1;
        // Division rounding down, also below zero (a screen too small for one row).
        const int blocchi = int(std::floor(double(r) / blocco));
        if (blocchi * blocco > 0)
            r = blocchi * blocco;
    }
    return r;
}

int NumeroPagine(int righe, int perPagina)
{
    return perPagina > 0 ? (righe - 3) / perPagina + 1 : 1;
}

int PaginaDellaRiga(int riga, int perPagina)
{
    return perPagina > 0 ? (riga - 2) / perPagina + 1 : 1;
}

} // namespace PaginaLavagna
