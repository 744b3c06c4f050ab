#include "F_TabellaStati.h"

#include <QPointer>

F_TabellaStati::F_TabellaStati(QWidget* parent)
    : F_TabellaCodici(DefinizioneStati(), parent)
{ }

F_TabellaStati* F_TabellaStati::Apri(QWidget* proprietario)
{
    static QPointer<F_TabellaStati> aperta;
    if (!aperta)
        aperta = new F_TabellaStati(proprietario);
    return aperta;
}
