#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// The computer's name and addresses shown by the settings window's "Mostra Dati Computer".
namespace DatiComputer {

inline const QString ImpossibileTrovareIp = QStringLiteral("(impossibile trovare IP)");
inline const QString ImpossibileAccederePagina = QStringLiteral("(impossibile accedere alla pagina)");
// The page holds the address as  var ip = '...'  in its text.
inline const QString Marcatore = QStringLiteral("var ip =");
// A page that does not answer within this time counts as unreachable.
constexpr int AttesaMassimaMs = 5000;

// The Variabili names of the three switches and of the page address.
inline const QString VarMostraNome = QStringLiteral("F_Configurazioni_MostraNome");
inline const QString VarMostraIpPrivato = QStringLiteral("F_Configurazioni_MostraIpPrivato");
inline const QString VarMostraIpPubblico = QStringLiteral("F_Configurazioni_MostraIpPubblico");
inline const QString VarPaginaIpPubblico = QStringLiteral("F_Configurazioni_PaginaIpPubblico");

QString NomeComputer();
// The first IPv4 address of a working network interface other than the loopback one; the
// addresses the host name resolves to when there is none; "" when nothing is known.
QString IpPrivato();
// The address between the first two single quotes after the marker, when it is an address;
// ImpossibileTrovareIp otherwise.
QString IpDaPagina(const QString& testo);

} // namespace DatiComputer

// Reads the public address from the configured page without blocking the window: the answer
// comes through `trovato` (the address, ImpossibileTrovareIp or ImpossibileAccederePagina).
class RicercaIpPubblico : public QObject
{
    Q_OBJECT

public:
    explicit RicercaIpPubblico(QObject* parent = nullptr);
    ~RicercaIpPubblico() override;

    // Starts a download, dropping one still running. An empty or invalid address answers at once
    // (through the event loop) that the page cannot be reached.
    void Avvia(const QUrl& pagina, int attesaMassimaMs = DatiComputer::AttesaMassimaMs);
    bool inCorso() const { return !m_risposta.isNull(); }

signals:
    void trovato(const QString& testo);

private:
    void Conclusa();

    QNetworkAccessManager* m_rete;
    QPointer<QNetworkReply> m_risposta;
    QTimer* m_scadenza;
};
