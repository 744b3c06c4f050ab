#pragma once

#include "comune/Festivita.h"

#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <optional>

// The company's usual hours on each day of the week, which fill the days of a month still empty.
// Kept in one setting of the archive, "8;8;8;8;8;;" from Monday to Sunday.
struct SettimanaTipo
{
    // Monday first; each the hours as a day cell shows them ("8", "7,5"), "" for none.
    std::array<QString, 7> ore;

    bool operator==(const SettimanaTipo&) const = default;

    static inline const QString Variabile = QStringLiteral("F_Configurazioni_SettimanaTipo");

    // Monday to Friday 8 hours, nothing on Saturday and Sunday.
    static SettimanaTipo Predefinita();

    // The hours of a day as stored and shown: "7.5" and "7,50" give "7,5", "" and 0 give "".
    // Nothing for what is not a number of hours from 0 to 24 ("8h", "1,2,3", "25").
    static std::optional<QString> Ore(const QString& testo);

    // The week stored in `archivio`, Predefinita() when none was ever stored. An archive that
    // cannot be read gives Predefinita() and `letto` false: a change must not be written over it.
    static SettimanaTipo Leggi(const QString& archivio, bool* letto = nullptr);
    // Stores the week, each day through Ore() (what is no number of hours is stored as none).
    // False when the archive could not be written.
    static bool Scrivi(const QString& archivio, const SettimanaTipo& settimana);

    // The days of month `mese` of `anno` to fill, in order, with their hours: days whose weekday
    // has hours, less the national holidays and the company's days (whether or not the company
    // has them marked on the grid: they are days off all the same).
    QList<QPair<int, QString>> GiorniDaCompilare(
        int anno, int mese, const Festivita::GiorniAzienda& azienda) const;
};
