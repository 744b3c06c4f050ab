#pragma once

#include <QString>

namespace LegendaStati {

// The states legend under the grid: "Stati:  (F) Ferie  -  (M) Malattia", "" without states.
QString CaricaInfo(const QString& archivio);

} // namespace LegendaStati
