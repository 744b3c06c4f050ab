#include "GrigliaDettaglio.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/MeseDiario.h"

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
    MeseDiario documento;
    const bool letto = documento.Carica(p);
    Disegna(griglia, documento, p);
    return letto;
}

void Disegna(Griglia& griglia, const MeseDiario& documento, const Parametri& p)
{
    Griglia::Ricostruzione blocco(griglia);
    const int giorni = documento.giorni();
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
    RigheDipendenti::CaricaDipendenti(griglia, documento.dipendenti(), documento.tipi());

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

    for (int r = 0; r < documento.righe(); ++r)
        for (int d = 1; d <= giorni; ++d) {
            const QString testo = documento.testo(r, d);
            if (!testo.isEmpty())
                griglia.impostaTesto(r + RigheFisse, ColonnaGiorno(d), testo);
            if (documento.nota(r, d))
                griglia.impostaSfondo(r + RigheFisse, ColonnaGiorno(d), ColoreNota);
        }
}

void DisegnaCella(Griglia& griglia, const MeseDiario& documento, int riga, int giorno)
{
    griglia.impostaTesto(riga + RigheFisse, ColonnaGiorno(giorno), documento.testo(riga, giorno));
}

} // namespace GrigliaDettaglio
