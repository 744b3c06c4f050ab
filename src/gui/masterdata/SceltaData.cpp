#include "SceltaData.h"

#include "gui/masterdata/F_Calendario.h"
#include "platform/Servizi.h"

QString ScegliDataDaCalendario(QWidget* parent, const QString& dataIniziale)
{
    if (servizi().scegliData)
        return servizi().scegliData(dataIniziale);
    F_Calendario calendario(parent, dataIniziale);
    calendario.exec();
    return F_Calendario::DataSceltaCalendario;
}
