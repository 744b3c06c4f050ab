#include "Orologio.h"

namespace Orologio {

namespace {
QDateTime& fissato()
{
    static QDateTime momento;
    return momento;
}
} // namespace

QDate Oggi()
{
    return Adesso().date();
}

QDateTime Adesso()
{
    return fissato().isValid() ? fissato() : QDateTime::currentDateTime();
}

void ImpostaAdesso(const QDateTime& momento)
{
    fissato() = momento;
}

void ImpostaOggi(const QDate& giorno)
{
    fissato() = giorno.isValid() ? QDateTime(giorno, QTime(12, 0)) : QDateTime();
}

} // namespace Orologio
