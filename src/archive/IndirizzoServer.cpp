#include "IndirizzoServer.h"

#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace {
bool schemaServer(const QString& testo)
{
    return testo.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || testo.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}
} // namespace

bool IndirizzoServer::E(const QString& percorso)
{
    return schemaServer(percorso.trimmed());
}

std::optional<IndirizzoServer> IndirizzoServer::Leggi(const QString& indirizzo, QString* errore)
{
    const auto rifiuta = [&](const QString& motivo) -> std::optional<IndirizzoServer> {
        if (errore)
            *errore = QStringLiteral("Indirizzo del server non valido: %1 (atteso "
                                     "postgresql://utente@host:porta/database).")
                          .arg(motivo);
        return std::nullopt;
    };
    const QString testo = indirizzo.trimmed();
    if (!schemaServer(testo))
        return rifiuta(QStringLiteral("deve cominciare con postgresql://"));
    const QUrl url(testo, QUrl::StrictMode);
    if (!url.isValid())
        return rifiuta(url.errorString());
    if (!url.password().isEmpty())
        return rifiuta(QStringLiteral("la password non va scritta nell'indirizzo"));
    IndirizzoServer r;
    r.host = url.host(QUrl::FullyDecoded);
    r.utente = url.userName(QUrl::FullyDecoded);
    r.porta = url.port(5432);
    r.database = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery parametri(url);
    for (const auto& [chiave, valore] : parametri.queryItems(QUrl::FullyDecoded)) {
        if (chiave == QLatin1String("host")) {
            r.host = valore;
        } else if (chiave == QLatin1String("port")) {
            bool ok = false;
            r.porta = valore.toInt(&ok);
            if (!ok)
                return rifiuta(QStringLiteral("porta «%1»").arg(valore));
        } else if (chiave == QLatin1String("user")) {
            r.utente = valore;
        } else if (chiave == QLatin1String("dbname")) {
            r.database = valore;
        } else {
            return rifiuta(QStringLiteral("parametro sconosciuto «%1»").arg(chiave));
        }
    }
    if (r.porta <= 0 || r.porta > 65535)
        return rifiuta(QStringLiteral("porta %1").arg(r.porta));
    static const QRegularExpression nome(QStringLiteral("^[^/\\s]+$"));
    if (!nome.match(r.database).hasMatch())
        return rifiuta(QStringLiteral("manca il nome del database"));
    if (r.host.isEmpty())
        r.host = QStringLiteral("localhost");
    return r;
}

QString IndirizzoServer::Testo() const
{
    const auto codifica = [](const QString& t, const QByteArray& lascia = {}) {
        return QString::fromLatin1(QUrl::toPercentEncoding(t, lascia));
    };
    if (host.startsWith(QLatin1Char('/'))) {
        // No authority part: the socket's folder goes in the parameters.
        QString r = QStringLiteral("postgresql:///%1?host=%2").arg(codifica(database), codifica(host, "/"));
        if (porta != 5432)
            r += QStringLiteral("&port=%1").arg(porta);
        if (!utente.isEmpty())
            r += QStringLiteral("&user=") + codifica(utente);
        return r;
    }
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(host);
    if (porta != 5432)
        url.setPort(porta);
    url.setUserName(utente);
    url.setPath(QLatin1Char('/') + database);
    return url.toString(QUrl::FullyEncoded);
}

QString IndirizzoServer::Descrizione() const
{
    return QStringLiteral("%1 su %2")
        .arg(database, host.startsWith(QLatin1Char('/')) ? QStringLiteral("questo computer") : host);
}

namespace {
QMutex g_mutePassword;
QHash<QString, QString>& passwords()
{
    static QHash<QString, QString> p;
    return p;
}
} // namespace

void IndirizzoServer::ImpostaPassword(const QString& indirizzo, const QString& password)
{
    const QMutexLocker blocco(&g_mutePassword);
    if (password.isEmpty())
        passwords().remove(indirizzo.trimmed());
    else
        passwords().insert(indirizzo.trimmed(), password);
}

QString IndirizzoServer::Password(const QString& indirizzo)
{
    const QMutexLocker blocco(&g_mutePassword);
    return passwords().value(indirizzo.trimmed());
}
