#include "SceltaData.h"

#include "gui/masterdata/F_Calendario.h"
#include "platform/Servizi.h"

QString ScegliDataDaCalendario(
    QWidget* parent, const QString& dataIniziale, const QString& archivio, bool* saltaRicostruzione)
{
    if (servizi().scegliData)
        return servizi().scegliData(dataIniziale);
    F_Calendario calendario(parent, dataIniziale, archivio, saltaRicostruzione);
    calendario.exec();
    return calendario.DataSceltaCalendario;
}
