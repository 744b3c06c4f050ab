#include "Festivita.h"

#include <QMap>
#include <QStringList>

#include <algorithm>

namespace Festivita {

QDate Pasqua(int anno)
{
    // The Gregorian computus (Meeus/Jones/Butcher).
    if (anno < 1583)
        return {};
    const int a = anno % 19;
    const int b = anno / 100;
    const int c = anno % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return QDate(anno, n / 31, n % 31 + 1);
}

QList<Festa> Nazionali(int anno)
{
    // The holidays as the law of 1977 left them and as later laws changed them; the years before
    // 1977 follow the same rules.
    QList<Festa> feste;
    const auto fissa = [&](int mese, int giorno, const QString& nome) {
        feste.append({ QDate(anno, mese, giorno), nome });
    };
    fissa(1, 1, QStringLiteral("Capodanno"));
    if (anno >= 1986)
        fissa(1, 6, QStringLiteral("Epifania"));
    const QDate pasqua = Pasqua(anno);
    if (pasqua.isValid()) {
        feste.append({ pasqua, QStringLiteral("Pasqua") });
        feste.append({ pasqua.addDays(1), QStringLiteral("Lunedì dell'Angelo") });
    }
    fissa(4, 25, QStringLiteral("Festa della Liberazione"));
    fissa(5, 1, QStringLiteral("Festa del Lavoro"));
    if (anno >= 2001) {
        fissa(6, 2, QStringLiteral("Festa della Repubblica"));
    } else {
        // Kept on the first Sunday of June until the law of 2000 gave it back its date.
        QDate domenica(anno, 6, 1);
        domenica = domenica.addDays(7 - domenica.dayOfWeek());
        feste.append({ domenica, QStringLiteral("Festa della Repubblica") });
    }
    fissa(8, 15, QStringLiteral("Ferragosto"));
    if (anno >= 2026)
        fissa(10, 4, QStringLiteral("San Francesco d'Assisi"));
    fissa(11, 1, QStringLiteral("Ognissanti"));
    fissa(12, 8, QStringLiteral("Immacolata Concezione"));
    fissa(12, 25, QStringLiteral("Natale"));
    fissa(12, 26, QStringLiteral("Santo Stefano"));
    feste.removeIf([](const Festa& f) { return !f.data.isValid(); });
    std::stable_sort(
        feste.begin(), feste.end(), [](const Festa& a, const Festa& b) { return a.data < b.data; });
    return feste;
}

QString NomePatrono(const GiorniAzienda& azienda)
{
    const QString nome = azienda.nomePatrono.trimmed();
    return nome.isEmpty() ? QStringLiteral("Patrono") : QStringLiteral("Patrono: ") + nome;
}

QList<Festa> DellAnno(int anno, const GiorniAzienda& azienda)
{
    QMap<QDate, QStringList> giorni;
    for (const Festa& f : Nazionali(anno))
        giorni[f.data] << f.nome;
    if (azienda.patrono()) {
        const QDate patrono(anno, azienda.mesePatrono, azienda.giornoPatrono);
        if (patrono.isValid()) // 29 February only in leap years
            giorni[patrono] << NomePatrono(azienda);
    }
    for (const QDate& chiusura : azienda.chiusure)
        if (chiusura.year() == anno && !giorni.contains(chiusura))
            giorni[chiusura] << NomeChiusura;

    QList<Festa> feste;
    for (auto it = giorni.cbegin(); it != giorni.cend(); ++it)
        feste.append({ it.key(), it.value().join(QStringLiteral(", ")) });
    return feste;
}

QList<Festa> DaEvidenziare(int anno, int mese, const GiorniAzienda& azienda)
{
    if (!azienda.evidenzia)
        return {};
    QList<Festa> feste = DellAnno(anno, azienda);
    feste.removeIf([mese](const Festa& f) { return f.data.month() != mese; });
    return feste;
}

QString Legenda(const QList<Festa>& delMese)
{
    QStringList voci;
    for (qsizetype i = 0; i < delMese.size();) {
        qsizetype fine = i;
        while (fine + 1 < delMese.size() && delMese.at(fine + 1).nome == delMese.at(i).nome
            && delMese.at(fine + 1).data == delMese.at(fine).data.addDays(1))
            ++fine;
        QString giorni = QString::number(delMese.at(i).data.day());
        if (fine > i)
            giorni += QLatin1Char('-') + QString::number(delMese.at(fine).data.day());
        voci << giorni + QLatin1Char(' ') + delMese.at(i).nome;
        i = fine + 1;
    }
    return voci.isEmpty() ? QString() : QStringLiteral("Festività: ") + voci.join(QStringLiteral(" - "));
}

} // namespace Festivita
