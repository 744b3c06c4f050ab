#pragma once

#include "platform/Stampante.h"
#include "printing/TabellaStampa.h"
#include "printing/TabellaStampa2.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QPainter;
class QPagedPaintDevice;
class QTextDocument;
namespace kainjow::mustache {
template <typename string_type> class basic_data;
}

// The program's report component. It takes what a print hands over (archive, the settings row to
// read, the parameters, printer, destination, and the work-table lines this print wrote), fills
// the report's template, an HTML file next to the program, with Mustache, lays the result out
// with QTextDocument on A4 pages with page numbers and previews or prints it.
namespace Report {

inline const QString StampaRiepilogativa = QStringLiteral("StampaRiepilogativa");
inline const QString StampaGenerica = QStringLiteral("StampaGenerica");
// The settings row every summary reads.
inline const QString FormulaConfigurazioni = QStringLiteral(" {configurazioni.indice} > 0 ");

enum class Destinazione { Anteprima, Stampante };

// A parameter as "name;value;TRUE": the value is taken as the current one.
struct Parametro
{
    QString nome;
    QString valore;

    bool operator==(const Parametro&) const = default;
};

struct Richiesta
{
    QString modello; // the template's name ("StampaRiepilogativa"), without extension
    QString archivio; // the archive the settings row is read from
    // Which Configurazioni row the company data come from: " {configurazioni.indice} > N " (the
    // first row above N); empty for the first row.
    QString formulaSelezione;
    QList<Parametro> parametri;
    Stampante stampante; // invalid: the system's default printer
    Destinazione destinazione = Destinazione::Anteprima;
    QString titolo; // names the job and the PDF proposed; {{titolo}} in the template
    // The lines this print wrote, in reading order (never read back from the shared tables).
    QList<TabellaStampa2::RigaStampa2> righeStampa2;
    QList<TabellaStampa::RigaStampa> righeStampa;

    QString parametro(const QString& nome) const;
};

// The folder of the templates: the services' one when set, else "reports" next to the program
// (or share/cartavia/reports of an installed program).
QString CartellaModelli();
QString FileModello(const QString& modello);

// A report ready to be laid out: the filled HTML and the pictures it refers to.
struct Documento
{
    QString html;
    QString titolo; // the document's <title>, or the request's title
    QImage logo; // "cartavia:logo" in the HTML
};

// Reads the template and the settings row and fills the template. False with the reason (in
// Italian) when the template is missing, unreadable or not a valid template, or the archive
// could not be read.
bool Componi(const Richiesta& richiesta, Documento& documento, QString* errore = nullptr);

// The values of a template: texts, switches, lists.
using Valori = kainjow::mustache::basic_data<std::string>;

// A template and the company row read once and filled for many documents of one print (the
// attendance sheets: one document per employee, each drawn before the next is filled).
class Composizione
{
public:
    Composizione();
    ~Composizione();
    Composizione(const Composizione&) = delete;
    Composizione& operator=(const Composizione&) = delete;

    // Reads the request's template and settings row; false with the reason, as Componi.
    bool Prepara(const Richiesta& richiesta, QString* errore = nullptr);
    // Fills the template with the request's values and those `aggiungi` sets (replacing any of
    // the same name).
    bool Componi(Documento& documento, const std::function<void(Valori&)>& aggiungi = {},
        QString* errore = nullptr) const;

private:
    struct Stato;
    std::unique_ptr<Stato> m;
};

// The anchor of a template's closing part (signatures, a place and date): `<a name="piede">` on
// its first line sends that part down to the foot of the last page.
inline const QString AncoraPiede = QStringLiteral("piede");

// A report laid out on its pages, and where its closing part is drawn.
struct Impaginato
{
    std::unique_ptr<QTextDocument> documento;
    qreal inizioPiede = 0; // where the closing part begins in the document
    qreal spostamentoPiede = 0; // how much lower it is drawn: at the foot of the last page
};

// The document laid out at 96 dots an inch on pages of `corpo` (in those dots).
Impaginato Impagina(const Documento& documento, const QSizeF& corpo);

// Draws every page on `printer` through `painter` (already begun on it), each page with its
// number at the foot; answers the pages drawn.
int Disegna(const Documento& documento, QPainter& painter, QPagedPaintDevice& printer);

} // namespace Report
