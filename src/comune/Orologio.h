#pragma once

#include <QDate>
#include <QDateTime>

// The program's one clock, read through the services. The grids colour today, the windows open on
// the current month and backups are named by date, so tests pin the date and time here instead
// of depending on the day they run.
namespace Orologio {

QDate Oggi();
QDateTime Adesso();

// Fixes the clock at `momento`; an invalid value goes back to the real clock.
void ImpostaAdesso(const QDateTime& momento);
void ImpostaOggi(const QDate& giorno);

} // namespace Orologio
