#include "GrigliaDettaglio.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace GrigliaDettaglio {

namespace {
QDate dataDelGiorno(int giorno, int mese, const QString& anno)
{
    return Module1::LeggiData(
        QStringLiteral("%1/%2/%3").arg(giorno).arg(mese, 2, 10, QLatin1Char('0')).arg(anno));
}

// Row of an employee's type: types compare without regard to case, as the archive always did.
QString chiave(qint64 indice, const QString& tipo)
{
    return QString::number(indice) + QLatin1Char('\x1f') + tipo.toCaseFolded();
}
} // namespace

int CalcolaNumeroGiorniMese(const QString& mese, const QString& anno)
{
    const QString m = QStringLiteral("%1").arg(Module1::NumeroMese(mese), 2, 10, QLatin1Char('0'));
    const QString a = QString::number(qint64(Module1::ValoreNumerico(anno)));
    for (int giorni : { 31, 30, 29 })
        if (Module1::LeggiData(QString::number(giorni) + QLatin1Char('/') + m + QLatin1Char('/') + a)
                .isValid())
            return giorni;
    return 28;
}

int NumeroGiorno(const QString& giorno)
{
    // Almost always plain digits: the general reading only for anything else.
    bool numero = false;
    const int n = giorno.toInt(&numero);
    return numero ? n : int(Module1::ValoreNumerico(giorno));
}

bool DimensionaGriglia1(Griglia& griglia, const Parametri& p)
{
    Griglia::Ricostruzione blocco(griglia);
    const int giorni = CalcolaNumeroGiorniMese(p.mese, p.anno);
    const int numeroMese = Module1::NumeroMese(p.mese);

    griglia.impostaRighe(0);
    griglia.impostaColonne(0);
    griglia.impostaRighe(RigheFisse);
    griglia.impostaColonne(giorni + ColonneFisse);
    griglia.impostaRigheFisse(RigheFisse);
    griglia.impostaColonneFisse(ColonneFisse);
    griglia.impostaLarghezza(0, 0);
    griglia.impostaLarghezza(1, 0);
    griglia.impostaLarghezza(2, LarghezzaDipendente);
    griglia.impostaLarghezza(3, LarghezzaTipo);
    griglia.impostaAllineamentoColonna(2, Qt::AlignLeft | Qt::AlignVCenter);
    griglia.impostaAllineamentoColonna(3, Qt::AlignLeft | Qt::AlignVCenter);
    griglia.impostaTesto(0, 2, IntestazioneDipendenti);
    griglia.impostaTesto(0, 3, IntestazioneTipo);

    // The employee rows come first, as the columns' formats apply to every row.
    QList<RigheDipendenti::Dipendente> dipendenti;
    bool tuttoLetto = EseguiPasso([&] {
        dipendenti.clear();
        Archivio db(p.archivio);
        dipendenti = RigheDipendenti::LeggiDipendenti(db, p.criteri);
    });
    RigheDipendenti::CaricaDipendenti(griglia, dipendenti, p.tipi);

    // Holidays and closures take the Sunday colour, and their day cell names them.
    QHash<QDate, QString> feste;
    const QDate primo = dataDelGiorno(1, numeroMese, p.anno);
    if (primo.isValid())
        for (const Festivita::Festa& f : Festivita::DaEvidenziare(primo.year(), primo.month(), p.azienda))
            feste.insert(f.data, f.nome);

    for (int d = 1; d <= giorni; ++d) {
        const int c = ColonnaGiorno(d);
        griglia.impostaLarghezza(c, p.espandiCalendario ? LarghezzaGiornoEspansa : LarghezzaGiorno);
        griglia.impostaAllineamentoColonna(c, Qt::AlignCenter);
        griglia.impostaTesto(1, c, QString::number(d));
        const QDate data = dataDelGiorno(d, numeroMese, p.anno);
        const int giornoSettimana = Module1::NumeroGiornoSettimana(data);
        const QString festa = data.isValid() ? feste.value(data) : QString();
        QColor colore = ColoreFeriale;
        if (data.isValid() && data == p.oggi)
            colore = ColoreOggi;
        else if (giornoSettimana == 1 || !festa.isEmpty())
            colore = ColoreDomenica;
        else if (giornoSettimana == 7)
            colore = ColoreSabato;
        griglia.impostaSfondo(1, c, colore);
        griglia.impostaSuggerimento(1, c, festa);
        griglia.impostaTesto(0, c, data.isValid() ? Module1::NomeGiorno(giornoSettimana).left(2) : QString());
    }

    if (dipendenti.isEmpty())
        return tuttoLetto;

    QHash<QString, int> righe;
    for (int r = RigheFisse; r < griglia.righe(); ++r)
        righe.insert(chiave(griglia.testo(r, 0).toLongLong(), griglia.testo(r, 3)), r);

    // One query for the whole month: the entries of the same employees the rows show. CROSS JOIN
    // keeps the employees as the outer loop, so each one's month is found through the
    // (IndiceAnagrafica, Anno, Mese, Tipo) index instead of scanning every entry of every year.
    struct Movimento
    {
        qint64 indice;
        int riga;
        int colonna;
        QString stato;
        bool nota;
    };
    QList<Movimento> trovati;
    const bool movimentiLetti = EseguiPasso([&] {
        trovati.clear();
        Archivio db(p.archivio);
        QVariantList valori;
        const QString condizione
            = RigheDipendenti::CondizioneDipendenti(p.criteri, QStringLiteral("a"), valori);
        valori << p.anno << p.mese;
        db.scorri(
            QStringLiteral(
                "SELECT m.Indice, m.IndiceAnagrafica, m.Tipo, m.Giorno, m.Stato, m.Note "
                "FROM TabellaAnagrafiche a CROSS JOIN TabellaMovimenti m ON m.IndiceAnagrafica = a.Indice "
                "WHERE ")
                + condizione + QStringLiteral(" AND m.Anno = ? AND m.Mese = ?"),
            valori, [&](const RigaRapida& q) {
                const auto riga = righe.constFind(chiave(q.intero(1), q.testo(2)));
                if (riga == righe.constEnd())
                    return;
                const int giorno = NumeroGiorno(q.testo(3));
                if (giorno < 1 || giorno > giorni)
                    return;
                trovati.append({ q.intero(0), *riga, ColonnaGiorno(giorno), q.testo(4),
                    !q.nullo(5) && !q.testo(5).isEmpty() });
            });
    });
    tuttoLetto = tuttoLetto && movimentiLetti;

    // A day stored twice shows the later row, and keeps the note colour of any of them.
    std::sort(trovati.begin(), trovati.end(),
        [](const Movimento& a, const Movimento& b) { return a.indice < b.indice; });
    for (const Movimento& m : trovati) {
        griglia.impostaTesto(m.riga, m.colonna, m.stato);
        if (m.nota)
            griglia.impostaSfondo(m.riga, m.colonna, ColoreNota);
    }
    return tuttoLetto;
}

} // namespace GrigliaDettaglio
