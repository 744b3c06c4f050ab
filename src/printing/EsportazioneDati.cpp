#include "EsportazioneDati.h"

#include "archive/Archivio.h"
#include "archive/FestivitaAzienda.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/GrigliaTotali.h"
#include "diary/RegoleCella.h"

#include <QFileInfo>
#include <QIODevice>
#include <QSqlQuery>

#include <algorithm>

namespace Esportazione {

QString Periodo::testo() const
{
    if (mensile())
        return mese.nomeMese() + QLatin1Char(' ') + mese.testoAnno();
    return QStringLiteral("dal %1 al %2").arg(Module1::FormattaData(dal), Module1::FormattaData(al));
}

std::optional<Periodo> PeriodoRichiesto(const Richiesta& richiesta, QString* errore)
{
    Periodo p;
    if (richiesta.dal.isValid() && richiesta.al.isValid()) {
        if (richiesta.dal > richiesta.al) {
            *errore = QStringLiteral("La data iniziale (%1) viene dopo la data finale (%2).")
                          .arg(Module1::FormattaData(richiesta.dal), Module1::FormattaData(richiesta.al));
            return std::nullopt;
        }
        p.dal = richiesta.dal;
        p.al = richiesta.al;
        if (p.giorni() > MassimoGiorni) {
            *errore = QStringLiteral("Il periodo dal %1 al %2 è di %3 giorni: se ne esportano al massimo %4 "
                                     "alla volta.")
                          .arg(Module1::FormattaData(p.dal), Module1::FormattaData(p.al))
                          .arg(p.giorni())
                          .arg(MassimoGiorni);
            return std::nullopt;
        }
        return p;
    }
    if (!richiesta.mese.valido()) {
        *errore = QStringLiteral("Il mese o l'anno da esportare non è valido.");
        return std::nullopt;
    }
    p.mese = richiesta.mese;
    p.dal = richiesta.mese.data(1);
    p.al = richiesta.mese.data(richiesta.mese.giorni());
    return p;
}

const QStringList& ColonneIdentita()
{
    static const QStringList colonne { QStringLiteral("Codice"), QStringLiteral("Cognome"),
        QStringLiteral("Nome"), QStringLiteral("Codice fiscale"), QStringLiteral("Tipo") };
    return colonne;
}

QStringList Identita(const Persona& persona, const QString& tipo)
{
    return { persona.codice, persona.cognome, persona.nome, persona.codiceFiscale, tipo };
}

QString Titolo(const Lettura& dati, const QString& cosa)
{
    const QString titolo = cosa + QLatin1Char(' ') + dati.periodo.testo();
    return dati.azienda.isEmpty() ? titolo : dati.azienda + QStringLiteral(" - ") + titolo;
}

bool ScriviTutto(QIODevice& file, const QByteArray& byte)
{
    // A file that reaches its size limit or the disk's end takes part of a write without a word;
    // the next write of the rest fails with the reason.
    for (qsizetype scritti = 0; scritti < byte.size();) {
        const qint64 n = file.write(byte.constData() + scritti, byte.size() - scritti);
        if (n <= 0)
            return false;
        scritti += n;
    }
    return true;
}

QList<Cella> Lettura::Blocco(int persona) const
{
    QList<Cella> celle(righe.size() * giorni.size());
    const auto trovate
        = voci.constFind(persona >= 0 && persona < persone.size() ? persone.at(persona).indice : 0);
    if (trovate == voci.constEnd())
        return celle;
    QList<const Voce*> ordine;
    ordine.reserve(trovate->size());
    for (const Voce& v : *trovate)
        ordine << &v;
    std::sort(
        ordine.begin(), ordine.end(), [](const Voce* a, const Voce* b) { return a->indice < b->indice; });
    for (const Voce* v : std::as_const(ordine)) {
        Cella& c = celle[v->posto];
        const QString nota = c.nota;
        c = v->cella;
        // A note of an earlier entry of the same day stays when the later one has none.
        if (c.nota.isEmpty())
            c.nota = nota;
    }
    return celle;
}

namespace {

QString iniziali(const QDate& data)
{
    return Module1::NomeGiorno(Module1::NumeroGiornoSettimana(data)).left(2);
}

QList<Festivita::Festa> festeDelPeriodo(const QString& archivio, const Periodo& p)
{
    QList<Festivita::Festa> feste;
    QHash<int, Festivita::GiorniAzienda> azienda;
    for (QDate mese(p.dal.year(), p.dal.month(), 1); mese <= p.al; mese = mese.addMonths(1)) {
        if (!azienda.contains(mese.year()))
            azienda.insert(mese.year(), FestivitaAzienda::Leggi(archivio, mese.year()));
        for (const Festivita::Festa& f :
            Festivita::DaEvidenziare(mese.year(), mese.month(), azienda[mese.year()]))
            if (f.data >= p.dal && f.data <= p.al)
                feste << f;
    }
    return feste;
}

QList<Giorno> giorniDelPeriodo(const Periodo& p, const QList<Festivita::Festa>& feste)
{
    QHash<QDate, QString> nomi;
    for (const Festivita::Festa& f : feste)
        nomi.insert(f.data, f.nome);
    const bool conMese = p.dal.month() != p.al.month() || p.dal.year() != p.al.year();
    QList<Giorno> giorni;
    for (QDate d = p.dal; d <= p.al; d = d.addDays(1)) {
        Giorno g;
        g.data = d;
        g.numero = conMese ? QStringLiteral("%1/%2").arg(d.day()).arg(d.month()) : QString::number(d.day());
        g.iniziali = iniziali(d);
        g.festa = nomi.value(d);
        if (d.dayOfWeek() == Qt::Sunday || !g.festa.isEmpty())
            g.genere = Giorno::Genere::Festivo;
        else if (d.dayOfWeek() == Qt::Saturday)
            g.genere = Giorno::Genere::Sabato;
        giorni << g;
    }
    return giorni;
}

Cella cellaDi(
    const QString& stato, const QString& descrizione, const QString& nota, const ElencoStati& elenco)
{
    Cella c;
    c.nota = nota;
    const RegoleCella::Contenuto k = RegoleCella::Classifica(stato, elenco);
    switch (k.genere) {
    case RegoleCella::Contenuto::Genere::Vuoto:
        break;
    case RegoleCella::Contenuto::Genere::Ore:
        c.genere = Cella::Genere::Ore;
        c.ore = k.numero;
        c.testo = k.testo;
        break;
    case RegoleCella::Contenuto::Genere::Stato:
        c.genere = Cella::Genere::Testo;
        c.testo = stato.trimmed();
        c.descrizione = k.descrizione;
        break;
    case RegoleCella::Contenuto::Genere::NonValido:
        // A code no longer in the states table: shown as stored, as the grid shows it.
        c.genere = Cella::Genere::Testo;
        c.testo = stato.trimmed();
        c.descrizione = descrizione;
        break;
    }
    return c;
}

void leggiArchivio(Archivio& db, const Richiesta& r, const Periodo& p, Lettura& l)
{
    l.azienda = db.valore(QStringLiteral("SELECT RagSociale FROM Configurazioni ORDER BY Indice LIMIT 1"))
                    .toString()
                    .trimmed();
    l.stati = GrigliaTotali::StatiInColonna(db);
    l.elenco = ElencoStati::Leggi(db);

    const QList<RigheDipendenti::Dipendente> dipendenti = RigheDipendenti::LeggiDipendenti(db, r.criteri);
    {
        QVariantList valori;
        const QString condizione = RigheDipendenti::CondizioneDipendenti(r.criteri, {}, valori);
        QHash<qint64, Persona> dettagli;
        QSqlQuery q = db.esegui(QStringLiteral("SELECT Indice, Cognome, Nome, CodiceFiscale FROM "
                                               "TabellaAnagrafiche WHERE ")
                + condizione,
            valori);
        while (q.next()) {
            Persona persona;
            persona.cognome = q.value(1).toString().trimmed();
            persona.nome = q.value(2).toString().trimmed();
            persona.codiceFiscale = q.value(3).toString().trimmed();
            dettagli.insert(q.value(0).toLongLong(), persona);
        }
        l.persone.clear();
        for (const RigheDipendenti::Dipendente& d : dipendenti) {
            Persona persona = dettagli.value(d.indice);
            persona.indice = d.indice;
            persona.codice = d.codice;
            if (persona.cognome.isEmpty() && persona.nome.isEmpty())
                persona.cognome = d.ragSociale.trimmed();
            l.persone << persona;
        }
    }

    l.voci.clear();
    if (l.persone.isEmpty())
        return;
    QHash<qint64, int> chi;
    for (const Persona& persona : std::as_const(l.persone))
        chi.insert(persona.indice, 0);
    // Types compare without regard to case, as the grid finds its rows.
    QHash<QString, int> riga;
    for (int t = 0; t < l.righe.size(); ++t)
        riga.insert(l.righe.at(t).toCaseFolded(), t);
    const int giorni = int(l.giorni.size());

    // The same period filter as the totals view, so both read the same entries.
    GrigliaTotali::Parametri filtro;
    filtro.criteri = r.criteri;
    if (p.mensile()) {
        filtro.mese = p.mese.nomeMese();
        filtro.anno = p.mese.testoAnno();
    } else {
        filtro.dal = Module1::FormattaData(p.dal);
        filtro.al = Module1::FormattaData(p.al);
    }
    QVariantList valori;
    QString origine;
    if (!p.mensile() && r.criteri.codiceDipendente.isEmpty()) {
        // A period of everyone: the days are walked once through the Data index.
        origine = QStringLiteral(" FROM TabellaMovimenti m WHERE ")
            + GrigliaTotali::CondizionePeriodo(filtro, QStringLiteral("m"), valori);
    } else {
        // A month, or one employee: each employee's entries through the index that starts with it.
        const QString dipendentiScelti
            = RigheDipendenti::CondizioneDipendenti(r.criteri, QStringLiteral("a"), valori);
        const QString inPeriodo = GrigliaTotali::CondizionePeriodo(filtro, QStringLiteral("m"), valori);
        origine = QStringLiteral(" FROM TabellaAnagrafiche a CROSS JOIN TabellaMovimenti m"
                                 " ON m.IndiceAnagrafica = a.Indice WHERE ")
            + dipendentiScelti + QStringLiteral(" AND ") + inPeriodo;
    }
    // A saved month stores its empty days too: they are no entries.
    db.scorri(QStringLiteral("SELECT m.Indice, m.IndiceAnagrafica, m.Tipo, m.Giorno, m.Data, m.Stato, "
                             "m.Descrizione, m.Note")
            + origine + QStringLiteral(" AND (m.StatoNum <> 0 OR m.Stato <> '' OR m.Note <> '')"),
        valori, [&](const RigaRapida& q) {
            const qint64 indiceDipendente = q.intero(1);
            if (!chi.contains(indiceDipendente))
                return;
            const auto t = riga.constFind(q.testo(2).toCaseFolded());
            if (t == riga.constEnd())
                return;
            int giorno = -1;
            if (p.mensile())
                giorno = GrigliaDettaglio::NumeroGiorno(q.testo(3)) - 1;
            else if (const QDate data = QDate::fromString(q.testo(4).left(10), Qt::ISODate); data.isValid())
                giorno = int(p.dal.daysTo(data));
            if (giorno < 0 || giorno >= giorni)
                return;
            Cella c = cellaDi(q.testo(5), q.testo(6), q.testo(7).trimmed(), l.elenco);
            if (c.genere == Cella::Genere::Vuota && c.nota.isEmpty())
                return;
            l.voci[indiceDipendente].append({ q.intero(0), *t * giorni + giorno, std::move(c) });
        });
}

} // namespace

std::optional<QString> Leggi(const Richiesta& richiesta, const Periodo& periodo, Lettura& lettura)
{
    if (!Archivio::Esiste(richiesta.archivio))
        return QStringLiteral("L'archivio «%1» non esiste.").arg(richiesta.archivio);
    lettura = Lettura();
    lettura.periodo = periodo;
    lettura.righe = QStringList { RigheDipendenti::Ordinario } + richiesta.tipi;
    lettura.feste = festeDelPeriodo(richiesta.archivio, periodo);
    lettura.giorni = giorniDelPeriodo(periodo, lettura.feste);

    bool esiste = true;
    int numero = 0;
    QString descrizione;
    const bool letto = EseguiConAttesa(
        [&] {
            Archivio db(richiesta.archivio);
            if (!richiesta.criteri.codiceDipendente.isEmpty())
                esiste = db.valore(QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche WHERE Indice > 0 "
                                                  "AND Codice = ? COLLATE NOCASE"),
                               { richiesta.criteri.codiceDipendente })
                             .toInt()
                    > 0;
            if (!esiste)
                return;
            // One snapshot: a save by another user meanwhile is either all in or all out.
            db.esegui(QStringLiteral("BEGIN"));
            try {
                leggiArchivio(db, richiesta, periodo, lettura);
            } catch (...) {
                db.esegui(QStringLiteral("ROLLBACK"));
                throw;
            }
            db.esegui(QStringLiteral("COMMIT"));
        },
        &numero, &descrizione);
    if (!letto)
        return QStringLiteral("Impossibile leggere l'archivio «%1»: %2").arg(richiesta.archivio, descrizione);
    if (!esiste)
        return QStringLiteral("Nessun dipendente ha il codice «%1».").arg(richiesta.criteri.codiceDipendente);
    return std::nullopt;
}

} // namespace Esportazione
