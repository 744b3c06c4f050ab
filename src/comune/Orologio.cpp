#include "Orologio.h"

#include "platform/Servizi.h"

namespace Orologio {

QDate Oggi()
{
    return Adesso().date();
}

QDateTime Adesso()
{
    return servizi().adesso ? servizi().adesso() : QDateTime::currentDateTime();
}

void ImpostaAdesso(const QDateTime& momento)
{
    servizi().adesso
        = momento.isValid() ? std::function<QDateTime()>([momento] { return momento; }) : nullptr;
}

void ImpostaOggi(const QDate& giorno)
{
    ImpostaAdesso(giorno.isValid() ? QDateTime(giorno, QTime(12, 0)) : QDateTime());
}

} // namespace Orologio
