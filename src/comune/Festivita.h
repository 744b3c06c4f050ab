#pragma once

#include <QDate>
#include <QList>
#include <QString>

// The days nobody works: the Italian national holidays of a year, by the law in force that year,
// and the company's own days (the patron saint of its town, its closures). Plain values, no
// archive and no window: the callers read the company's days and pass them in.
namespace Festivita {

struct Festa
{
    QDate data;
    QString nome;

    bool operator==(const Festa&) const = default;
};

// The company's own days off, as the settings keep them.
struct GiorniAzienda
{
    int giornoPatrono = 0; // 0: no patron day
    int mesePatrono = 0;
    QString nomePatrono; // "Sant'Ambrogio"
    QList<QDate> chiusure; // company closures ("chiusura aziendale")
    bool evidenzia = true; // the grid, the calendar and the print show them

    bool patrono() const { return QDate::isValid(2000, mesePatrono, giornoPatrono); }
};

inline const QString NomeChiusura = QStringLiteral("Chiusura aziendale");

// Easter Sunday of a Gregorian year (1583 on); invalid before.
QDate Pasqua(int anno);

// The national holidays of `anno`, in date order.
QList<Festa> Nazionali(int anno);

// "Patrono: Sant'Ambrogio", or "Patrono" without a name.
QString NomePatrono(const GiorniAzienda& azienda);

// National holidays and the company's days of `anno`, in date order, one entry a day: a patron
// day on a national holiday joins both names; a closure on a holiday adds nothing. The switch
// `evidenzia` is not looked at here.
QList<Festa> DellAnno(int anno, const GiorniAzienda& azienda);

// The days of month `mese` of `anno` to mark: none when the company switched the marking off.
QList<Festa> DaEvidenziare(int anno, int mese, const GiorniAzienda& azienda);

// The print's legend line: "Festività: 8 Immacolata Concezione - 25 Natale - 26 Santo Stefano";
// days in a row with the same name are one entry ("10-14 Chiusura aziendale"). "" without days.
QString Legenda(const QList<Festa>& delMese);

} // namespace Festivita
