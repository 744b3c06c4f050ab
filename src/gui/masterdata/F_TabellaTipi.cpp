#include "F_TabellaTipi.h"

#include <QPointer>

F_TabellaTipi::F_TabellaTipi(const QString& archivio, QWidget* parent)
    : F_TabellaCodici(archivio, DefinizioneTipi(), parent)
{ }

F_TabellaTipi* F_TabellaTipi::Apri(const QString& archivio, QWidget* proprietario)
{
    static QPointer<F_TabellaTipi> aperta;
    if (!aperta)
        aperta = new F_TabellaTipi(archivio, proprietario);
    return aperta;
}
