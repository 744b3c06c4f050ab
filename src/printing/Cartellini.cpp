#include "Cartellini.h"

#include "archive/Archivio.h"
#include "archive/FestivitaAzienda.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Festivita.h"
#include "diary/ElencoStati.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/RegoleCella.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QMap>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSqlQuery>

#include <kainjow/mustache.hpp>

#include <algorithm>

namespace Cartellini {

namespace {

using kainjow::mustache::data;

std::string u8(const QString& s)
{
    return s.toStdString();
}

// {{X}} and its switch {{#haX}}, as the report sets the company's values.
void Imposta(data& d, const QString& nome, const QString& valore)
{
    d.set(u8(nome), u8(valore));
    d.set(u8(QStringLiteral("ha") + nome.left(1).toUpper() + nome.mid(1)), !valore.trimmed().isEmpty());
}

// The registry fields a sheet shows, in the order of the query.
const QStringList CampiAnagrafica { QStringLiteral("Codice"), QStringLiteral("RagSociale"),
    QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("CodiceFiscale"),
    QStringLiteral("DataNascita"), QStringLiteral("LuogoNascita"), QStringLiteral("ProvinciaDiNascita"),
    QStringLiteral("Cittadinanza"), QStringLiteral("Indirizzo"), QStringLiteral("Cap"),
    QStringLiteral("Comune"), QStringLiteral("Provincia"), QStringLiteral("Telefono"),
    QStringLiteral("Cellulare"), QStringLiteral("Email") };

// One day of one type as stored: the row written last gives the text, the last row with a note
// gives the note (a day stored twice shows as the grid shows it).
struct Cella
{
    QString testo;
    QString nota;
    qint64 rigaTesto = 0;
    qint64 rigaNota = 0;
};

struct Foglio
{
    QStringList anagrafica; // CampiAnagrafica
    QList<Cella> celle; // type (0 = ORDINARIO) by day
};

QString Unisci(const QStringList& parti, const QString& separatore)
{
    QStringList piene;
    for (const QString& p : parti)
        if (!p.trimmed().isEmpty())
            piene << p.trimmed();
    return piene.join(separatore);
}

} // namespace

QString Titolo(const MeseAnno& mese)
{
    return QStringLiteral("Cartellini presenze %1 %2").arg(mese.nomeMese(), mese.testoAnno());
}

struct Fogli::Dati
{
    Richiesta richiesta;
    Report::Composizione composizione;
    QList<RigheDipendenti::Dipendente> dipendenti;
    QHash<qint64, Foglio> fogli;
    QStringList tipi; // ORDINARIO first
    ElencoStati stati;
    QHash<int, QString> feste; // day -> holiday name
    int giorni = 0;

    qsizetype posto(int tipo, int giorno) const { return qsizetype(tipo) * giorni + giorno - 1; }
    // The sheet's own values of the template.
    void Valori(data& valori, const RigheDipendenti::Dipendente& d, const Foglio& f) const;
};

Fogli::Fogli(const Richiesta& richiesta)
    : m(std::make_unique<Dati>())
{
    m->richiesta = richiesta;
}

Fogli::~Fogli() = default;

int Fogli::numero() const
{
    return int(m->dipendenti.size());
}

bool Fogli::Leggi(QString* errore)
{
    const Richiesta& r = m->richiesta;
    const auto fallisci = [errore](const QString& testo) {
        if (errore)
            *errore = testo;
        return false;
    };
    if (!r.mese.valido())
        return fallisci(QStringLiteral("Mese o anno non validi."));
    const QString nonLetto = QStringLiteral("Impossibile leggere l'archivio «%1»: i cartellini non sono "
                                            "stati stampati.")
                                 .arg(QDir::toNativeSeparators(r.archivio));

    Report::Richiesta report;
    report.modello = Modello;
    report.archivio = r.archivio;
    report.formulaSelezione = Report::FormulaConfigurazioni;
    report.parametri
        = { { QStringLiteral("Mese"), r.mese.nomeMese() }, { QStringLiteral("Anno"), r.mese.testoAnno() } };
    report.titolo = QStringLiteral("Cartellino presenze %1 %2").arg(r.mese.nomeMese(), r.mese.testoAnno());
    if (!m->composizione.Prepara(report, errore))
        return false;

    m->giorni = r.mese.giorni();
    m->tipi = QStringList { RigheDipendenti::Ordinario };
    if (!r.tipi.isEmpty()) {
        m->tipi += r.tipi;
    } else {
        bool letti = false;
        m->tipi += RigheDipendenti::CaricaTipi(r.archivio, &letti);
        if (!letti)
            return fallisci(nonLetto);
    }
    QHash<QString, int> colonne; // types compare without regard to case, as the grid's rows do
    for (int t = 0; t < m->tipi.size(); ++t)
        colonne.insert(m->tipi.at(t).toCaseFolded(), t);

    const Festivita::GiorniAzienda azienda = FestivitaAzienda::Leggi(r.archivio, r.mese.anno);
    m->feste.clear();
    for (const Festivita::Festa& f : Festivita::DaEvidenziare(r.mese.anno, r.mese.mese, azienda))
        m->feste.insert(f.data.day(), f.nome);

    const bool letto = EseguiPasso([&] {
        m->dipendenti.clear();
        m->fogli.clear();
        Archivio db(r.archivio);
        m->stati = ElencoStati::Leggi(db);
        m->dipendenti = RigheDipendenti::LeggiDipendenti(db, r.criteri);

        QVariantList valori;
        const QString condizione
            = RigheDipendenti::CondizioneDipendenti(r.criteri, QStringLiteral("a"), valori);
        QStringList campi;
        for (const QString& c : CampiAnagrafica)
            campi << QStringLiteral("a.") + c;
        const qsizetype celle = m->tipi.size() * m->giorni;
        db.scorri(QStringLiteral("SELECT a.Indice, ") + campi.join(QStringLiteral(", "))
                + QStringLiteral(" FROM TabellaAnagrafiche a WHERE ") + condizione,
            valori, [&](const RigaRapida& q) {
                Foglio f;
                for (int c = 0; c < CampiAnagrafica.size(); ++c)
                    f.anagrafica << q.testo(c + 1);
                f.celle.resize(celle);
                m->fogli.insert(q.intero(0), f);
            });

        // The whole month in one query, each employee's rows found through the month index.
        valori << r.mese.testoAnno() << r.mese.nomeMese();
        db.scorri(QStringLiteral("SELECT m.Indice, m.IndiceAnagrafica, m.Tipo, m.Giorno, m.Stato, m.Note "
                                 "FROM TabellaAnagrafiche a CROSS JOIN TabellaMovimenti m ON "
                                 "m.IndiceAnagrafica = a.Indice WHERE ")
                + condizione + QStringLiteral(" AND m.Anno = ? AND m.Mese = ?"),
            valori, [&](const RigaRapida& q) {
                const auto foglio = m->fogli.find(q.intero(1));
                const auto colonna = colonne.constFind(q.testo(2).toCaseFolded());
                const int giorno = GrigliaDettaglio::NumeroGiorno(q.testo(3));
                if (foglio == m->fogli.end() || colonna == colonne.constEnd() || giorno < 1
                    || giorno > m->giorni)
                    return;
                Cella& c = foglio->celle[m->posto(*colonna, giorno)];
                const qint64 riga = q.intero(0);
                if (riga >= c.rigaTesto) {
                    c.rigaTesto = riga;
                    c.testo = q.testo(4).trimmed();
                }
                const QString nota = q.testo(5);
                if (!nota.trimmed().isEmpty() && riga >= c.rigaNota) {
                    c.rigaNota = riga;
                    c.nota = nota.trimmed();
                }
            });
    });
    if (!letto) {
        m->dipendenti.clear();
        m->fogli.clear();
        return fallisci(nonLetto);
    }
    return true;
}

void Fogli::Dati::Valori(data& valori, const RigheDipendenti::Dipendente& d, const Foglio& f) const
{
    data dipendente;
    for (int c = 0; c < CampiAnagrafica.size(); ++c) {
        QString testo = f.anagrafica.value(c);
        if (CampiAnagrafica.at(c) == QLatin1String("DataNascita")) {
            const QDate data = QDate::fromString(testo.left(10), Qt::ISODate);
            testo = data.isValid() ? Module1::FormattaData(data) : QString();
        }
        Imposta(dipendente, CampiAnagrafica.at(c), testo);
    }
    // The name and code as the grid lists them.
    Imposta(dipendente, QStringLiteral("Codice"), d.codice);
    Imposta(dipendente, QStringLiteral("RagSociale"), d.ragSociale);
    const auto campo = [&f](const char* nome) {
        return f.anagrafica.value(CampiAnagrafica.indexOf(QLatin1String(nome))).trimmed();
    };
    const auto traParentesi
        = [](const QString& t) { return t.isEmpty() ? t : QStringLiteral("(%1)").arg(t); };
    // "il 10/05/1989 a Bergamo (BG)", either part alone when the other is missing.
    const QString luogo
        = Unisci({ campo("LuogoNascita"), traParentesi(campo("ProvinciaDiNascita")) }, QStringLiteral(" "));
    const QDate dataNascita = QDate::fromString(campo("DataNascita").left(10), Qt::ISODate);
    const QString nascita = Unisci(
        { dataNascita.isValid() ? QStringLiteral("il ") + Module1::FormattaData(dataNascita) : QString(),
            luogo.isEmpty() ? QString() : QStringLiteral("a ") + luogo },
        QStringLiteral(" "));
    Imposta(dipendente, QStringLiteral("nascita"), nascita);
    const QString comune
        = Unisci({ campo("Cap"), campo("Comune"), traParentesi(campo("Provincia")) }, QStringLiteral(" "));
    Imposta(dipendente, QStringLiteral("residenza"),
        Unisci({ campo("Indirizzo"), comune }, QStringLiteral(" - ")));
    valori.set("dipendente", dipendente);

    data colonneExtra { data::type::list };
    for (int t = 1; t < tipi.size(); ++t) {
        data colonna;
        colonna.set("tipo", u8(tipi.at(t)));
        colonneExtra << colonna;
    }
    valori.set("colonneExtra", colonneExtra);
    valori.set("haExtra", tipi.size() > 1);

    QList<double> ore(tipi.size(), 0.0);
    QMap<QString, int> giorniStato; // by code, as the totals order them
    QHash<QString, QString> codiceStato;
    int lavorati = 0;
    data righe { data::type::list };
    const MeseAnno& mese = richiesta.mese;
    for (int g = 1; g <= giorni; ++g) {
        const QDate giorno = mese.data(g);
        data riga;
        riga.set("numero", u8(QString::number(g)));
        riga.set("settimana", u8(Module1::NomeGiorno(Module1::NumeroGiornoSettimana(giorno))));
        const QString festa = feste.value(g);
        const bool festivo = giorno.dayOfWeek() == Qt::Sunday || !festa.isEmpty();
        riga.set("festivo", festivo);
        riga.set("classe", u8(festivo ? QStringLiteral("festivo") : QStringLiteral("feriale")));
        Imposta(riga, QStringLiteral("festa"), festa);

        QStringList note;
        data extra { data::type::list };
        for (int t = 0; t < tipi.size(); ++t) {
            const Cella& c = f.celle.at(posto(t, g));
            QString testo;
            double valore = 0;
            if (RegoleCella::Numero(c.testo, &valore)) {
                testo = Module1::FormattaNumero(valore);
                ore[t] += valore;
                if (t == 0)
                    ++lavorati;
            } else if (!c.testo.isEmpty() && stati.contiene(c.testo)) {
                const QString chiave = ElencoStati::Chiave(c.testo);
                ++giorniStato[chiave];
                codiceStato.insert(chiave, c.testo);
                testo = c.testo + QStringLiteral(" - ") + stati.descrizione(c.testo);
            } else {
                testo = c.testo;
            }
            if (t == 0) {
                Imposta(riga, QStringLiteral("ordinario"), testo);
            } else {
                data cella;
                cella.set("ore", u8(testo));
                extra << cella;
            }
            if (!c.nota.isEmpty())
                note << (t == 0 ? c.nota : tipi.at(t) + QStringLiteral(": ") + c.nota);
        }
        riga.set("extra", extra);
        Imposta(riga, QStringLiteral("nota"), note.join(QLatin1Char('\n')));
        righe << riga;
    }
    valori.set("giorni", righe);

    data totaliOre { data::type::list };
    for (int t = 0; t < tipi.size(); ++t) {
        data totale;
        totale.set("tipo", u8(tipi.at(t)));
        totale.set("ore", u8(Module1::FormattaNumero(ore.at(t))));
        totale.set("primo", t == 0);
        totaliOre << totale;
    }
    valori.set("totaliOre", totaliOre);
    valori.set("giorniLavorati", u8(QString::number(lavorati)));
    data totaliStati { data::type::list };
    for (auto s = giorniStato.cbegin(); s != giorniStato.cend(); ++s) {
        data totale;
        totale.set("codice", u8(codiceStato.value(s.key())));
        totale.set("descrizione", u8(stati.descrizione(s.key())));
        totale.set("giorni", u8(QString::number(s.value())));
        totale.set("primo", s == giorniStato.cbegin());
        totaliStati << totale;
    }
    valori.set("totaliStati", totaliStati);
    valori.set("haStati", !giorniStato.isEmpty());
}

bool Fogli::Componi(int i, Report::Documento& documento, QString* errore) const
{
    if (i < 0 || i >= numero()) {
        if (errore)
            *errore = QStringLiteral("Cartellino non disponibile.");
        return false;
    }
    const RigheDipendenti::Dipendente& d = m->dipendenti.at(i);
    // An employee added between the two reads has a sheet without entries.
    Foglio vuoto;
    const auto trovato = m->fogli.constFind(d.indice);
    if (trovato == m->fogli.constEnd())
        vuoto.celle.resize(m->tipi.size() * m->giorni);
    const Foglio& f = trovato == m->fogli.constEnd() ? vuoto : *trovato;
    return m->composizione.Componi(
        documento, [&](Report::Valori& valori) { m->Valori(valori, d, f); }, errore);
}

bool Fogli::Disegna(
    QPainter& painter, QPagedPaintDevice& dispositivo, QString* errore, int* pagine, bool* annullata) const
{
    const auto& avanzamento = m->richiesta.avanzamento;
    int disegnate = 0;
    if (pagine)
        *pagine = 0;
    if (annullata)
        *annullata = false;
    for (int i = 0; i < numero(); ++i) {
        if (avanzamento && !avanzamento(i, numero())) {
            if (annullata)
                *annullata = true;
            if (errore)
                *errore = QStringLiteral("Stampa dei cartellini annullata.");
            return false;
        }
        Report::Documento documento;
        if (!Componi(i, documento, errore))
            return false;
        if (i > 0 && !dispositivo.newPage()) {
            if (errore)
                *errore = QStringLiteral("La stampante non ha accettato altre pagine.");
            return false;
        }
        disegnate += Report::Disegna(documento, painter, dispositivo);
        if (pagine)
            *pagine = disegnate;
    }
    if (avanzamento)
        avanzamento(numero(), numero());
    return true;
}

bool StampaPdf(const Richiesta& richiesta, const QString& filePdf, QString* errore, int* pagine)
{
    // Text is laid out with the fonts a graphical application loads.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (errore)
            *errore = QStringLiteral("La stampa dei cartellini richiede l'ambiente grafico del programma.");
        return false;
    }
    Fogli fogli(richiesta);
    if (!fogli.Leggi(errore))
        return false;
    if (fogli.numero() == 0) {
        if (errore)
            *errore = richiesta.criteri.codiceDipendente.isEmpty()
                ? QStringLiteral("Nessun dipendente da stampare.")
                : QStringLiteral("Nessun dipendente con codice «%1».")
                      .arg(richiesta.criteri.codiceDipendente);
        return false;
    }
    const QString nonScritto
        = QStringLiteral("Impossibile scrivere il file PDF «%1».\nVerificare che la cartella esista, che "
                         "sia scrivibile e che il file non sia aperto in un altro programma.")
              .arg(QDir::toNativeSeparators(filePdf));
    // Written aside and put in place at the end: a failure leaves no half file, nor loses an old one.
    QSaveFile file(filePdf);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errore)
            *errore = nonScritto;
        return false;
    }
    bool ok = false;
    {
        QPdfWriter pdf(&file);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        pdf.setTitle(Titolo(richiesta.mese));
        pdf.setCreator(QStringLiteral("Cartavia"));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            if (errore)
                *errore = nonScritto;
            return false;
        }
        ok = fogli.Disegna(painter, pdf, errore, pagine);
        if (!painter.end() && ok) {
            if (errore)
                *errore = nonScritto;
            ok = false;
        }
    }
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errore)
            *errore = nonScritto;
        return false;
    }
    return true;
}

} // namespace Cartellini
