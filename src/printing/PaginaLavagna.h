#pragma once

#include "masterdata/Configurazione.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// The arithmetic of the detailed print preview (Lavagna), without any widget: where each control
// of the window stands (twips), which header lines it shows, how many grid rows fit on a page.
namespace PaginaLavagna {

// A control of the preview window: position and size in twips, its text, shown or hidden.
struct Controllo
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QString testo;
    bool visibile = true;

    QRect rettangolo() const { return { left, top, width, height }; }
};

constexpr int LarghezzaFinestra = 11000; // the window width every page is laid out at
constexpr int AltezzaLegenda = 195;
constexpr int RigheMassime = 65;

// The window as it is loaded, then changed by the header and by the page.
struct Pagina
{
    int left = 0;
    int top = 0;
    int width = 15300;
    int height = 8000;
    Controllo FStampa { 11760, -60, 2235, 615, {}, true };
    Controllo RagSociale { 50, 60, 12015, 345, {}, false };
    Controllo Indirizzo { 50, 450, 12015, 300, {}, false };
    Controllo Cap { 50, 750, 12015, 300, {}, false };
    Controllo Piva { 50, 1050, 12015, 300, {}, false };
    Controllo Tel { 50, 1350, 12015, 300, {}, false };
    Controllo Logo { 50, 30, 4000, 3000, {}, false };
    QImage immagineLogo;
    Controllo Periodo { 50, 3090, 5595, 405, QStringLiteral("Periodo"), true };
    Controllo LabelInfo { 30, 3510, 14985, AltezzaLegenda, {}, true };
    Controllo ImmagineStampa { 50, 3480, 3555, 3795, {}, true };
};

// The header lines of the company settings; an empty text is a line never written (hidden).
struct Intestazione
{
    QString RagSociale;
    QString Indirizzo;
    QString Cap; // "Cap: ... - Comune: ... - Pr. : ..."
    QString Piva; // "P.Iva : ... - Cod.Fiscale : ..."
    QString Tel; // "Tel : ... - Fax : ..."
};
Intestazione RigheIntestazione(const Configurazione::Dati& dati);

// Fills the header of `pagina` and stacks its blocks: `riga` is the settings row (nullptr when
// the archive has none), `logo` the stored picture (null when none or unreadable), `legenda`
// the states legend of the main window. A legend taller than one line (a long list of states
// wraps) pushes the picture down by `altezzaLegenda` twips instead of being cut.
void InserisciDatiTestata(Pagina& pagina, const Configurazione::Dati* riga, const QImage& logo,
    const QString& legenda, int altezzaLegenda = AltezzaLegenda);

// " (Pag. 1 di 1)" for a single page, "  (Pag. p di P)" for the paged print.
QString TestoPagina(int pagina, int pagine, bool paginata);
// "Periodo Dal: <dal>  al: <al>" when either box holds a valid date, else
// "Mese: <mese>  Anno: <anno>", followed by the page text.
QString TestoPeriodo(const QString& dal, const QString& al, const QString& mese, const QString& anno,
    const QString& testoPagina);

// The period in a document's name: "dal <dal> al <al>" with a valid date, else "<mese> <anno>".
QString NomePeriodo(const QString& dal, const QString& al, const QString& mese, const QString& anno);

// Places the grid picture (natural size `foto`, twips) under the header, scaled to the window
// width with its proportions kept, sets the period line and sizes and centres the window on a
// screen of `schermo` twips.
void PreparaPagina(Pagina& pagina, const QSize& foto, const QString& periodo, const QSize& schermo);

// Grid rows per page: the rows of `altezzaRiga0` twips (with room to spare) that fit under the
// picture's top on a screen `altezzaSchermo` twips high, at most 65, rounded down to whole
// employee blocks of `numeroTipi` + 1 rows when at least one block fits.
int CalcolaNumeroRigheInStampa(int altezzaSchermo, int topImmagine, int altezzaRiga0, int numeroTipi);

// Pages of the paged print of `righe` grid rows (two of them fixed) at `perPagina` rows a page.
int NumeroPagine(int righe, int perPagina);
// The page a body row (2 .. righe - 1) is printed on.
int PaginaDellaRiga(int riga, int perPagina);

} // namespace PaginaLavagna
