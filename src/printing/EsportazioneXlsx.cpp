#include "EsportazioneXlsx.h"

#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/GrigliaTotali.h"
#include "diary/RigheDipendenti.h"

#include <QColor>
#include <QDir>
#include <QHash>
#include <QSet>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

namespace Esportazione::Xlsx {

namespace {

constexpr int MassimoTesto = 32767; // characters in a cell or a comment
constexpr double LarghezzaGiorno = 4.5; // characters
constexpr double LarghezzaGiornoConMese = 5.8;
constexpr int MassimaLarghezza = 45;
constexpr uint8_t A4 = 9;

inline const QColor ColoreDidascalia { 0xD9, 0xD9, 0xE8 };
inline const QColor ColoreBordo { 0xBF, 0xBF, 0xBF };
// The day cells of weekends and holidays, lighter than their header.
inline const QColor ColoreSabatoChiaro { 0xFF, 0xEE, 0xEE };
inline const QColor ColoreFestivoChiaro { 0xFF, 0xD9, 0xD9 };

lxw_color_t rgb(const QColor& c)
{
    return lxw_color_t((c.red() << 16) | (c.green() << 8) | c.blue());
}

// The library writes XML 1.0, which has no place for control characters.
QByteArray utf8(const QString& testo)
{
    QString t = testo.left(MassimoTesto);
    t.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'; });
    return t.toUtf8();
}

QByteArray nomeColonna(int colonna)
{
    QByteArray nome;
    for (int c = colonna + 1; c > 0; c = (c - 1) / 26)
        nome.prepend(char('A' + (c - 1) % 26));
    return nome;
}

bool intero(double valore)
{
    return std::abs(valore - std::round(valore)) < 1e-9;
}

// One worksheet: the first failure of the library is kept, and each column remembers its widest
// text so the widths fit.
class Foglio
{
public:
    Foglio(lxw_workbook* libro, const QString& nome)
        : m_foglio(workbook_add_worksheet(libro, utf8(nome).constData()))
    {
        if (!m_foglio)
            m_errore = LXW_ERROR_MEMORY_MALLOC_FAILED;
    }

    bool valido() const { return m_foglio; }
    lxw_error errore() const { return m_errore; }

    void testo(int r, int c, const QString& t, lxw_format* f)
    {
        misura(c, t.size());
        scrivi(r, c, t, f);
    }
    // A title runs over the columns beside it: it gives its column no width.
    void titolo(const QString& t, lxw_format* f) { scrivi(0, 0, t, f); }
    void scrivi(int r, int c, const QString& t, lxw_format* f)
    {
        if (t.isEmpty())
            vuota(r, c, f);
        else
            esito(worksheet_write_string(m_foglio, lxw_row_t(r), lxw_col_t(c), utf8(t).constData(), f));
    }
    void numero(int r, int c, double v, lxw_format* f)
    {
        misura(c, Module1::FormattaNumero(v).size());
        esito(worksheet_write_number(m_foglio, lxw_row_t(r), lxw_col_t(c), v, f));
    }
    void vuota(int r, int c, lxw_format* f)
    {
        if (f)
            esito(worksheet_write_blank(m_foglio, lxw_row_t(r), lxw_col_t(c), f));
    }
    void formula(int r, int c, const QByteArray& formula, double risultato, lxw_format* f)
    {
        misura(c, Module1::FormattaNumero(risultato).size());
        esito(worksheet_write_formula_num(
            m_foglio, lxw_row_t(r), lxw_col_t(c), formula.constData(), f, risultato));
    }
    void data(int r, int c, const QDate& d, lxw_format* f)
    {
        lxw_datetime giorno { d.year(), d.month(), d.day(), 0, 0, 0 };
        misura(c, 10);
        esito(worksheet_write_datetime(m_foglio, lxw_row_t(r), lxw_col_t(c), &giorno, f));
    }
    void commento(int r, int c, const QString& t)
    {
        lxw_comment_options opzioni {};
        opzioni.width = 240;
        opzioni.height
            = uint16_t(std::clamp(int(t.size() / 40 + t.count(QLatin1Char('\n')) + 2) * 16, 60, 300));
        esito(
            worksheet_write_comment_opt(m_foglio, lxw_row_t(r), lxw_col_t(c), utf8(t).constData(), &opzioni));
    }

    void misura(int c, qsizetype caratteri)
    {
        if (c >= m_larghezze.size())
            m_larghezze.resize(c + 1, 0);
        m_larghezze[c] = std::max(m_larghezze.at(c), int(std::min<qsizetype>(caratteri, MassimaLarghezza)));
    }
    // A column given its width here keeps it; the others take their widest text.
    void larghezza(int colonna, double caratteri)
    {
        esito(worksheet_set_column(m_foglio, lxw_col_t(colonna), lxw_col_t(colonna), caratteri, nullptr));
        m_fissate.insert(colonna);
    }
    // Landscape on A4, one page wide, the header rows on every page, the name columns frozen.
    void impagina(int righeFisse, int colonneFisse)
    {
        for (int c = 0; c < m_larghezze.size(); ++c)
            if (!m_fissate.contains(c))
                esito(worksheet_set_column(
                    m_foglio, lxw_col_t(c), lxw_col_t(c), std::max(m_larghezze.at(c), 4) + 2, nullptr));
        worksheet_freeze_panes(m_foglio, lxw_row_t(righeFisse), lxw_col_t(colonneFisse));
        worksheet_set_landscape(m_foglio);
        worksheet_set_paper(m_foglio, A4);
        worksheet_fit_to_pages(m_foglio, 1, 0);
        if (righeFisse > 1)
            esito(worksheet_repeat_rows(m_foglio, 1, lxw_row_t(righeFisse - 1)));
        esito(worksheet_set_footer(m_foglio, "&CPagina &P di &N"));
    }

private:
    void esito(lxw_error e)
    {
        if (e != LXW_NO_ERROR && m_errore == LXW_NO_ERROR)
            m_errore = e;
    }

    lxw_worksheet* m_foglio;
    lxw_error m_errore = LXW_NO_ERROR;
    QList<int> m_larghezze;
    QSet<int> m_fissate;
};

// The workbook's formats, made once each.
class Formati
{
public:
    explicit Formati(lxw_workbook* libro)
        : m_libro(libro)
    {
        titolo = workbook_add_format(libro);
        format_set_bold(titolo);
        format_set_font_size(titolo, 14);
        didascalia = cornice(ColoreDidascalia);
        format_set_bold(didascalia);
        format_set_align(didascalia, LXW_ALIGN_CENTER);
        didascaliaSinistra = cornice(ColoreDidascalia);
        format_set_bold(didascaliaSinistra);
        for (int i = 0; i < 2; ++i)
            blocco[i]
                = cornice(i == 0 ? RigheDipendenti::ColorePrimoBlocco : RigheDipendenti::ColoreSecondoBlocco);
        const QColor intestazioni[3] = { GrigliaDettaglio::ColoreFeriale, GrigliaDettaglio::ColoreSabato,
            GrigliaDettaglio::ColoreDomenica };
        for (int g = 0; g < 3; ++g) {
            intestazioneGiorno[g] = cornice(intestazioni[g]);
            format_set_bold(intestazioneGiorno[g]);
            format_set_align(intestazioneGiorno[g], LXW_ALIGN_CENTER);
        }
        for (int i = 0; i < 2; ++i) {
            totale[i] = numero(i == 0, QColor(0xF2, 0xF2, 0xF2));
            format_set_bold(totale[i]);
        }
        data = workbook_add_format(libro);
        format_set_num_format(data, "dd/mm/yyyy");
        format_set_align(data, LXW_ALIGN_LEFT);
        grassetto = workbook_add_format(libro);
        format_set_bold(grassetto);
    }

    // A day cell: by the day (weekday, Saturday, Sunday or holiday), what it holds and its note.
    lxw_format* giorno(Giorno::Genere genere, const Cella& cella)
    {
        const int tipo = cella.genere == Cella::Genere::Ore ? (intero(cella.ore) ? 1 : 2) : 0;
        const int chiave = int(genere) * 6 + tipo * 2 + (cella.nota.isEmpty() ? 0 : 1);
        if (lxw_format* f = m_giorni.value(chiave))
            return f;
        QColor sfondo;
        if (!cella.nota.isEmpty())
            sfondo = GrigliaDettaglio::ColoreNota;
        else if (genere == Giorno::Genere::Festivo)
            sfondo = ColoreFestivoChiaro;
        else if (genere == Giorno::Genere::Sabato)
            sfondo = ColoreSabatoChiaro;
        lxw_format* f = tipo == 0 ? cornice(sfondo) : numero(tipo == 1, sfondo);
        format_set_align(f, LXW_ALIGN_CENTER);
        m_giorni.insert(chiave, f);
        return f;
    }

    // The totals sheet: the employees' rows, the types' sub-totals and the total.
    enum class Riepilogo { Corpo, Parziale, Totale };
    lxw_format* cifra(Riepilogo riga, bool interoSenzaVirgola)
    {
        const int chiave = int(riga) * 2 + (interoSenzaVirgola ? 1 : 0);
        if (lxw_format* f = m_cifre.value(chiave))
            return f;
        lxw_format* f = numero(interoSenzaVirgola, sfondo(riga));
        format_set_align(f, LXW_ALIGN_CENTER);
        if (riga == Riepilogo::Totale)
            format_set_bold(f);
        m_cifre.insert(chiave, f);
        return f;
    }
    lxw_format* etichetta(Riepilogo riga)
    {
        if (lxw_format* f = m_etichette.value(int(riga)))
            return f;
        lxw_format* f = cornice(sfondo(riga));
        if (riga == Riepilogo::Totale)
            format_set_bold(f);
        m_etichette.insert(int(riga), f);
        return f;
    }

    // A number, whole or not, on a background (an invalid colour: none).
    lxw_format* numero(bool interoSenzaVirgola, const QColor& sfondo)
    {
        // "0.##" leaves a bare separator after a whole number ("8,"): whole hours take "0".
        lxw_format* f = cornice(sfondo);
        format_set_num_format(f, interoSenzaVirgola ? "0" : "0.##");
        return f;
    }

    lxw_format* cornice(const QColor& sfondo)
    {
        lxw_format* f = workbook_add_format(m_libro);
        format_set_border(f, LXW_BORDER_THIN);
        format_set_border_color(f, rgb(ColoreBordo));
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (sfondo.isValid())
            format_set_bg_color(f, rgb(sfondo));
        return f;
    }

    lxw_format* titolo;
    lxw_format* didascalia;
    lxw_format* didascaliaSinistra;
    lxw_format* blocco[2];
    lxw_format* intestazioneGiorno[3];
    lxw_format* totale[2];
    lxw_format* data;
    lxw_format* grassetto;

private:
    lxw_workbook* m_libro;
    static QColor sfondo(Riepilogo riga)
    {
        return riga == Riepilogo::Totale  ? GrigliaTotali::ColoreTotali
            : riga == Riepilogo::Parziale ? GrigliaTotali::ColoreParziali
                                          : QColor();
    }

    QHash<int, lxw_format*> m_giorni;
    QHash<int, lxw_format*> m_cifre;
    QHash<int, lxw_format*> m_etichette;
};

constexpr int RigaIniziali = 1;
constexpr int RigaDidascalie = 2;
constexpr int PrimaRigaPresenze = 3;

Risultato presenze(Foglio& foglio, Formati& formati, const Lettura& dati, const Passo& passo)
{
    const int identita = int(ColonneIdentita().size());
    const int giorni = int(dati.giorni.size());
    const int colonnaTotale = identita + giorni;

    foglio.titolo(Titolo(dati, FoglioPresenze), formati.titolo);
    // Row by row: the mode that keeps the memory small takes no going back to an earlier row.
    for (int c = 0; c < identita; ++c)
        foglio.vuota(RigaIniziali, c, formati.didascaliaSinistra);
    for (int g = 0; g < giorni; ++g)
        foglio.testo(RigaIniziali, identita + g, dati.giorni.at(g).iniziali,
            formati.intestazioneGiorno[int(dati.giorni.at(g).genere)]);
    foglio.vuota(RigaIniziali, colonnaTotale, formati.didascalia);
    for (int c = 0; c < identita; ++c)
        foglio.testo(RigaDidascalie, c, ColonneIdentita().at(c), formati.didascaliaSinistra);
    for (int g = 0; g < giorni; ++g) {
        const Giorno& giorno = dati.giorni.at(g);
        foglio.testo(
            RigaDidascalie, identita + g, giorno.numero, formati.intestazioneGiorno[int(giorno.genere)]);
        if (!giorno.festa.isEmpty())
            foglio.commento(RigaDidascalie, identita + g, giorno.festa);
    }
    foglio.testo(RigaDidascalie, colonnaTotale, ColonnaTotale, formati.didascalia);

    // The total is a sum the spreadsheet keeps up to date when a cell is corrected there.
    const QByteArray primaGiorni = nomeColonna(identita);
    const QByteArray ultimaGiorni = nomeColonna(std::max(identita, colonnaTotale - 1));
    int r = PrimaRigaPresenze;
    for (int p = 0; p < dati.persone.size(); ++p) {
        const QList<Cella> celle = dati.Blocco(p);
        lxw_format* colore = formati.blocco[p % 2];
        for (int t = 0; t < dati.righe.size(); ++t, ++r) {
            const QStringList campi = Identita(dati.persone.at(p), dati.righe.at(t));
            for (int c = 0; c < identita; ++c)
                foglio.testo(r, c, campi.at(c), colore);
            double totale = 0;
            for (int g = 0; g < giorni; ++g) {
                const Cella& cella = celle.at(t * giorni + g);
                lxw_format* f = formati.giorno(dati.giorni.at(g).genere, cella);
                if (cella.genere == Cella::Genere::Ore) {
                    foglio.numero(r, identita + g, cella.ore, f);
                    totale += cella.ore;
                } else {
                    foglio.testo(r, identita + g, cella.testo, f);
                }
                if (!cella.nota.isEmpty())
                    foglio.commento(r, identita + g, cella.nota);
            }
            const QByteArray riga = QByteArray::number(r + 1);
            foglio.formula(r, colonnaTotale, "=SUM(" + primaGiorni + riga + ':' + ultimaGiorni + riga + ')',
                totale, formati.totale[intero(totale) ? 0 : 1]);
        }
        if (foglio.errore() != LXW_NO_ERROR)
            return Risultato::Errore;
        if (!passo(p + 1))
            return Risultato::Annullato;
    }

    const bool conMese = !dati.giorni.isEmpty() && dati.giorni.first().numero.contains(QLatin1Char('/'));
    for (int g = 0; g < giorni; ++g)
        foglio.larghezza(identita + g, conMese ? LarghezzaGiornoConMese : LarghezzaGiorno);
    foglio.impagina(PrimaRigaPresenze, identita);
    return foglio.errore() == LXW_NO_ERROR ? Risultato::Fatto : Risultato::Errore;
}

// The totals view built as the main window builds it, and its numbers copied: the sheet and the
// view cannot disagree.
bool riepilogo(Foglio& foglio, Formati& formati, const Richiesta& richiesta, const Lettura& dati)
{
    GrigliaTotali::Parametri p;
    p.archivio = richiesta.archivio;
    p.criteri = richiesta.criteri;
    p.tipi = richiesta.tipi;
    if (dati.periodo.mensile()) {
        p.mese = dati.periodo.mese.nomeMese();
        p.anno = dati.periodo.mese.testoAnno();
    } else {
        p.dal = Module1::FormattaData(dati.periodo.dal);
        p.al = Module1::FormattaData(dati.periodo.al);
    }
    Griglia griglia;
    const GrigliaTotali::Esito esito = GrigliaTotali::DimensionaGriglia2(griglia, p);
    if (!esito.letto || !esito.costruita())
        return false;

    QHash<qint64, const Persona*> persone;
    for (const Persona& persona : dati.persone)
        persone.insert(persona.indice, &persona);

    const int identita = int(ColonneIdentita().size());
    const int primaStato = identita + 1;
    foglio.titolo(Titolo(dati, FoglioRiepilogo), formati.titolo);
    constexpr int rigaDidascalie = 1;
    for (int c = 0; c < identita; ++c)
        foglio.testo(rigaDidascalie, c, ColonneIdentita().at(c), formati.didascaliaSinistra);
    foglio.testo(rigaDidascalie, identita, QStringLiteral("Ore"), formati.didascalia);
    for (int s = 0; s < esito.numeroStati; ++s)
        foglio.testo(rigaDidascalie, primaStato + s, griglia.testo(1, GrigliaTotali::PrimaColonnaStati + s),
            formati.didascalia);

    // Empty where the view shows nothing (a zero).
    const auto cifre = [&](int r, int rigaGriglia, Formati::Riepilogo riga) {
        for (int s = -1; s < esito.numeroStati; ++s) {
            const QString testo = griglia.testo(rigaGriglia, GrigliaTotali::PrimaColonnaStati + s);
            const double valore = testo.isEmpty() ? 0 : Module1::ValoreNumerico(testo);
            lxw_format* f = formati.cifra(riga, intero(valore));
            if (valore != 0)
                foglio.numero(r, primaStato + s, valore, f);
            else
                foglio.vuota(r, primaStato + s, f);
        }
    };

    int r = rigaDidascalie + 1;
    int blocco = -1;
    qint64 ultimo = 0;
    for (int g = GrigliaDettaglio::RigheFisse; g < esito.primaRigaRiepilogo; ++g, ++r) {
        const qint64 indice = griglia.testo(g, 0).toLongLong();
        if (g == GrigliaDettaglio::RigheFisse || indice != ultimo)
            ++blocco;
        ultimo = indice;
        const Persona* persona = persone.value(indice);
        const QStringList campi = persona ? Identita(*persona, griglia.testo(g, 3))
                                          : QStringList { griglia.testo(g, 1), griglia.testo(g, 2), QString(),
                                                QString(), griglia.testo(g, 3) };
        for (int c = 0; c < identita; ++c)
            foglio.testo(r, c, campi.at(c), formati.blocco[blocco % 2]);
        cifre(r, g, Formati::Riepilogo::Corpo);
    }

    // The view's summary: the types' sub-totals (when there are extra types) and the total.
    ++r;
    for (int g = esito.primaRigaRiepilogo; g <= esito.rigaTotale(); ++g) {
        const QString tipo = griglia.testo(g, 3);
        if (tipo == GrigliaTotali::TrattinoTipo)
            continue;
        const Formati::Riepilogo riga
            = g == esito.rigaTotale() ? Formati::Riepilogo::Totale : Formati::Riepilogo::Parziale;
        for (int c = 0; c < identita; ++c)
            foglio.testo(r, c, c == identita - 1 ? tipo : QString(), formati.etichetta(riga));
        cifre(r, g, riga);
        ++r;
    }
    for (int s = 0; s < esito.numeroStati; ++s)
        foglio.larghezza(primaStato + s,
            double(
                std::max<qsizetype>(6, griglia.testo(1, GrigliaTotali::PrimaColonnaStati + s).size() + 3)));
    foglio.impagina(rigaDidascalie + 1, identita);
    return true;
}

void legenda(Foglio& foglio, Formati& formati, const Lettura& dati)
{
    foglio.titolo(Titolo(dati, FoglioLegenda), formati.titolo);
    int r = 2;
    foglio.testo(r, 0, QStringLiteral("Stato"), formati.didascaliaSinistra);
    foglio.testo(r, 1, QStringLiteral("Descrizione"), formati.didascaliaSinistra);
    lxw_format* cella = formati.cornice(QColor());
    for (const QString& stato : dati.stati) {
        ++r;
        foglio.testo(r, 0, stato, cella);
        foglio.testo(r, 1, dati.elenco.descrizione(stato), cella);
    }

    r += 2;
    foglio.testo(r, 0, QStringLiteral("Data"), formati.didascaliaSinistra);
    foglio.testo(r, 1, QStringLiteral("Festività"), formati.didascaliaSinistra);
    if (dati.feste.isEmpty())
        foglio.testo(++r, 0, QStringLiteral("Nessuna festività nel periodo."), nullptr);
    for (const Festivita::Festa& f : dati.feste) {
        ++r;
        foglio.data(r, 0, f.data, formati.data);
        foglio.testo(r, 1, f.nome, cella);
    }

    r += 2;
    foglio.testo(r, 0, QStringLiteral("Colori"), formati.didascaliaSinistra);
    foglio.vuota(r, 1, formati.didascaliaSinistra);
    const std::pair<QString, QColor> colori[] = {
        { QStringLiteral("Sabato"), GrigliaDettaglio::ColoreSabato },
        { QStringLiteral("Domenica o festività"), GrigliaDettaglio::ColoreDomenica },
        { QStringLiteral("Giorno con nota"), GrigliaDettaglio::ColoreNota },
    };
    for (const auto& [nome, colore] : colori) {
        ++r;
        foglio.vuota(r, 0, formati.cornice(colore));
        foglio.testo(r, 1, nome, cella);
    }
    foglio.larghezza(0, 14);
    foglio.impagina(1, 0);
}

QString descrizione(lxw_error e)
{
    QString testo = QString::fromUtf8(lxw_strerror(e));
    if (testo.endsWith(QLatin1Char('.')))
        testo.chop(1);
    switch (e) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral(
            "il foglio di calcolo non si è potuto comporre tra i file temporanei, forse per "
            "mancanza di spazio su disco (%1)")
            .arg(testo);
    default:
        return QStringLiteral("il foglio di calcolo non si è potuto comporre (%1)").arg(testo);
    }
}

} // namespace

Risultato Scrivi(const QString& file, const QString& cartellaLavoro, const Richiesta& richiesta,
    const Lettura& dati, const Passo& passo, QString* errore)
{
    const QByteArray nome = QDir::toNativeSeparators(file).toLocal8Bit();
    QByteArray lavoro = QDir::toNativeSeparators(cartellaLavoro).toLocal8Bit();
    lxw_workbook_options opzioni {};
    // Each row goes to a work file as soon as the next one starts: the memory stays that of a row.
    // Every sheet is written top to bottom, and comments are kept apart from the rows, so the
    // mode takes all this workbook needs.
    opzioni.constant_memory = LXW_TRUE;
    opzioni.tmpdir = lavoro.data();
    lxw_workbook* libro = workbook_new_opt(nome.constData(), &opzioni);
    if (!libro) {
        *errore = QStringLiteral("la libreria dei fogli di calcolo non ha potuto iniziare il file");
        return Risultato::Errore;
    }

    const QByteArray titolo = utf8(Titolo(dati, FoglioPresenze));
    const QByteArray azienda = utf8(dati.azienda);
    const QByteArray programma = QByteArrayLiteral("Cartavia");
    lxw_doc_properties proprieta {};
    proprieta.title = const_cast<char*>(titolo.constData());
    proprieta.company = const_cast<char*>(azienda.constData());
    proprieta.author = const_cast<char*>(programma.constData());
    workbook_set_properties(libro, &proprieta);

    Formati formati(libro);
    Foglio fogli[]
        = { Foglio(libro, FoglioPresenze), Foglio(libro, FoglioRiepilogo), Foglio(libro, FoglioLegenda) };
    Risultato risultato = Risultato::Errore;
    lxw_error problema = LXW_NO_ERROR;
    if (std::all_of(std::begin(fogli), std::end(fogli), [](const Foglio& f) { return f.valido(); })) {
        risultato = presenze(fogli[0], formati, dati, passo);
        if (risultato == Risultato::Fatto && !riepilogo(fogli[1], formati, richiesta, dati)) {
            risultato = Risultato::Errore;
            *errore = QStringLiteral("i totali del periodo non si sono potuti leggere dall'archivio");
        }
        if (risultato == Risultato::Fatto)
            legenda(fogli[2], formati, dati);
        for (const Foglio& f : fogli)
            if (problema == LXW_NO_ERROR)
                problema = f.errore();
    }
    // Closing also frees the workbook, so it runs on every path; what it writes then is dropped.
    const lxw_error chiusura = workbook_close(libro);
    if (problema == LXW_NO_ERROR)
        problema = chiusura;
    if (risultato == Risultato::Fatto && problema != LXW_NO_ERROR)
        risultato = Risultato::Errore;
    if (risultato == Risultato::Errore && errore->isEmpty())
        *errore = descrizione(problema);
    return risultato;
}

} // namespace Esportazione::Xlsx
