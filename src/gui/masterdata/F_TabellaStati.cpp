#include "F_TabellaStati.h"

#include <QPointer>

F_TabellaStati::F_TabellaStati(const QString& archivio, QWidget* parent)
    : F_TabellaCodici(archivio, DefinizioneStati(), parent)
{ }

F_TabellaStati* F_TabellaStati::Apri(const QString& archivio, QWidget* proprietario)
{
    static QPointer<F_TabellaStati> aperta;
    if (!aperta)
        aperta = new F_TabellaStati(archivio, proprietario);
    return aperta;
}
