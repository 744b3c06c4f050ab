#include "F_TabellaTipi.h"

#include <QPointer>

F_TabellaTipi::F_TabellaTipi(QWidget* parent)
    : F_TabellaCodici(DefinizioneTipi(), parent)
{ }

F_TabellaTipi* F_TabellaTipi::Apri(QWidget* proprietario)
{
    static QPointer<F_TabellaTipi> aperta;
    if (!aperta)
        aperta = new F_TabellaTipi(proprietario);
    return aperta;
}
