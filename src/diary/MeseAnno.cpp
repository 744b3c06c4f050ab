#include "MeseAnno.h"

#include "archive/Module1.h"

MeseAnno MeseAnno::DaTesti(const QString& mese, const QString& anno)
{
    MeseAnno m;
    m.mese = Module1::NumeroMese(mese);
    bool numero = false;
    m.anno = anno.trimmed().toInt(&numero);
    if (!numero)
        m.anno = 0;
    return m;
}

QString MeseAnno::nomeMese() const
{
    return valido() ? Module1::NomeMese(mese) : QString();
}

int MeseAnno::giorni() const
{
    return valido() ? QDate(anno, mese, 1).daysInMonth() : 28;
}
