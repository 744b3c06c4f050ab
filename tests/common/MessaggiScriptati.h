#pragma once

#include "platform/Messaggi.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

// Records every message and input box and answers from queues; an empty queue answers the
// default button (or the first of Ok/Yes), "" for input and file picks.
class MessaggiScriptati : public Messaggi
{
public:
    struct Chiamata
    {
        QString testo;
        QString titolo;
        Pulsanti pulsanti;
        Icona icona = Messaggi::NoIcon;
    };

    MessaggiScriptati();
    ~MessaggiScriptati() override;

    Risposta Messaggio(const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo,
        Risposta predefinito) override;
    QString InputBox(const QString& richiesta, const QString& titolo, const QString& predefinito) override;
    QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) override;
    QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro,
        QString* filtroScelto = nullptr) override;
    QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) override;
    void Beep() override { ++beep; }

    QQueue<Risposta> risposte;
    QQueue<QString> testiInput;
    QQueue<QString> file;
    QQueue<QString> filtri; // the filter line a save box reports as chosen
    QQueue<QString> cartelle;

    QList<Chiamata> chiamate;
    QStringList richiesteInput;
    QStringList predefinitiInput; // the text each input box came up with
    QStringList titoliCartella;
    QStringList cartelleIniziali;
    QStringList apertureProposte; // the folders (or files) an open box started at
    QStringList salvataggiProposti; // the paths a save box proposed
    int beep = 0;

    QStringList testi() const;
    void svuota();
};
