#include "MessaggiScriptati.h"

MessaggiScriptati::MessaggiScriptati()
{
    impostaMessaggi(this);
}

MessaggiScriptati::~MessaggiScriptati()
{
    impostaMessaggi(nullptr);
}

Messaggi::Risposta MessaggiScriptati::Messaggio(
    const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo, Risposta predefinito)
{
    chiamate.append({ testo, titolo, pulsanti, icona });
    if (!risposte.isEmpty())
        return risposte.dequeue();
    if (predefinito != Messaggi::NoButton)
        return predefinito;
    if (pulsanti & Messaggi::Ok)
        return Messaggi::Ok;
    if (pulsanti & Messaggi::Yes)
        return Messaggi::Yes;
    return Messaggi::NoButton;
}

QString MessaggiScriptati::InputBox(
    const QString& richiesta, const QString& titolo, const QString& predefinito)
{
    Q_UNUSED(titolo);
    richiesteInput << richiesta;
    predefinitiInput << predefinito;
    return testiInput.isEmpty() ? QString() : testiInput.dequeue();
}

QString MessaggiScriptati::ApriFile(const QString&, const QString& cartella, const QString&)
{
    apertureProposte << cartella;
    return file.isEmpty() ? QString() : file.dequeue();
}

QString MessaggiScriptati::SalvaFile(
    const QString&, const QString& percorsoProposto, const QString&, QString* filtroScelto)
{
    salvataggiProposti << percorsoProposto;
    if (filtroScelto && !filtri.isEmpty())
        *filtroScelto = filtri.dequeue();
    return file.isEmpty() ? QString() : file.dequeue();
}

QString MessaggiScriptati::ScegliCartella(const QString& titolo, const QString& cartellaIniziale)
{
    titoliCartella << titolo;
    cartelleIniziali << cartellaIniziale;
    return cartelle.isEmpty() ? QString() : cartelle.dequeue();
}

QStringList MessaggiScriptati::testi() const
{
    QStringList t;
    for (const Chiamata& c : chiamate)
        t << c.testo;
    return t;
}

void MessaggiScriptati::svuota()
{
    chiamate.clear();
    richiesteInput.clear();
    titoliCartella.clear();
    cartelleIniziali.clear();
    apertureProposte.clear();
    beep = 0;
}
