#pragma once

#include "platform/Messaggi.h"

// The real dialogs.
class MessaggiQt : public Messaggi
{
public:
    Risposta Messaggio(const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo,
        Risposta predefinito) override;
    QString InputBox(const QString& richiesta, const QString& titolo, const QString& predefinito) override;
    QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) override;
    QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro,
        QString* filtroScelto = nullptr) override;
    QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) override;
    void Beep() override;
};
