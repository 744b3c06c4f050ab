#pragma once

#include "comune/Festivita.h"
#include "diary/RigheDipendenti.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>

class Griglia;
class MeseDiario;

// The month view of the main window: one column per day, one row per employee and entry type,
// each day cell showing what is stored for that employee, type and day.
namespace GrigliaDettaglio {

inline const QString IntestazioneDipendenti = QStringLiteral("::::::::::::::: DIPENDENTI :::::::::::::::");
inline const QString IntestazioneTipo = QStringLiteral("::::::::::: Tipo :::::::::::");
constexpr int RigheFisse = 2;
constexpr int ColonneFisse = 4;
constexpr int LarghezzaDipendente = 2500; // twips
constexpr int LarghezzaTipo = 1600;
constexpr int LarghezzaGiorno = 350;
constexpr int LarghezzaGiornoEspansa = 450;
inline const QColor ColoreOggi { 0xFF, 0xFF, 0x00 };
inline const QColor ColoreDomenica { 0xFF, 0x00, 0x00 };
inline const QColor ColoreSabato { 0xFF, 0x80, 0x80 };
inline const QColor ColoreFeriale { 0xE0, 0xE0, 0xE0 };
inline const QColor ColoreNota { 0xF4, 0xCB, 0x3E };

// What the grid shows: the window state it is built from.
struct Parametri
{
    QString archivio; // the archive read
    QString mese; // "Gennaio" .. "Dicembre"
    QString anno; // year text
    bool espandiCalendario = false;
    RigheDipendenti::Criteri criteri;
    QStringList tipi; // the extra types, as CaricaTipi gives them
    QDate oggi;
    // The company's days off (and its switch); the national holidays come with the year.
    Festivita::GiorniAzienda azienda;
};

// Days of a month (28 to 31) given its name and year text; 28 for a name that is not a month.
int CalcolaNumeroGiorniMese(const QString& mese, const QString& anno);
// The column of day `giorno` and back (day columns follow the four fixed ones).
constexpr int ColonnaGiorno(int giorno)
{
    return giorno + ColonneFisse - 1;
}
constexpr int GiornoColonna(int colonna)
{
    return colonna - ColonneFisse + 1;
}

// The day of a stored Giorno text, read as a number the way the program always read it.
int NumeroGiorno(const QString& giorno);

// Rebuilds the grid: header rows, employee rows and the stored entries of the month, read with
// one query for all employees and types. False when an archive step had to be skipped (the grid
// then lacks what could not be read).
bool DimensionaGriglia1(Griglia& griglia, const Parametri& p);
// Draws a loaded month: header rows, employee rows, the day texts and the note colours.
void Disegna(Griglia& griglia, const MeseDiario& documento, const Parametri& p);
// Shows the text of one day cell of the document as it is now.
void DisegnaCella(Griglia& griglia, const MeseDiario& documento, int riga, int giorno);

} // namespace GrigliaDettaglio
