#include "SceltaData.h"

#include "masterdata/F_Calendario.h"

QString ScegliDataDaCalendario(QWidget* parent, const QString& dataIniziale)
{
    F_Calendario calendario(parent, dataIniziale);
    calendario.exec();
    return F_Calendario::DataSceltaCalendario;
}
