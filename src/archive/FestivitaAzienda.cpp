#include "FestivitaAzienda.h"

#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "archive/Schema.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace FestivitaAzienda {

namespace {

// "dd/MM" of a day of `anno`; invalid when it is none.
QDate giornoDellAnno(int anno, const QString& testo)
{
    int giorno = 0;
    int mese = 0;
    if (!LeggiGiornoMese(testo, &giorno, &mese))
        return {};
    return QDate(anno, mese, giorno);
}

} // namespace

QString VarChiusure(int anno)
{
    return QStringLiteral("F_Configurazioni_Chiusure%1").arg(anno);
}

Festivita::GiorniAzienda Leggi(const QString& archivio, int anno, bool* letto)
{
    const QHash<QString, QString> v = FunzioniPerVariabili::LeggiVariabili(
        archivio, { VarEvidenzia, VarPatrono, VarNomePatrono, VarChiusure(anno) });
    if (letto)
        *letto = !v.isEmpty();
    Festivita::GiorniAzienda g;
    const QString evidenzia = v.value(VarEvidenzia).trimmed();
    // Never written means on.
    g.evidenzia = evidenzia.isEmpty() || Module1::ValoreNumerico(evidenzia) != 0;
    if (!LeggiGiornoMese(v.value(VarPatrono), &g.giornoPatrono, &g.mesePatrono))
        g.giornoPatrono = g.mesePatrono = 0;
    g.nomePatrono = v.value(VarNomePatrono).trimmed();
    g.chiusure = LeggiChiusure(anno, v.value(VarChiusure(anno)));
    return g;
}

bool LeggiGiornoMese(const QString& testo, int* giorno, int* mese)
{
    static const QRegularExpression forma(QStringLiteral("^\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = forma.match(testo);
    if (!m.hasMatch())
        return false;
    const int g = m.captured(1).toInt();
    const int me = m.captured(2).toInt();
    if (!QDate::isValid(2000, me, g)) // a leap year: 29/02 is a day some years have
        return false;
    *giorno = g;
    *mese = me;
    return true;
}

QString TestoGiornoMese(int giorno, int mese)
{
    return QStringLiteral("%1/%2").arg(giorno, 2, 10, QLatin1Char('0')).arg(mese, 2, 10, QLatin1Char('0'));
}

QString TestoChiusure(int anno, QList<QDate> date)
{
    date.removeIf([anno](const QDate& d) { return !d.isValid() || d.year() != anno; });
    std::sort(date.begin(), date.end());
    date.erase(std::unique(date.begin(), date.end()), date.end());
    QStringList tratti;
    for (qsizetype i = 0; i < date.size();) {
        qsizetype fine = i;
        while (fine + 1 < date.size() && date.at(fine + 1) == date.at(fine).addDays(1))
            ++fine;
        QString tratto = TestoGiornoMese(date.at(i).day(), date.at(i).month());
        if (fine > i)
            tratto += QLatin1Char('-') + TestoGiornoMese(date.at(fine).day(), date.at(fine).month());
        tratti << tratto;
        i = fine + 1;
    }
    return tratti.join(QLatin1Char(' '));
}

QList<QDate> LeggiChiusure(int anno, const QString& testo)
{
    QList<QDate> date;
    for (const QString& tratto : testo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList estremi = tratto.split(QLatin1Char('-'));
        const QDate inizio = giornoDellAnno(anno, estremi.first());
        const QDate fine = estremi.size() == 2 ? giornoDellAnno(anno, estremi.last()) : inizio;
        // A piece that is not a day or a run is skipped; the others still count.
        if (!inizio.isValid() || !fine.isValid() || estremi.size() > 2 || fine < inizio)
            continue;
        for (QDate d = inizio; d <= fine; d = d.addDays(1))
            date << d;
    }
    std::sort(date.begin(), date.end());
    date.erase(std::unique(date.begin(), date.end()), date.end());
    return date;
}

bool ChiusureCiStanno(int anno, const QList<QDate>& date)
{
    return TestoChiusure(anno, date).size()
        <= Schema::Dimensione(QStringLiteral("Variabili"), QStringLiteral("ValoreStringa"));
}

bool ScriviEvidenzia(const QString& archivio, bool evidenzia)
{
    return FunzioniPerVariabili::ScriviFlag(archivio, VarEvidenzia, evidenzia);
}

bool ScriviPatrono(const QString& archivio, int giorno, int mese, const QString& nome)
{
    const QString giornoMese = QDate::isValid(2000, mese, giorno) ? TestoGiornoMese(giorno, mese) : QString();
    return FunzioniPerVariabili::ScriviVariabile(archivio, VarPatrono, giornoMese)
        && FunzioniPerVariabili::ScriviVariabile(archivio, VarNomePatrono, nome.trimmed());
}

bool ScriviChiusure(const QString& archivio, int anno, const QList<QDate>& date)
{
    // The setting cuts what does not fit: a list that does not fit is not stored at all.
    if (!ChiusureCiStanno(anno, date))
        return false;
    return FunzioniPerVariabili::ScriviVariabile(archivio, VarChiusure(anno), TestoChiusure(anno, date));
}

} // namespace FestivitaAzienda
