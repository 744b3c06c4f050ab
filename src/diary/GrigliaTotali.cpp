#include "GrigliaTotali.h"

#include "archive/Archivio.h"
#include "archive/Schema.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace GrigliaTotali {

namespace {

// Types and state codes compare as the archive's NOCASE does (ASCII letters only), so the
// grouped reading finds exactly the rows an "= ? COLLATE NOCASE" would.
QString piega(const QString& testo)
{
    QString r = testo;
    for (QChar& c : r)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return r;
}

QString chiave(qint64 indice, const QString& tipo)
{
    return QString::number(indice) + QLatin1Char('\x1f') + piega(tipo);
}

QString chiave(qint64 indice, const QString& tipo, const QString& stato)
{
    return chiave(indice, tipo) + QLatin1Char('\x1f') + piega(stato);
}

QString iso(const QDate& data)
{
    return data.toString(QStringLiteral("yyyy-MM-dd"));
}

struct Periodo
{
    QDate dal;
    QDate al;
    bool dato() const { return dal.isValid() || al.isValid(); }
};

Periodo periodo(const Parametri& p)
{
    return { Module1::LeggiData(p.dal), Module1::LeggiData(p.al) };
}

// What the archive holds for the period: hours per employee and type (where there are any), days
// per employee, type and state.
struct Numeri
{
    QHash<QString, double> ore;
    QHash<QString, int> giorni;
};

Numeri leggiNumeri(Archivio& db, const Parametri& p)
{
    Numeri n;
    QVariantList valori;
    QString origine;
    if (periodo(p).dato() && p.criteri.codiceDipendente.isEmpty()) {
        // A period of everyone: the days are walked once through the Data index; rows of
        // employees not shown find no grid row and are left out below.
        origine = QStringLiteral(" FROM TabellaMovimenti m WHERE ")
            + CondizionePeriodo(p, QStringLiteral("m"), valori);
    } else {
        // A month, or one employee: CROSS JOIN keeps the employees as the outer loop, so each
        // one's rows are found through the (IndiceAnagrafica, Anno, Mese, Tipo) index.
        // (The two conditions append their values in the order they appear.)
        const QString dipendenti
            = RigheDipendenti::CondizioneDipendenti(p.criteri, QStringLiteral("a"), valori);
        const QString inPeriodo = CondizionePeriodo(p, QStringLiteral("m"), valori);
        origine = QStringLiteral(" FROM TabellaAnagrafiche a CROSS JOIN TabellaMovimenti m"
                                 " ON m.IndiceAnagrafica = a.Indice WHERE ")
            + dipendenti + QStringLiteral(" AND ") + inPeriodo;
    }

    // One pass over the days that hold something gives both: the hours of every group, and the
    // day count of the groups whose text is a state code. For a period of everyone the partial
    // index TabellaMovimenti_TotaliKey answers it alone.
    db.esegui(QStringLiteral("BEGIN"));
    QString condizione = Schema::CondizioneTotali;
    condizione.replace(QLatin1String("StatoNum"), QLatin1String("m.StatoNum"));
    condizione.replace(QLatin1String("Stato <>"), QLatin1String("m.Stato <>"));
    db.scorri(QStringLiteral("SELECT m.IndiceAnagrafica, m.Tipo, m.Stato, sum(m.StatoNum), count(*), "
                             "m.Stato COLLATE NOCASE IN (SELECT Stato FROM TabellaStati WHERE Indice > 0)")
            + origine + QStringLiteral(" AND ") + condizione
            + QStringLiteral(" GROUP BY m.IndiceAnagrafica, m.Tipo, m.Stato"),
        valori, [&n](const RigaRapida& r) {
            const qint64 indice = r.intero(0);
            const QString tipo = r.testo(1);
            const double ore = r.reale(3);
            if (ore != 0)
                n.ore[chiave(indice, tipo)] += ore;
            if (r.intero(5) != 0)
                n.giorni[chiave(indice, tipo, r.testo(2))] += int(r.intero(4));
        });
    db.esegui(QStringLiteral("COMMIT"));
    return n;
}

} // namespace

QString CondizionePeriodo(const Parametri& p, const QString& alias, QVariantList& valori)
{
    const QString a = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    const Periodo intervallo = periodo(p);
    if (!intervallo.dato()) {
        valori << p.mese << p.anno;
        return a + QStringLiteral("Mese = ? AND ") + a + QStringLiteral("Anno = ?");
    }
    // Both bounds always: an open end is the lowest or highest date text there can be, so the
    // archive reads the period through the Data index whichever end is missing.
    valori << (intervallo.dal.isValid() ? iso(intervallo.dal) : QStringLiteral("0000-00-00"))
           << (intervallo.al.isValid() ? iso(intervallo.al.addDays(1)) : QStringLiteral("9999-12-32"));
    // The end bound is exclusive and the next day: the whole last day, also for a date stored
    // with its time.
    return a + QStringLiteral("Data >= ? AND ") + a + QStringLiteral("Data < ?");
}

QString TogliZero(double valore)
{
    const QString testo = Module1::FormattaNumero(valore);
    return Module1::ValoreNumerico(testo) == 0 ? QString() : testo;
}

QStringList StatiInColonna(Archivio& db)
{
    QStringList stati;
    QSqlQuery q = db.esegui(QStringLiteral(
        "SELECT Stato FROM TabellaStati WHERE Indice > 0 ORDER BY Stato COLLATE NOCASE, Indice"));
    while (q.next())
        stati << q.value(0).toString();
    return stati;
}

int CalcolaNumeroStati(const QString& archivio, bool* ok)
{
    int numero = 0;
    const bool letto = EseguiPasso([&] {
        Archivio db(archivio);
        numero = db.valore(QStringLiteral("SELECT count(*) FROM TabellaStati WHERE Indice > 0")).toInt();
    });
    if (ok)
        *ok = letto;
    return numero;
}

int CalcolaNumeroDipendenti(const QString& archivio, const RigheDipendenti::Criteri& criteri, bool* ok)
{
    int numero = 0;
    const bool letto = EseguiPasso([&] {
        Archivio db(archivio);
        QVariantList valori;
        const QString condizione = RigheDipendenti::CondizioneDipendenti(criteri, {}, valori);
        numero
            = db.valore(QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche WHERE ") + condizione, valori)
                  .toInt();
    });
    if (ok)
        *ok = letto;
    return numero;
}

Esito DimensionaGriglia2(Griglia& griglia, const Parametri& p)
{
    const QString& archivio = p.archivio;
    Griglia::Ricostruzione blocco(griglia);
    Esito esito;
    esito.numeroTipi = int(p.tipi.size());
    esito.codiceDipendente = p.criteri.codiceDipendente;
    esito.dal = p.dal;
    esito.al = p.al;
    esito.mese = p.mese;
    esito.anno = p.anno;
    const auto avanza = [&p](int valore, int massimo) {
        if (p.avanzamento)
            p.avanzamento(valore, std::max(massimo, 1));
    };

    QStringList stati;
    bool letto = EseguiPasso([&] {
        Archivio db(archivio);
        stati = StatiInColonna(db);
    });
    QList<RigheDipendenti::Dipendente> dipendenti;
    letto = EseguiPasso([&] {
        Archivio db(archivio);
        dipendenti = RigheDipendenti::LeggiDipendenti(db, p.criteri);
    }) && letto;

    const int numeroStati = int(stati.size());
    const int righeCorpo = int(dipendenti.size()) * (esito.numeroTipi + 1);
    const int massimo = (numeroStati + 1) * righeCorpo;
    avanza(0, massimo);

    Numeri numeri;
    if (!dipendenti.isEmpty())
        letto = EseguiPasso([&] {
            Archivio db(archivio);
            numeri = leggiNumeri(db, p);
        }) && letto;
    avanza(righeCorpo, massimo);

    const int colonne = numeroStati + PrimaColonnaStati;
    griglia.impostaRighe(0);
    griglia.impostaColonne(0);
    griglia.impostaRighe(GrigliaDettaglio::RigheFisse);
    griglia.impostaColonne(colonne);
    griglia.impostaRigheFisse(GrigliaDettaglio::RigheFisse);
    griglia.impostaColonneFisse(GrigliaDettaglio::ColonneFisse);
    griglia.impostaLarghezza(0, 0);
    griglia.impostaLarghezza(1, 0);
    griglia.impostaLarghezza(2, GrigliaDettaglio::LarghezzaDipendente);
    griglia.impostaLarghezza(3, GrigliaDettaglio::LarghezzaTipo);
    griglia.impostaLarghezza(ColonnaOre, LarghezzaOre);
    griglia.impostaAllineamentoColonna(2, Qt::AlignLeft | Qt::AlignVCenter);
    griglia.impostaAllineamentoColonna(3, Qt::AlignLeft | Qt::AlignVCenter);
    griglia.impostaAllineamentoColonna(ColonnaOre, Qt::AlignCenter);
    griglia.impostaTesto(0, 2, GrigliaDettaglio::IntestazioneDipendenti);
    griglia.impostaTesto(0, 3, GrigliaDettaglio::IntestazioneTipo);
    griglia.impostaTesto(1, ColonnaOre, Ore);
    griglia.impostaSfondo(1, ColonnaOre, ColoreIntestazione);
    for (int c = PrimaColonnaStati; c < colonne; ++c) {
        griglia.impostaLarghezza(c, LarghezzaStato);
        griglia.impostaAllineamentoColonna(c, Qt::AlignHCenter | Qt::AlignBottom);
        griglia.impostaTesto(1, c, stati.at(c - PrimaColonnaStati));
        griglia.impostaSfondo(1, c, ColoreIntestazione);
    }

    RigheDipendenti::CaricaDipendenti(griglia, dipendenti, p.tipi);
    const int primaRiga = GrigliaDettaglio::RigheFisse;
    const int finoA = griglia.righe(); // body rows end here; the summary follows

    // Position 0 is "ORDINARIO"; a type not in the list (never, for rows built here) gets the
    // spare position after the last one and is left out of the sub-totals.
    const QStringList elencoTipi = QStringList { RigheDipendenti::Ordinario } + p.tipi;
    QList<int> posizione;
    QList<qint64> indice;
    for (int r = primaRiga; r < finoA; ++r) {
        const qsizetype i = elencoTipi.indexOf(griglia.testo(r, 3));
        posizione << int(i >= 0 ? i : esito.numeroTipi + 1);
        indice << griglia.testo(r, 0).toLongLong();
    }

    double totaleOre = 0;
    QList<double> orePerTipo(esito.numeroTipi + 2, 0.0);
    for (int r = primaRiga; r < finoA; ++r) {
        const auto ore = numeri.ore.constFind(chiave(indice.at(r - primaRiga), griglia.testo(r, 3)));
        if (ore == numeri.ore.constEnd())
            continue;
        griglia.impostaTesto(r, ColonnaOre, TogliZero(*ore));
        totaleOre += *ore;
        orePerTipo[posizione.at(r - primaRiga)] += *ore;
    }

    // Summary of the hours: separator, the types when there are extra ones, separator, total.
    const auto rigaRiepilogo = [&griglia](const QString& tipo, const QString& ore, const QColor& colore) {
        const int r = griglia.aggiungiRiga();
        for (int c = 2; c <= ColonnaOre; ++c)
            griglia.impostaSfondo(r, c, colore);
        griglia.impostaTesto(r, 3, tipo);
        griglia.impostaTesto(r, ColonnaOre, ore);
        return r;
    };
    const int f = rigaRiepilogo(TrattinoTipo, TrattinoOre, ColoreParziali);
    if (esito.numeroTipi > 0) {
        for (int t = 0; t <= esito.numeroTipi; ++t)
            rigaRiepilogo(elencoTipi.at(t), TogliZero(orePerTipo.at(t)), ColoreParziali);
        rigaRiepilogo(TrattinoTipo, TrattinoOre, ColoreTotali);
    }
    const int rigaTotale = rigaRiepilogo(TestoTotale, TogliZero(totaleOre), ColoreTotali);

    for (int c = PrimaColonnaStati; c < colonne; ++c) {
        const QString stato = griglia.testo(1, c);
        int totale = 0;
        QList<int> perTipo(esito.numeroTipi + 2, 0);
        for (int r = primaRiga; r < finoA; ++r) {
            const int n = numeri.giorni.value(chiave(indice.at(r - primaRiga), griglia.testo(r, 3), stato));
            if (n == 0)
                continue;
            griglia.impostaTesto(r, c, TogliZero(n));
            totale += n;
            perTipo[posizione.at(r - primaRiga)] += n;
        }
        griglia.impostaTesto(f, c, TrattinoOre);
        griglia.impostaSfondo(f, c, ColoreParziali);
        if (esito.numeroTipi > 0) {
            for (int t = 0; t <= esito.numeroTipi; ++t) {
                griglia.impostaTesto(f + 1 + t, c, TogliZero(perTipo.at(t)));
                griglia.impostaSfondo(f + 1 + t, c, ColoreParziali);
            }
            griglia.impostaTesto(rigaTotale - 1, c, TrattinoStato);
            griglia.impostaSfondo(rigaTotale - 1, c, ColoreTotali);
        }
        griglia.impostaTesto(rigaTotale, c, TogliZero(totale));
        griglia.impostaSfondo(rigaTotale, c, ColoreTotali);
        avanza((c - PrimaColonnaStati + 2) * righeCorpo, massimo);
    }

    esito.letto = letto;
    esito.numeroStati = numeroStati;
    esito.numeroDipendenti = int(dipendenti.size());
    esito.primaRigaRiepilogo = f;
    return esito;
}

} // namespace GrigliaTotali
