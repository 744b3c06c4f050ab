#include "Portachiavi.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace Portachiavi {

namespace {

const QString Servizio = QStringLiteral("Cartavia");
// A keyring that does not answer (a session bus gone astray) must not hold the window.
constexpr int AttesaMassimaMs = 5000;

// Runs the job to its end, or until the wait is over; true when it ended without error.
bool esegui(QKeychain::Job& lavoro, QString* errore)
{
    // Outside a desktop session there is no keyring to ask, and asking would start a session bus
    // of its own and wait for it.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        if (errore)
            *errore = QStringLiteral("nessun portachiavi in questa sessione");
        return false;
    }
    lavoro.setAutoDelete(false);
    QEventLoop attesa;
    bool finito = false;
    QObject::connect(&lavoro, &QKeychain::Job::finished, &attesa, [&] {
        finito = true;
        attesa.quit();
    });
    QTimer::singleShot(AttesaMassimaMs, &attesa, &QEventLoop::quit);
    lavoro.start();
    if (!finito)
        attesa.exec();
    if (!finito) {
        if (errore)
            *errore = QStringLiteral("il portachiavi del desktop non risponde");
        return false;
    }
    if (lavoro.error() != QKeychain::NoError) {
        if (errore)
            *errore = lavoro.errorString();
        return false;
    }
    return true;
}

} // namespace

QString Leggi(const QString& chiave)
{
    QKeychain::ReadPasswordJob lavoro(Servizio);
    lavoro.setKey(chiave);
    return esegui(lavoro, nullptr) ? lavoro.textData() : QString();
}

bool Scrivi(const QString& chiave, const QString& password, QString* errore)
{
    QKeychain::WritePasswordJob lavoro(Servizio);
    lavoro.setKey(chiave);
    lavoro.setTextData(password);
    return esegui(lavoro, errore);
}

void Togli(const QString& chiave)
{
    QKeychain::DeletePasswordJob lavoro(Servizio);
    lavoro.setKey(chiave);
    esegui(lavoro, nullptr);
}

} // namespace Portachiavi
