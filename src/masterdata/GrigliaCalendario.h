#pragma once

#include "comune/Festivita.h"

#include <QColor>
#include <QDate>
#include <QString>

#include <array>

// The calendar picker's month as data: 43 cells, index 0 outside the grid, indices 1 to 42 six
// rows of seven columns from Monday to Sunday.
namespace GrigliaCalendario {

constexpr int NumeroCelle = 43;
inline const QColor VuotaFeriale { 0xD7, 0xD7, 0xEC };
inline const QColor VuotaDomenica { 0xFE, 0xDE, 0xE7 };
inline const QColor GiornoFeriale { 0xB0, 0xB5, 0xDF };
inline const QColor GiornoDomenica { 0xFF, 0x71, 0x71 };
inline const QColor GiornoScelto { 0xFF, 0xFF, 0x00 };
constexpr int DimensioneCarattere = 9;

struct Cella
{
    int giorno = 0; // 0 = no day
    QColor sfondo;
    bool grassetto = false;
    int dimensione = DimensioneCarattere;
    bool sottolineato = false;
    QString festa; // the name of the holiday or closure that day, shown as its tooltip
};
using Celle = std::array<Cella, NumeroCelle>;

constexpr int Riga(int indice)
{
    return (indice - 1) / 7;
}
constexpr int Colonna(int indice)
{
    return (indice - 1) % 7;
}
// The Sunday column (and index 0, which shares its look).
constexpr bool ColonnaDomenica(int indice)
{
    return indice % 7 == 0;
}

// The cells of month `mese` (1 to 12) of the year written in `anno`, the day `selezionata` (a
// day/month/year text) highlighted, holidays and the company's days of `azienda` in the Sunday
// colour. A year or month that makes no date leaves every cell empty.
Celle Compila(
    int mese, const QString& anno, const QString& selezionata, const Festivita::GiorniAzienda& azienda = {});

// The cell of day 1 of a month: a month beginning on Monday starts the second row, one beginning
// on Sunday ends the first.
int CellaPrimoGiorno(const QDate& primo);

} // namespace GrigliaCalendario
