#include "GestioneErrore.h"

#include "archive/CreazioneDB.h"
#include "archive/ErroreArchivio.h"
#include "archive/Module1.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"
#include "platform/Servizi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace {

// Tells the user the archive is damaged. The steps after the first one that meets the damage meet
// it too (the archive is refused from then on): one message until the program is back waiting
// for the user.
void segnalaArchivioDanneggiato(const QString& descrizione)
{
    bool& detto = servizi().errori.DannoSegnalato;
    if (detto)
        return;
    detto = QCoreApplication::instance() != nullptr;
    messaggi().Messaggio(descrizione, Messaggi::Ok, Messaggi::Critical);
    if (detto)
        QTimer::singleShot(0, QCoreApplication::instance(), [] { servizi().errori.DannoSegnalato = false; });
}

} // namespace

namespace Module1 {

bool ErroreOccupato(int numero)
{
    return numero == CodiciErrore::Bloccato || numero == CodiciErrore::FileInUso
        || numero == CodiciErrore::AccessoEsclusivo || numero == CodiciErrore::OggettoNonImpostato;
}

bool GestioneErrore(int numero, const QString& descrizione, const QString& archivio)
{
    qint32& ContatoreErrori = servizi().errori.ContatoreErrori;
    ++ContatoreErrori;
    if (ContatoreErrori > 99) {
        if (ContatoreErrori > 10000)
            Piattaforma::TerminaProgramma();
        return false;
    }
    if (ErroreOccupato(numero)) {
        QCoreApplication::processEvents();
        if (servizi().attesaOccupato)
            servizi().attesaOccupato();
        Pausa(0.03);
        return true;
    }
    if (numero == CodiciErrore::TabellaNonTrovata && !archivio.isEmpty())
        CreazioneDB().CreaDB(archivio);
    if (numero == CodiciErrore::NonUnArchivio)
        segnalaArchivioDanneggiato(descrizione);
    ContatoreErrori = 0;
    if (servizi().errori.MessaggiErroreAttivi) {
        const QString testo = QStringLiteral("  -- Messaggi di Errore Attivo (in Config->Utility) --  \r\r")
            + QString::number(numero) + QLatin1Char(' ') + descrizione
            + QStringLiteral("\rRipetere Stessa Istruzione ?");
        return messaggi().Messaggio(testo, Messaggi::Ok | Messaggi::Cancel, Messaggi::Critical)
            == Messaggi::Ok;
    }
    return false;
}

} // namespace Module1

bool EseguiPasso(const std::function<void()>& passo)
{
    for (;;) {
        try {
            passo();
            return true;
        } catch (const ErroreArchivio& e) {
            if (!Module1::GestioneErrore(e.numero(), e.descrizione(), e.archivio()))
                return false;
        }
    }
}

bool EseguiConAttesa(const std::function<void()>& passo, int* numeroErrore, QString* descrizioneErrore)
{
    // A lock that never clears must not hang the program for good: after a minute the step is
    // skipped like any other failure.
    QElapsedTimer attesa;
    attesa.start();
    for (;;) {
        try {
            passo();
            return true;
        } catch (const ErroreArchivio& e) {
            if (e.numero() == CodiciErrore::Bloccato && attesa.elapsed() < 60000) {
                if (servizi().attesaOccupato)
                    servizi().attesaOccupato();
                QCoreApplication::processEvents();
                continue;
            }
            if (numeroErrore)
                *numeroErrore = e.numero();
            if (descrizioneErrore)
                *descrizioneErrore = e.descrizione();
            return false;
        }
    }
}
