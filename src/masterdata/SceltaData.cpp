#include "SceltaData.h"

// Placeholder until the calendar window lands.
QString ScegliDataDaCalendario(QWidget*, const QString&)
{
    return {};
}
