#include "SettimanaTipo.h"

#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "diary/RegoleCella.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

const QChar Separatore = QLatin1Char(';');

} // namespace

SettimanaTipo SettimanaTipo::Predefinita()
{
    const QString otto = QStringLiteral("8");
    return { { otto, otto, otto, otto, otto, QString(), QString() } };
}

std::optional<QString> SettimanaTipo::Ore(const QString& testo)
{
    QString pulito = testo.trimmed();
    pulito.replace(QLatin1Char('.'), QLatin1Char(','));
    if (pulito.isEmpty())
        return QString();
    // Only digits and one comma: the cell rules would read "8h" as 8, a week setting must not.
    static const QRegularExpression forma(QStringLiteral("^(\\d+,?\\d*|,\\d+)$"));
    if (!forma.match(pulito).hasMatch())
        return std::nullopt;
    double valore = 0;
    if (!RegoleCella::Numero(pulito, &valore))
        return QString();
    if (valore > 24)
        return std::nullopt;
    return Module1::FormattaNumero(valore);
}

SettimanaTipo SettimanaTipo::Leggi(const QString& archivio, bool* letto)
{
    const QHash<QString, QString> v = FunzioniPerVariabili::LeggiVariabili(archivio, { Variabile });
    if (letto)
        *letto = !v.isEmpty();
    const QString testo = v.value(Variabile);
    // Never written: the usual week. A week of no hours at all is stored as ";;;;;;".
    if (testo.trimmed().isEmpty())
        return Predefinita();
    const QStringList giorni = testo.split(Separatore);
    SettimanaTipo s;
    for (qsizetype i = 0; i < qsizetype(s.ore.size()) && i < giorni.size(); ++i)
        s.ore.at(size_t(i)) = Ore(giorni.at(i)).value_or(QString());
    return s;
}

bool SettimanaTipo::Scrivi(const QString& archivio, const SettimanaTipo& settimana)
{
    QStringList giorni;
    for (const QString& ore : settimana.ore)
        giorni << Ore(ore).value_or(QString());
    return FunzioniPerVariabili::ScriviVariabile(archivio, Variabile, giorni.join(Separatore));
}

QList<QPair<int, QString>> SettimanaTipo::GiorniDaCompilare(
    int anno, int mese, const Festivita::GiorniAzienda& azienda) const
{
    QList<QPair<int, QString>> giorni;
    const QDate primo(anno, mese, 1);
    if (!primo.isValid())
        return giorni;
    QSet<int> liberi;
    for (const Festivita::Festa& festa : Festivita::DellAnno(anno, azienda))
        if (festa.data.month() == mese)
            liberi.insert(festa.data.day());
    for (int giorno = 1; giorno <= primo.daysInMonth(); ++giorno) {
        const QString o = Ore(ore.at(size_t(QDate(anno, mese, giorno).dayOfWeek() - 1))).value_or(QString());
        if (!o.isEmpty() && !liberi.contains(giorno))
            giorni.append({ giorno, o });
    }
    return giorni;
}
