#include "Report.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Orologio.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"
#include "printing/PaginaLavagna.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <kainjow/mustache.hpp>

#include <limits>
#include <optional>

namespace Report {

namespace {

using kainjow::mustache::data;
using kainjow::mustache::mustache;

const QString UrlLogo = QStringLiteral("cartavia:logo");
const QString Estensione = QStringLiteral(".html");

std::string u8(const QString& s)
{
    return s.toStdString();
}

// The settings row of a report: what the template may show of the company.
struct Azienda
{
    bool riga = false;
    Configurazione::Dati dati;
    QImage logo;
};

// " {configurazioni.indice} > N " -> N; an empty formula reads the first row.
bool SogliaIndice(const QString& formula, qint64& soglia)
{
    if (formula.trimmed().isEmpty()) {
        soglia = std::numeric_limits<qint64>::min();
        return true;
    }
    static const QRegularExpression forma(
        QStringLiteral("^\\s*\\{configurazioni\\.indice\\}\\s*>\\s*(-?\\d+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = forma.match(formula);
    if (!m.hasMatch())
        return false;
    soglia = m.captured(1).toLongLong();
    return true;
}

bool Flag(const QVariant& v)
{
    const int n = v.toInt();
    return n == 1 || n == -1;
}

bool LeggiAzienda(const QString& archivio, qint64 soglia, Azienda& azienda)
{
    return EseguiPasso([&] {
        azienda = {};
        Archivio db(archivio);
        QSqlQuery q = db.esegui(
            QStringLiteral(
                "SELECT RagSociale, Indirizzo, Cap, Comune, Provincia, Piva, CodiceFiscale, Tel, Fax, "
                "VisualizzaIntestazione, VisualizzaLogo, Logo FROM Configurazioni WHERE Indice > ? "
                "ORDER BY Indice LIMIT 1"),
            { soglia });
        if (!q.next())
            return;
        azienda.riga = true;
        Configurazione::Dati& d = azienda.dati;
        d.RagSociale = q.value(0).toString();
        d.Indirizzo = q.value(1).toString();
        d.Cap = q.value(2).toString();
        d.Comune = q.value(3).toString();
        d.Provincia = q.value(4).toString();
        d.Piva = q.value(5).toString();
        d.CodiceFiscale = q.value(6).toString();
        d.Tel = q.value(7).toString();
        d.Fax = q.value(8).toString();
        d.VisualizzaIntestazione = Flag(q.value(9));
        d.VisualizzaLogo = Flag(q.value(10));
        // A field that holds no picture leaves the logo out.
        if (d.VisualizzaLogo)
            azienda.logo = QImage::fromData(q.value(11).toByteArray());
    });
}

// A text and whether it holds anything: {{X}} and {{#haX}}.
void Imposta(data& d, const QString& nome, const QString& valore)
{
    d.set(u8(nome), u8(valore));
    const QString ha = QStringLiteral("ha") + nome.left(1).toUpper() + nome.mid(1);
    d.set(u8(ha), !valore.trimmed().isEmpty());
}

data Riga(const QString& testo, bool grassetto)
{
    data r;
    r.set("testo", u8(testo));
    r.set("grassetto", grassetto);
    r.set("vuota", testo.trimmed().isEmpty());
    // A rule ("-----") and a banner ("---- TOTALI ----") may be laid out apart from the text.
    static const QRegularExpression soloTrattini(QStringLiteral("^\\s*-{3,}\\s*$"));
    static const QRegularExpression titolo(QStringLiteral("^\\s*-{3,}.*[^-\\s].*-{3,}\\s*$"));
    r.set("separatore", soloTrattini.match(testo).hasMatch());
    r.set("banner", titolo.match(testo).hasMatch());
    return r;
}

data Dati(const Richiesta& r, const Azienda& azienda)
{
    data d;
    Imposta(d, QStringLiteral("titolo"), r.titolo);
    Imposta(d, QStringLiteral("dataStampa"), Module1::FormattaData(Orologio::Oggi()));

    const Configurazione::Dati& a = azienda.dati;
    d.set("intestazione", azienda.riga && a.VisualizzaIntestazione);
    const QList<std::pair<QString, QString>> campi { { QStringLiteral("RagSociale"), a.RagSociale },
        { QStringLiteral("Indirizzo"), a.Indirizzo }, { QStringLiteral("Cap"), a.Cap },
        { QStringLiteral("Comune"), a.Comune }, { QStringLiteral("Provincia"), a.Provincia },
        { QStringLiteral("Piva"), a.Piva }, { QStringLiteral("CodiceFiscale"), a.CodiceFiscale },
        { QStringLiteral("Tel"), a.Tel }, { QStringLiteral("Fax"), a.Fax } };
    for (const auto& [nome, valore] : campi)
        Imposta(d, nome, valore.trimmed());
    // The lines under the company name, worded as on the detailed print.
    const PaginaLavagna::Intestazione i = PaginaLavagna::RigheIntestazione(a);
    data righeIntestazione { data::type::list };
    for (const QString& testo : { i.Indirizzo, i.Cap, i.Piva, i.Tel }) {
        if (testo.isEmpty())
            continue;
        data riga;
        riga.set("testo", u8(testo));
        righeIntestazione << riga;
    }
    d.set("righeIntestazione", righeIntestazione);

    const bool logo = azienda.riga && a.VisualizzaLogo && !azienda.logo.isNull();
    d.set("haLogo", logo);
    d.set("logo", logo ? u8(UrlLogo) : std::string());

    for (const Parametro& p : r.parametri)
        Imposta(d, p.nome, p.valore);

    data righe { data::type::list };
    for (const TabellaStampa2::RigaStampa2& riga : r.righeStampa2)
        righe << Riga(riga.Des1, riga.Grassetto != 0);
    for (const TabellaStampa::RigaStampa& riga : r.righeStampa)
        righe << Riga(riga.Descrizione, false);
    d.set("haRighe", !r.righeStampa2.isEmpty() || !r.righeStampa.isEmpty());
    d.set("righe", righe);
    return d;
}

} // namespace

QString Richiesta::parametro(const QString& nome) const
{
    for (const Parametro& p : parametri)
        if (p.nome == nome)
            return p.valore;
    return {};
}

QString CartellaModelli()
{
    if (!servizi().cartellaModelli.isEmpty())
        return servizi().cartellaModelli;
    const QDir programma(QCoreApplication::applicationDirPath());
    const QString accanto = programma.filePath(QStringLiteral("reports"));
    if (QFileInfo(accanto).isDir())
        return accanto;
    const QString installati
        = QDir::cleanPath(programma.filePath(QStringLiteral("../share/cartavia/reports")));
    if (QFileInfo(installati).isDir())
        return installati;
    return accanto;
}

QString FileModello(const QString& modello)
{
    return QDir(CartellaModelli()).filePath(modello + Estensione);
}

struct Composizione::Stato
{
    Richiesta richiesta;
    QString nomeFile;
    std::optional<mustache> modello;
    Azienda azienda;
    data valori;
};

Composizione::Composizione() = default;
Composizione::~Composizione() = default;

bool Composizione::Prepara(const Richiesta& r, QString* errore)
{
    m.reset();
    const auto fallisci = [errore](const QString& testo) {
        if (errore)
            *errore = testo;
        return false;
    };
    const QString file = FileModello(r.modello);
    const QString nomeFile = QDir::toNativeSeparators(file);
    if (!QFileInfo(file).isFile())
        return fallisci(
            QStringLiteral("Modello di stampa «%1» non trovato.\nIl file «%2» deve trovarsi nella "
                           "cartella «reports» accanto al programma.")
                .arg(r.modello, nomeFile));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return fallisci(QStringLiteral("Impossibile leggere il modello di stampa «%1»:\n%2")
                            .arg(nomeFile, f.errorString()));
    const QByteArray testo = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return fallisci(QStringLiteral("Impossibile leggere il modello di stampa «%1»:\n%2")
                            .arg(nomeFile, f.errorString()));

    auto stato = std::make_unique<Stato>();
    stato->modello.emplace(testo.toStdString());
    if (!stato->modello->is_valid())
        return fallisci(QStringLiteral("Il modello di stampa «%1» non è valido:\n%2")
                            .arg(nomeFile, QString::fromStdString(stato->modello->error_message())));

    qint64 soglia = 0;
    if (!SogliaIndice(r.formulaSelezione, soglia))
        return fallisci(
            QStringLiteral("Formula di selezione non riconosciuta: «%1».").arg(r.formulaSelezione.trimmed()));
    if (!LeggiAzienda(r.archivio, soglia, stato->azienda))
        return fallisci(QStringLiteral("Impossibile leggere i dati dell'azienda dall'archivio:\n%1")
                            .arg(QDir::toNativeSeparators(r.archivio)));
    stato->richiesta = r;
    stato->nomeFile = nomeFile;
    stato->valori = Dati(r, stato->azienda);
    m = std::move(stato);
    return true;
}

bool Composizione::Componi(
    Documento& documento, const std::function<void(Valori&)>& aggiungi, QString* errore) const
{
    if (!m) {
        if (errore)
            *errore = QStringLiteral("Modello di stampa non preparato.");
        return false;
    }
    std::string html;
    if (aggiungi) {
        data valori = m->valori;
        aggiungi(valori);
        html = m->modello->render(valori);
    } else {
        html = m->modello->render(m->valori);
    }
    if (!m->modello->is_valid()) {
        if (errore)
            *errore = QStringLiteral("Il modello di stampa «%1» non è valido:\n%2")
                          .arg(m->nomeFile, QString::fromStdString(m->modello->error_message()));
        return false;
    }
    documento.html = QString::fromStdString(html);
    documento.titolo = m->richiesta.titolo;
    const Azienda& a = m->azienda;
    documento.logo = a.riga && a.dati.VisualizzaLogo ? a.logo : QImage();
    return true;
}

bool Componi(const Richiesta& r, Documento& documento, QString* errore)
{
    Composizione composizione;
    return composizione.Prepara(r, errore) && composizione.Componi(documento, {}, errore);
}

namespace {

QPaintDevice* DispositivoImpaginazione()
{
    // 96 dots an inch: the resolution CSS pixels and picture sizes of a template are meant at.
    static QImage dispositivo = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return &dispositivo;
}

// The first block of the part anchored as the foot, or an invalid block.
QTextBlock BloccoPiede(const QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto f = b.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().anchorNames().contains(AncoraPiede))
                return b;
    return {};
}

// Where the foot part begins and how far down it is drawn: to the bottom of the last page. A foot
// that began on an earlier page is laid out again to start the last one, so it is never cut in
// two; one that would then run onto another page stays where it was. Drawing it lower, rather
// than laying the document out again, keeps a sheet's cost to one layout.
void CollocaPiede(Impaginato& impaginato, qreal altezzaPagina)
{
    QTextDocument& doc = *impaginato.documento;
    const QTextBlock piede = BloccoPiede(doc);
    if (!piede.isValid() || altezzaPagina <= 0)
        return;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const auto pagina = [altezzaPagina](qreal y) { return int(y / altezzaPagina); };
    const auto fine = [&] { return layout->blockBoundingRect(doc.lastBlock()).bottom(); };
    qreal inizio = layout->blockBoundingRect(piede).top();
    if (pagina(inizio) < pagina(fine() - 1)) {
        const int pagine = doc.pageCount();
        QTextCursor cursore(piede);
        QTextBlockFormat formato = piede.blockFormat();
        const qreal prima = formato.topMargin();
        formato.setTopMargin(prima + (pagina(inizio) + 1) * altezzaPagina - inizio + 1);
        cursore.setBlockFormat(formato);
        if (doc.pageCount() > pagine) {
            formato.setTopMargin(prima);
            cursore.setBlockFormat(formato);
        }
        inizio = layout->blockBoundingRect(piede).top();
    }
    // A little room left: rounding must not push the last line off the page.
    const qreal spazio = doc.pageCount() * altezzaPagina - fine() - 2;
    if (spazio > 1 && pagina(inizio) == doc.pageCount() - 1) {
        impaginato.inizioPiede = inizio;
        impaginato.spostamentoPiede = spazio;
    }
}

} // namespace

Impaginato Impagina(const Documento& documento, const QSizeF& corpo)
{
    Impaginato impaginato;
    impaginato.documento = std::make_unique<QTextDocument>();
    QTextDocument& doc = *impaginato.documento;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    if (!documento.logo.isNull())
        doc.addResource(QTextDocument::ImageResource, QUrl(UrlLogo), documento.logo);
    // The text first, the layout after: a layout present while the text goes in would follow
    // every insertion, and each of page size and paint device given to a layout lays it out again.
    doc.setHtml(documento.html);
    doc.setPageSize(corpo);
    doc.documentLayout()->setPaintDevice(DispositivoImpaginazione());
    CollocaPiede(impaginato, corpo.height());
    return impaginato;
}

int Disegna(const Documento& documento, QPainter& painter, QPagedPaintDevice& printer)
{
    const int risoluzione = printer.logicalDpiX();
    const QRectF area = printer.pageLayout().paintRectPixels(risoluzione);
    // The document is laid out at 96 dots an inch and drawn scaled to the printer's resolution:
    // text and rules stay sharp, margins and pictures keep the size the template gives them.
    const qreal scala = risoluzione / 96.0;
    const qreal piede = 96.0 * 10 / 25.4; // 1 cm at the foot for the page number
    const QSizeF corpo(area.width() / scala, area.height() / scala - piede);
    const Impaginato impaginato = Impagina(documento, corpo);
    QTextDocument* doc = impaginato.documento.get();
    QString titolo = doc->metaInformation(QTextDocument::DocumentTitle).trimmed();
    if (titolo.isEmpty())
        titolo = documento.titolo;
    const int pagine = doc->pageCount();

    QFont carattere(QStringLiteral("DejaVu Sans"));
    carattere.setPixelSize(10);
    for (int i = 0; i < pagine; ++i) {
        if (i > 0 && !printer.newPage())
            return i;
        painter.save();
        painter.scale(scala, scala);
        // The page's band of the document; on the foot's page the foot is drawn lower.
        const qreal alto = i * corpo.height();
        const qreal basso = alto + corpo.height();
        const auto fascia = [&](qreal da, qreal a, qreal giu) {
            painter.save();
            painter.setClipRect(QRectF(0, da - alto + giu, corpo.width(), a - da));
            painter.translate(0, giu - alto);
            QAbstractTextDocumentLayout::PaintContext contesto;
            contesto.clip = QRectF(0, da, corpo.width(), a - da);
            doc->documentLayout()->draw(&painter, contesto);
            painter.restore();
        };
        const qreal inizioPiede = impaginato.inizioPiede;
        if (impaginato.spostamentoPiede > 0 && inizioPiede >= alto && inizioPiede < basso) {
            // The bands do not touch: a line met by both would be written twice (a PDF keeps the
            // text a clip hides). The pixel between them lies in the foot's blank top margin.
            fascia(alto, inizioPiede - 2, 0);
            fascia(inizioPiede - 1, basso - impaginato.spostamentoPiede, impaginato.spostamentoPiede);
        } else {
            fascia(alto, basso, 0);
        }

        painter.setFont(carattere);
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.6));
        const qreal linea = corpo.height() + piede * 0.3;
        painter.drawLine(QPointF(0, linea), QPointF(corpo.width(), linea));
        const QRectF riga(0, linea + piede * 0.1, corpo.width(), piede * 0.6);
        painter.drawText(riga, Qt::AlignLeft | Qt::AlignVCenter, titolo);
        painter.drawText(
            riga, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Pag. %1 di %2").arg(i + 1).arg(pagine));
        painter.restore();
    }
    return pagine;
}

} // namespace Report
