#pragma once

#include "comune/Festivita.h"

#include <QDate>
#include <QList>
#include <QString>

// The company's own days off as the archive's settings keep them: the patron day ("07/12") and
// its name, the closures of each year in their own setting, and the switch that shows them.
namespace FestivitaAzienda {

inline const QString VarEvidenzia = QStringLiteral("F_Configurazioni_EvidenziaFestivita");
inline const QString VarPatrono = QStringLiteral("F_Configurazioni_Patrono");
inline const QString VarNomePatrono = QStringLiteral("F_Configurazioni_NomePatrono");
// The closures of one year, "F_Configurazioni_Chiusure2026": a setting a year keeps the read of
// a month small and leaves room for every closure of a year.
QString VarChiusure(int anno);

// The company's days for the grid, calendar and print of `anno` (its closures only), in one
// reading of the archive. An archive that cannot be read gives the defaults (no patron day, no
// closures, the switch on) and `letto` false: a change must not be written over them then.
Festivita::GiorniAzienda Leggi(const QString& archivio, int anno, bool* letto = nullptr);

// "7/12", "07/12" or "7-12" as day and month; false when it names no day of a year ("30/02").
bool LeggiGiornoMese(const QString& testo, int* giorno, int* mese);
// "07/12".
QString TestoGiornoMese(int giorno, int mese);

// The closures of a year as stored: days in a row become one run, "10/08-14/08 24/12". Dates of
// other years are left out.
QString TestoChiusure(int anno, QList<QDate> date);
QList<QDate> LeggiChiusure(int anno, const QString& testo);
// False when the closures of a year do not fit their setting.
bool ChiusureCiStanno(int anno, const QList<QDate>& date);

// Each false when the value could not be stored.
bool ScriviEvidenzia(const QString& archivio, bool evidenzia);
bool ScriviPatrono(const QString& archivio, int giorno, int mese, const QString& nome);
bool ScriviChiusure(const QString& archivio, int anno, const QList<QDate>& date);

} // namespace FestivitaAzienda
