#include "Messaggi.h"

#include "platform/Servizi.h"

#include <QTextStream>

QString Messaggi::TitoloPredefinito()
{
    return QStringLiteral("Cartavia");
}

Messaggi& messaggi()
{
    static MessaggiTerminale terminale;
    return servizi().messaggi ? *servizi().messaggi : terminale;
}

void impostaMessaggi(Messaggi* m)
{
    servizi().messaggi = m;
}

Messaggi::Risposta MessaggiTerminale::Messaggio(
    const QString& testo, Pulsanti pulsanti, Icona, const QString&, Risposta predefinito)
{
    QTextStream(stderr) << QString(testo).replace(QLatin1Char('\r'), QLatin1Char('\n')) << Qt::endl;
    if (predefinito != NoButton)
        return predefinito;
    for (const Pulsante p : { Cancel, No, Abort, Ok, Yes, Retry, Ignore })
        if (pulsanti.testFlag(p))
            return p;
    return NoButton;
}

QString MessaggiTerminale::InputBox(const QString&, const QString&, const QString&)
{
    return {};
}

QString MessaggiTerminale::ApriFile(const QString&, const QString&, const QString&)
{
    return {};
}

QString MessaggiTerminale::SalvaFile(const QString&, const QString&, const QString&, QString*)
{
    return {};
}

QString MessaggiTerminale::ScegliCartella(const QString&, const QString&)
{
    return {};
}
