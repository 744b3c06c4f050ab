#include "AmbienteTest.h"
#include "Controlli.h"

#include "archive/FunzioniPerVariabili.h"
#include "masterdata/DatiComputer.h"
#include "gui/masterdata/F_Configurazioni.h"

#include <QCheckBox>
#include <QHostAddress>
#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using FunzioniPerVariabili::LeggiVariabile;
using FunzioniPerVariabili::ScriviVariabile;

namespace {

// A page server on 127.0.0.1: answers every request with the status and text it was given, or
// never answers at all.
class ServerPagina : public QObject
{
public:
    ServerPagina()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                s->setParent(this);
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { rispondi(s); });
            }
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }

    QUrl indirizzo(const QString& pagina = QStringLiteral("/ip")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(pagina));
    }

    int stato = 200;
    QByteArray corpo;
    bool muto = false;
    int richieste = 0;

private:
    void rispondi(QTcpSocket* s)
    {
        m_ricevuto[s] += s->readAll();
        if (!m_ricevuto[s].contains("\r\n\r\n"))
            return;
        ++richieste;
        if (muto)
            return;
        const QByteArray testa = "HTTP/1.1 " + QByteArray::number(stato) + " X\r\nContent-Type: text/html\r\n"
            + "Content-Length: " + QByteArray::number(corpo.size()) + "\r\nConnection: close\r\n\r\n";
        s->write(testa + corpo);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_ricevuto;
};

QString Cerca(const QUrl& pagina, int attesaMs = DatiComputer::AttesaMassimaMs)
{
    RicercaIpPubblico ricerca;
    QSignalSpy trovato(&ricerca, &RicercaIpPubblico::trovato);
    ricerca.Avvia(pagina, attesaMs);
    if (!trovato.wait(attesaMs + 5000))
        return QStringLiteral("(nessuna risposta)");
    return trovato.size() == 1 ? trovato.at(0).at(0).toString()
                               : QStringLiteral("(risposte: %1)").arg(trovato.size());
}

} // namespace

class TestDatiComputer : public QObject
{
    Q_OBJECT

private slots:
    void ipDaPagina_data();
    void ipDaPagina();
    void paginaLocale_data();
    void paginaLocale();
    void serverSpento();
    void paginaCheNonRisponde();
    void indirizzoNonValido();
    void nomeEIpPrivato();
    void finestra();
};

void TestDatiComputer::ipDaPagina_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("marcatore") << "<script>var ip = '93.184.216.34';</script>"
                               << "93.184.216.34";
    QTest::newRow("primi due apici") << "x var ip = '1.2.3.4'; var y = '5.6.7.8';"
                                     << "1.2.3.4";
    QTest::newRow("spazi dentro gli apici") << "var ip = ' 10.0.0.1 '"
                                            << "10.0.0.1";
    QTest::newRow("IPv6") << "var ip = '2001:db8::1'"
                          << "2001:db8::1";
    QTest::newRow("senza marcatore") << "<html>Il tuo IP: 1.2.3.4</html>"
                                     << "(impossibile trovare IP)";
    QTest::newRow("marcatore senza spazio") << "var ip='1.2.3.4'"
                                            << "(impossibile trovare IP)";
    QTest::newRow("un solo apice") << "var ip = '1.2.3.4"
                                   << "(impossibile trovare IP)";
    QTest::newRow("non un indirizzo") << "var ip = '<b>ciao</b>'"
                                      << "(impossibile trovare IP)";
    QTest::newRow("vuoto") << ""
                           << "(impossibile trovare IP)";
}

void TestDatiComputer::ipDaPagina()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(DatiComputer::IpDaPagina(testo), atteso);
}

void TestDatiComputer::paginaLocale_data()
{
    QTest::addColumn<int>("stato");
    QTest::addColumn<QByteArray>("corpo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("marcatore presente")
        << 200 << QByteArray("<html><script>var ip = '203.0.113.7';</script></html>") << "203.0.113.7";
    QTest::newRow("marcatore mancante")
        << 200 << QByteArray("<html>niente</html>") << "(impossibile trovare IP)";
    QTest::newRow("pagina inesistente")
        << 404 << QByteArray("var ip = '203.0.113.7'") << "(impossibile accedere alla pagina)";
}

void TestDatiComputer::paginaLocale()
{
    QFETCH(int, stato);
    QFETCH(QByteArray, corpo);
    QFETCH(QString, atteso);
    ServerPagina server;
    server.stato = stato;
    server.corpo = corpo;
    QCOMPARE(Cerca(server.indirizzo()), atteso);
    QCOMPARE(server.richieste, 1);
    // The page is read again each time, never from a cache.
    server.corpo.replace("203.0.113.7", "203.0.113.8");
    if (atteso == QLatin1String("203.0.113.7")) {
        QCOMPARE(Cerca(server.indirizzo()), QStringLiteral("203.0.113.8"));
        QCOMPARE(server.richieste, 2);
    }
}

void TestDatiComputer::serverSpento()
{
    QUrl pagina;
    {
        ServerPagina server;
        pagina = server.indirizzo();
    }
    QCOMPARE(Cerca(pagina), QStringLiteral("(impossibile accedere alla pagina)"));
}

void TestDatiComputer::paginaCheNonRisponde()
{
    ServerPagina server;
    server.muto = true;
    QCOMPARE(Cerca(server.indirizzo(), 300), QStringLiteral("(impossibile accedere alla pagina)"));
    QCOMPARE(server.richieste, 1);
}

void TestDatiComputer::indirizzoNonValido()
{
    QCOMPARE(Cerca(QUrl()), QStringLiteral("(impossibile accedere alla pagina)"));
    QCOMPARE(Cerca(QUrl(QStringLiteral("file:///etc/hostname"))),
        QStringLiteral("(impossibile accedere alla pagina)"));
}

void TestDatiComputer::nomeEIpPrivato()
{
    QCOMPARE(DatiComputer::NomeComputer(), QHostInfo::localHostName());
    const QString ip = DatiComputer::IpPrivato();
    if (!ip.isEmpty()) {
        QHostAddress a;
        QVERIFY(a.setAddress(ip));
        QCOMPARE(a.protocol(), QAbstractSocket::IPv4Protocol);
    }
}

void TestDatiComputer::finestra()
{
    AmbienteTest amb;
    ServerPagina server;
    server.corpo = "var ip = '198.51.100.20';";
    ScriviVariabile(amb.archivio(), DatiComputer::VarMostraNome, QStringLiteral("1"));
    ScriviVariabile(amb.archivio(), DatiComputer::VarPaginaIpPubblico, server.indirizzo().toString());
    F_Configurazioni w(amb.sessione);
    auto* nome = figlio<QCheckBox>(&w, "MostraNome");
    auto* privato = figlio<QCheckBox>(&w, "MostraIpPrivato");
    auto* pubblico = figlio<QCheckBox>(&w, "MostraIpPubblico");
    QVERIFY(nome->isChecked());
    QVERIFY(!privato->isChecked());
    QVERIFY(!pubblico->isChecked());
    QCOMPARE(figlio<QLineEdit>(&w, "PaginaIpPubblico")->text(), server.indirizzo().toString());

    // A click stores the box's state at once.
    QTest::mouseClick(pubblico, Qt::LeftButton);
    QCOMPARE(LeggiVariabile(amb.archivio(), DatiComputer::VarMostraIpPubblico), QStringLiteral("1"));
    QTest::mouseClick(nome, Qt::LeftButton);
    QCOMPARE(LeggiVariabile(amb.archivio(), DatiComputer::VarMostraNome), QStringLiteral("0"));

    QTest::mouseClick(figlio<QPushButton>(&w, "MostraDati"), Qt::LeftButton);
    // The window does not wait for the page.
    QCOMPARE(figlio<QLabel>(&w, "lblpubblico")->text(), QStringLiteral("(ricerca in corso...)"));
    QTRY_COMPARE(figlio<QLabel>(&w, "lblpubblico")->text(), QStringLiteral("198.51.100.20"));
    // Boxes not ticked leave their value empty.
    QCOMPARE(figlio<QLabel>(&w, "lblnome")->text(), QString());
    QCOMPARE(figlio<QLabel>(&w, "lblprivato")->text(), QString());

    QTest::mouseClick(nome, Qt::LeftButton);
    QTest::mouseClick(privato, Qt::LeftButton);
    QTest::mouseClick(figlio<QPushButton>(&w, "MostraDati"), Qt::LeftButton);
    QCOMPARE(figlio<QLabel>(&w, "lblnome")->text(), QHostInfo::localHostName());
    QVERIFY(!figlio<QLabel>(&w, "lblprivato")->text().isEmpty());
    QTRY_COMPARE(figlio<QLabel>(&w, "lblpubblico")->text(), QStringLiteral("198.51.100.20"));

    // Another page address is kept for the next time.
    auto* pagina = figlio<QLineEdit>(&w, "PaginaIpPubblico");
    pagina->setText(QStringLiteral("http://127.0.0.1:1/ip"));
    emit pagina->editingFinished();
    QCOMPARE(LeggiVariabile(amb.archivio(), DatiComputer::VarPaginaIpPubblico),
        QStringLiteral("http://127.0.0.1:1/ip"));
    F_Configurazioni di_nuovo(amb.sessione);
    QVERIFY(figlio<QCheckBox>(&di_nuovo, "MostraNome")->isChecked());
    QVERIFY(figlio<QCheckBox>(&di_nuovo, "MostraIpPrivato")->isChecked());
    QVERIFY(figlio<QCheckBox>(&di_nuovo, "MostraIpPubblico")->isChecked());
}

QTEST_MAIN(TestDatiComputer)
#include "tst_daticomputer.moc"
