#include "DatiComputer.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

// A page of a few lines is enough: a huge answer is not the page we want.
constexpr qint64 DimensioneMassimaPagina = 1024 * 1024;

} // namespace

namespace DatiComputer {

namespace {

bool Ipv4Utile(const QHostAddress& a)
{
    return a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback();
}

} // namespace

QString NomeComputer()
{
    return QHostInfo::localHostName();
}

QString IpPrivato()
{
    const QList<QNetworkInterface> interfacce = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfacce) {
        const auto flag = i.flags();
        if (!flag.testFlag(QNetworkInterface::IsUp) || !flag.testFlag(QNetworkInterface::IsRunning)
            || flag.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> voci = i.addressEntries();
        for (const QNetworkAddressEntry& v : voci) {
            if (Ipv4Utile(v.ip()))
                return v.ip().toString();
        }
    }
    const QList<QHostAddress> risolti = QHostInfo::fromName(NomeComputer()).addresses();
    for (const QHostAddress& a : risolti) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    }
    return {};
}

QString IpDaPagina(const QString& testo)
{
    const qsizetype marcatore = testo.indexOf(Marcatore);
    if (marcatore < 0)
        return ImpossibileTrovareIp;
    const qsizetype primo = testo.indexOf(QLatin1Char('\''), marcatore + Marcatore.size());
    if (primo < 0)
        return ImpossibileTrovareIp;
    const qsizetype secondo = testo.indexOf(QLatin1Char('\''), primo + 1);
    if (secondo < 0)
        return ImpossibileTrovareIp;
    const QString indirizzo = testo.mid(primo + 1, secondo - primo - 1).trimmed();
    // Only an address is shown: the page's other text has no place in the window.
    QHostAddress a;
    if (!a.setAddress(indirizzo))
        return ImpossibileTrovareIp;
    return a.toString();
}

} // namespace DatiComputer

RicercaIpPubblico::RicercaIpPubblico(QObject* parent)
    : QObject(parent)
    , m_rete(new QNetworkAccessManager(this))
    , m_scadenza(new QTimer(this))
{
    m_scadenza->setSingleShot(true);
    connect(m_scadenza, &QTimer::timeout, this, [this] {
        if (m_risposta)
            m_risposta->abort();
    });
}

RicercaIpPubblico::~RicercaIpPubblico()
{
    if (m_risposta) {
        m_risposta->disconnect(this);
        m_risposta->abort();
    }
}

void RicercaIpPubblico::Avvia(const QUrl& pagina, int attesaMassimaMs)
{
    if (m_risposta) {
        m_risposta->disconnect(this);
        m_risposta->abort();
        m_risposta->deleteLater();
    }
    m_scadenza->stop();
    const QString schema = pagina.scheme().toLower();
    if (!pagina.isValid() || (schema != QLatin1String("http") && schema != QLatin1String("https"))) {
        QTimer::singleShot(0, this, [this] { emit trovato(DatiComputer::ImpossibileAccederePagina); });
        return;
    }
    QNetworkRequest richiesta(pagina);
    // Always the page as it is now, never a copy kept from an earlier visit.
    richiesta.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    richiesta.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    richiesta.setTransferTimeout(attesaMassimaMs);
    m_risposta = m_rete->get(richiesta);
    connect(m_risposta, &QNetworkReply::finished, this, &RicercaIpPubblico::Conclusa);
    connect(m_risposta, &QNetworkReply::downloadProgress, this, [this](qint64 ricevuti, qint64) {
        if (ricevuti > DimensioneMassimaPagina && m_risposta)
            m_risposta->abort();
    });
    // The transfer timeout counts silence only; this one bounds the whole download.
    m_scadenza->start(attesaMassimaMs);
}

void RicercaIpPubblico::Conclusa()
{
    QNetworkReply* risposta = m_risposta;
    m_risposta = nullptr;
    m_scadenza->stop();
    if (!risposta)
        return;
    risposta->deleteLater();
    const int stato = risposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (risposta->error() != QNetworkReply::NoError || (stato != 0 && (stato < 200 || stato > 299))) {
        emit trovato(DatiComputer::ImpossibileAccederePagina);
        return;
    }
    emit trovato(DatiComputer::IpDaPagina(QString::fromUtf8(risposta->readAll())));
}
