#include "Password.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "masterdata/F_Pass.h"
#include "platform/Messaggi.h"

#include <QSqlQuery>

bool PasswordCorretta(const QString& memorizzata, const QString& digitata)
{
    if (memorizzata.isEmpty())
        return true;
    return memorizzata == digitata;
}

QString LeggiPasswordMemorizzata(const QString& archivio)
{
    Archivio db(archivio);
    QSqlQuery q = db.esegui(QStringLiteral("SELECT Password FROM Configurazioni ORDER BY Indice LIMIT 1"));
    return q.next() ? q.value(0).toString() : QString();
}

bool ControllaPassword()
{
    Module1::PasswordVerificata = false;
    QString memorizzata;
    int errore = 0;
    QString descrizione;
    bool letta = EseguiConAttesa([&] { memorizzata = LeggiPasswordMemorizzata(Module1::PercorsoArchivio); },
                                 &errore, &descrizione);
    if (!letta && (errore == CodiciErrore::FileNonTrovato || errore == CodiciErrore::TabellaNonTrovata)) {
        CreazioneDB::Istanza().CreaDB_Click();
        messaggi().Messaggio(QStringLiteral("ESEGUITA CREAZIONE DATABASE"), QMessageBox::Ok,
                             QMessageBox::Information);
        // The archive made just now holds no password; one that was only missing a table may.
        letta = EseguiConAttesa([&] { memorizzata = LeggiPasswordMemorizzata(Module1::PercorsoArchivio); },
                                &errore, &descrizione);
    }
    if (!letta) {
        // Not knowing whether a password is set must not let anyone in.
        messaggi().Messaggio(descrizione, QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    if (memorizzata.isEmpty()) {
        Module1::PasswordVerificata = true;
        return true;
    }
    F_Pass prompt;
    prompt.exec();
    return Module1::PasswordVerificata;
}
