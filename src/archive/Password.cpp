#include "Password.h"

#include "archive/Sessione.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QSqlQuery>

#include <array>

namespace {

constexpr int LunghezzaSale = 16;
constexpr int LunghezzaChiave = 32;
// A damaged or hostile archive must not make the check run for minutes.
constexpr int IterazioniMassime = 2000000;

struct Impronta
{
    int iterazioni = 0;
    QByteArray sale;
    QByteArray chiave;
};

bool Scomponi(const QString& memorizzata, Impronta& impronta)
{
    if (!memorizzata.startsWith(ImprontaPassword::Prefisso))
        return false;
    const QStringList parti = memorizzata.mid(ImprontaPassword::Prefisso.size()).split(QLatin1Char('$'));
    if (parti.size() != 3)
        return false;
    bool ok = false;
    impronta.iterazioni = parti.at(0).toInt(&ok);
    if (!ok || impronta.iterazioni < 1 || impronta.iterazioni > IterazioniMassime)
        return false;
    const auto sale
        = QByteArray::fromBase64Encoding(parti.at(1).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto chiave
        = QByteArray::fromBase64Encoding(parti.at(2).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!sale || !chiave || (*sale).isEmpty() || (*chiave).size() != LunghezzaChiave)
        return false;
    impronta.sale = *sale;
    impronta.chiave = *chiave;
    return true;
}

QByteArray Deriva(const QString& password, const QByteArray& sale, int iterazioni)
{
    return QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha256, password.toUtf8(), sale, iterazioni, LunghezzaChiave);
}

// Every byte is looked at whatever the first difference, so the time says nothing about it.
bool UgualiTempoCostante(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char differenza = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differenza |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return differenza == 0;
}

// The page space of an overwritten password is zeroed, so an older clear text does not stay
// readable in the file.
void CancellazioneSicura(Archivio& db)
{
    db.esegui(QStringLiteral("PRAGMA secure_delete = ON"));
}

QVariant PrimaRiga(Archivio& db)
{
    return db.valore(QStringLiteral("SELECT min(Indice) FROM Configurazioni"));
}

} // namespace

bool ConsumaSaltaPassword(Sessione& sessione)
{
    const bool salta = sessione.SaltaPassword;
    sessione.SaltaPassword = false;
    return salta;
}

namespace ImprontaPassword {

QString Calcola(const QString& password, int iterazioni)
{
    std::array<quint32, LunghezzaSale / 4> casuali {};
    QRandomGenerator::system()->fillRange(casuali.data(), casuali.size());
    const QByteArray sale(reinterpret_cast<const char*>(casuali.data()), LunghezzaSale);
    return Prefisso + QString::number(iterazioni) + QLatin1Char('$') + QString::fromLatin1(sale.toBase64())
        + QLatin1Char('$') + QString::fromLatin1(Deriva(password, sale, iterazioni).toBase64());
}

bool Valida(const QString& memorizzata)
{
    Impronta impronta;
    return Scomponi(memorizzata, impronta);
}

} // namespace ImprontaPassword

bool PasswordInChiaro(const QString& memorizzata)
{
    return !memorizzata.isEmpty() && !ImprontaPassword::Valida(memorizzata);
}

bool PasswordCorretta(const QString& memorizzata, const QString& digitata)
{
    if (memorizzata.isEmpty())
        return true;
    Impronta impronta;
    if (Scomponi(memorizzata, impronta))
        return UgualiTempoCostante(Deriva(digitata, impronta.sale, impronta.iterazioni), impronta.chiave);
    // An older archive's clear text: digests of equal length keep the comparison's time flat.
    return UgualiTempoCostante(QCryptographicHash::hash(memorizzata.toUtf8(), QCryptographicHash::Sha256),
        QCryptographicHash::hash(digitata.toUtf8(), QCryptographicHash::Sha256));
}

QString LeggiPasswordMemorizzata(const QString& archivio)
{
    Archivio db(archivio);
    QSqlQuery q = db.esegui(QStringLiteral("SELECT Password FROM Configurazioni ORDER BY Indice LIMIT 1"));
    return q.next() ? q.value(0).toString() : QString();
}

void AggiornaPasswordInChiaro(const QString& archivio, const QString& memorizzata, const QString& digitata)
{
    if (!PasswordInChiaro(memorizzata) || !PasswordCorretta(memorizzata, digitata))
        return;
    const QString impronta = ImprontaPassword::Calcola(digitata);
    Archivio db(archivio);
    CancellazioneSicura(db);
    InTransazione(db, [&] {
        const QVariant indice = PrimaRiga(db);
        if (!indice.isNull())
            db.esegui(
                QStringLiteral("UPDATE Configurazioni SET Password = ? WHERE Indice = ? AND Password = ?"),
                { impronta, indice, memorizzata });
    });
}

void MemorizzaPassword(const QString& archivio, const QString& testo)
{
    const QString valore = testo.isEmpty() ? QString(QLatin1String("")) : ImprontaPassword::Calcola(testo);
    Archivio db(archivio);
    CancellazioneSicura(db);
    InTransazione(db, [&] {
        const QVariant indice = PrimaRiga(db);
        if (indice.isNull()) {
            if (!testo.isEmpty())
                db.esegui(QStringLiteral("INSERT INTO Configurazioni (Password) VALUES (?)"), { valore });
        } else {
            db.esegui(QStringLiteral("UPDATE Configurazioni SET Password = ? WHERE Indice = ?"),
                { valore, indice });
        }
    });
}

bool SalvaPasswordProgramma(const QString& archivio, const QString& testo)
{
    int errore = 0;
    QString descrizione;
    if (!EseguiConAttesa([&] { MemorizzaPassword(archivio, testo); }, &errore, &descrizione)) {
        if (errore == CodiciErrore::FileNonTrovato)
            messaggi().Messaggio(
                QStringLiteral("Eseguire creazione database"), Messaggi::Ok, Messaggi::Critical);
        else
            messaggi().Messaggio(
                QStringLiteral("PASSWORD NON SALVATA\n") + descrizione, Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    messaggi().Messaggio(
        QStringLiteral("PASSWORD IMPOSTATA CORRETTAMENTE"), Messaggi::Ok, Messaggi::Information);
    return true;
}

EsitoPassword VerificaPasswordDigitata(const QString& archivio, const QString& digitata)
{
    QString memorizzata;
    if (!EseguiConAttesa([&] { memorizzata = LeggiPasswordMemorizzata(archivio); }))
        return EsitoPassword::NonLetta;
    if (!PasswordCorretta(memorizzata, digitata))
        return EsitoPassword::Errata;
    // An older archive's clear text gives way to its digest now that it is known to be right; if
    // the archive cannot be written now, the next check tries again.
    if (PasswordInChiaro(memorizzata))
        EseguiConAttesa([&] { AggiornaPasswordInChiaro(archivio, memorizzata, digitata); });
    return EsitoPassword::Corretta;
}

bool ControllaPassword(Sessione& sessione)
{
    sessione.PasswordVerificata = false;
    QString memorizzata;
    int errore = 0;
    QString descrizione;
    bool letta = EseguiConAttesa(
        [&] { memorizzata = LeggiPasswordMemorizzata(sessione.PercorsoArchivio); }, &errore, &descrizione);
    if (!letta && (errore == CodiciErrore::FileNonTrovato || errore == CodiciErrore::TabellaNonTrovata)) {
        CreazioneDB().CreaDB_Click(sessione.PercorsoArchivio);
        messaggi().Messaggio(
            QStringLiteral("ESEGUITA CREAZIONE DATABASE"), Messaggi::Ok, Messaggi::Information);
        // The archive made just now holds no password; one that was only missing a table may.
        letta = EseguiConAttesa([&] { memorizzata = LeggiPasswordMemorizzata(sessione.PercorsoArchivio); },
            &errore, &descrizione);
    }
    if (!letta) {
        // Not knowing whether a password is set must not let anyone in.
        messaggi().Messaggio(descrizione, Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    if (memorizzata.isEmpty()) {
        sessione.PasswordVerificata = true;
        return true;
    }
    sessione.PasswordVerificata
        = servizi().chiediPassword && servizi().chiediPassword(sessione.PercorsoArchivio);
    return sessione.PasswordVerificata;
}
