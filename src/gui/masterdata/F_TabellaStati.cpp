#include "F_TabellaStati.h"

#include "gui/platform/FinestraAperta.h"

F_TabellaStati::F_TabellaStati(const QString& archivio, QWidget* parent)
    : F_TabellaCodici(archivio, DefinizioneStati(), parent)
{ }

F_TabellaStati* F_TabellaStati::Apri(const QString& archivio, QWidget* proprietario)
{
    F_TabellaStati* aperta = FinestraAperta<F_TabellaStati>(
        [&archivio](const F_TabellaStati& f) { return f.tabella().archivio() == archivio; });
    return aperta ? aperta : new F_TabellaStati(archivio, proprietario);
}
