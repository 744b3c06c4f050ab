#include "F_TabellaTipi.h"

#include "gui/platform/FinestraAperta.h"

F_TabellaTipi::F_TabellaTipi(const QString& archivio, QWidget* parent)
    : F_TabellaCodici(archivio, DefinizioneTipi(), parent)
{ }

F_TabellaTipi* F_TabellaTipi::Apri(const QString& archivio, QWidget* proprietario)
{
    F_TabellaTipi* aperta = FinestraAperta<F_TabellaTipi>(
        [&archivio](const F_TabellaTipi& f) { return f.tabella().archivio() == archivio; });
    return aperta ? aperta : new F_TabellaTipi(archivio, proprietario);
}
