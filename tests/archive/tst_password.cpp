#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "gui/masterdata/F_Pass.h"
#include "gui/platform/ServiziGrafici.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Acts on the password prompt once it is shown modally; the prompt blocks ControllaPassword.
void quandoAppareIlPrompt(std::function<void(F_Pass*)> azione)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, azione] {
        if (auto* prompt = qobject_cast<F_Pass*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            azione(prompt);
        }
    });
    timer->start();
}

QLineEdit* campo(F_Pass* prompt)
{
    return prompt->findChild<QLineEdit*>(QStringLiteral("Password"));
}

void digitaEConferma(const QString& testo)
{
    quandoAppareIlPrompt([testo](F_Pass* prompt) {
        campo(prompt)->setText(testo);
        QTest::keyClick(campo(prompt), Qt::Key_Return);
    });
}

QString Memorizzata(const AmbienteTest& amb)
{
    return amb.sql(QStringLiteral("SELECT Password FROM Configurazioni ORDER BY Indice LIMIT 1")).toString();
}

// The whole archive file, free pages included: no copy of a password may hide there.
QByteArray ContenutoFile(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    // The busy window, the password prompt and the progress window are the windows' own.
    void initTestCase() { ServiziGrafici::Installa(servizi()); }
    void nessunaPassword_data();
    void nessunaPassword();
    void passwordGiusta();
    void passwordErrata_data();
    void passwordErrata();
    void annulla();
    void archivioMancante();
    void mascheraECampo();
    void impronta_data();
    void impronta();
    void improntaNonValidaELettaInChiaro_data();
    void improntaNonValidaELettaInChiaro();
    void passwordImprontaGiustaEErrata();
    void passwordInChiaroAggiornata();
    void memorizzaPassword();
    void saltaPassword();
};

void TestPassword::nessunaPassword_data()
{
    QTest::addColumn<bool>("riga");
    QTest::addColumn<QVariant>("valore");
    QTest::newRow("nessuna riga") << false << QVariant();
    QTest::newRow("vuota") << true << QVariant(QString());
    QTest::newRow("null") << true << QVariant(QMetaType(QMetaType::QString));
}

void TestPassword::nessunaPassword()
{
    QFETCH(bool, riga);
    QFETCH(QVariant, valore);
    AmbienteTest amb;
    if (riga)
        amb.sql(QStringLiteral("INSERT INTO Configurazioni (RagSociale, Password) VALUES ('Ditta', ?)"),
            { valore });
    QVERIFY(ControllaPassword(amb.sessione));
    QVERIFY(amb.sessione.PasswordVerificata);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.terminazioni, 0);
}

void TestPassword::passwordGiusta()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (Password) VALUES ('Segreta 1')"));
    quandoAppareIlPrompt([](F_Pass* prompt) {
        QTest::keyClicks(campo(prompt), QStringLiteral("Segreta 1"));
        // Enter in the field confirms.
        QTest::keyClick(campo(prompt), Qt::Key_Return);
    });
    QVERIFY(ControllaPassword(amb.sessione));
    QVERIFY(amb.sessione.PasswordVerificata);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.terminazioni, 0);
}

void TestPassword::passwordErrata_data()
{
    QTest::addColumn<QString>("digitata");
    QTest::newRow("maiuscole diverse") << "segreta 1";
    QTest::newRow("vuota") << "";
    QTest::newRow("con uno spazio in più") << "Segreta 1 ";
}

void TestPassword::passwordErrata()
{
    QFETCH(QString, digitata);
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (Password) VALUES ('Segreta 1')"));
    quandoAppareIlPrompt([digitata](F_Pass* prompt) {
        campo(prompt)->setText(digitata);
        QTest::mouseClick(prompt->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QVERIFY(!ControllaPassword(amb.sessione));
    QVERIFY(!amb.sessione.PasswordVerificata);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD ERRATA") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
    QCOMPARE(amb.terminazioni, 1);
}

void TestPassword::annulla()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (Password) VALUES ('x')"));
    quandoAppareIlPrompt([](F_Pass* prompt) {
        campo(prompt)->setText(QStringLiteral("x"));
        QTest::mouseClick(prompt->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    });
    QVERIFY(!ControllaPassword(amb.sessione));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.terminazioni, 1);

    // Escape is "Annulla" as well.
    quandoAppareIlPrompt([](F_Pass* prompt) { QTest::keyClick(campo(prompt), Qt::Key_Escape); });
    QVERIFY(!ControllaPassword(amb.sessione));
    QCOMPARE(amb.terminazioni, 2);
}

void TestPassword::archivioMancante()
{
    AmbienteTest amb(false);
    QVERIFY(ControllaPassword(amb.sessione));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("ESEGUITA CREAZIONE DATABASE") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Configurazioni'")).toInt(),
        1);

    // A file that is not an archive lets nobody in.
    amb.messaggi.svuota();
    amb.sessione.PercorsoArchivio = amb.percorso(QStringLiteral("finto.mdb"));
    {
        QFile f(amb.sessione.PercorsoArchivio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'q'));
    }
    QVERIFY(!ControllaPassword(amb.sessione));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
}

void TestPassword::mascheraECampo()
{
    AmbienteTest amb;
    F_Pass prompt(amb.archivio());
    prompt.show();
    QCOMPARE(prompt.windowTitle(), QStringLiteral("Password"));
    QLineEdit* p = campo(&prompt);
    QVERIFY(p->text().isEmpty());
    QTest::keyClicks(p, QStringLiteral("abc"));
    QCOMPARE(p->text(), QStringLiteral("abc"));
    QCOMPARE(p->displayText(), QStringLiteral("###"));
    QCOMPARE(p->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(prompt.findChild<QPushButton*>(QStringLiteral("Command1"))->text(), QStringLiteral("Conferma"));
    QCOMPARE(prompt.findChild<QPushButton*>(QStringLiteral("Command2"))->text(), QStringLiteral("Annulla"));
    prompt.hide();
}

void TestPassword::impronta_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("semplice") << "Segreta 1";
    QTest::newRow("accenti e simboli") << QStringLiteral("perché$€'\"");
    QTest::newRow("lunga") << QString(250, QLatin1Char('x'));
}

void TestPassword::impronta()
{
    QFETCH(QString, password);
    const QString a = ImprontaPassword::Calcola(password);
    const QString b = ImprontaPassword::Calcola(password);
    QVERIFY(a.startsWith(QStringLiteral("pbkdf2-sha256$100000$")));
    QCOMPARE(a.split(QLatin1Char('$')).size(), 4);
    QVERIFY(a.size() <= 250);
    QVERIFY(!a.contains(password));
    // Each digest has its own salt.
    QVERIFY(a != b);
    QVERIFY(ImprontaPassword::Valida(a));
    QVERIFY(!PasswordInChiaro(a));
    QVERIFY(PasswordCorretta(a, password));
    QVERIFY(PasswordCorretta(b, password));
    QVERIFY(!PasswordCorretta(a, password.toUpper() == password ? password.toLower() : password.toUpper()));
    QVERIFY(!PasswordCorretta(a, password + QLatin1Char(' ')));
    QVERIFY(!PasswordCorretta(a, QString()));
    // Fewer iterations are read from the value itself.
    QVERIFY(PasswordCorretta(ImprontaPassword::Calcola(password, 1000), password));
}

void TestPassword::improntaNonValidaELettaInChiaro_data()
{
    QTest::addColumn<QString>("memorizzata");
    const QString buona = ImprontaPassword::Calcola(QStringLiteral("x"));
    const QStringList parti = buona.split(QLatin1Char('$'));
    QTest::newRow("testo qualunque") << "Segreta 1";
    QTest::newRow("solo il prefisso") << "pbkdf2-sha256$";
    QTest::newRow("iterazioni non numeriche")
        << QStringLiteral("pbkdf2-sha256$mille$%1$%2").arg(parti[2], parti[3]);
    QTest::newRow("iterazioni enormi")
        << QStringLiteral("pbkdf2-sha256$999999999$%1$%2").arg(parti[2], parti[3]);
    QTest::newRow("chiave corta") << QStringLiteral("pbkdf2-sha256$1000$%1$QUJD").arg(parti[2]);
    QTest::newRow("base64 rotto") << QStringLiteral("pbkdf2-sha256$1000$%%%%$%1").arg(parti[3]);
}

void TestPassword::improntaNonValidaELettaInChiaro()
{
    QFETCH(QString, memorizzata);
    // What is not a digest this program made is an older archive's clear text.
    QVERIFY(!ImprontaPassword::Valida(memorizzata));
    QVERIFY(PasswordInChiaro(memorizzata));
    QVERIFY(PasswordCorretta(memorizzata, memorizzata));
    QVERIFY(!PasswordCorretta(memorizzata, QStringLiteral("x")));
}

void TestPassword::passwordImprontaGiustaEErrata()
{
    AmbienteTest amb;
    MemorizzaPassword(amb.archivio(), QStringLiteral("Segreta 1"));
    const QString memorizzata = Memorizzata(amb);
    QVERIFY(ImprontaPassword::Valida(memorizzata));

    digitaEConferma(QStringLiteral("Segreta 1"));
    QVERIFY(ControllaPassword(amb.sessione));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    // A digest is left as it is.
    QCOMPARE(Memorizzata(amb), memorizzata);

    digitaEConferma(QStringLiteral("segreta 1"));
    QVERIFY(!ControllaPassword(amb.sessione));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD ERRATA") });
    QCOMPARE(amb.terminazioni, 1);
    QCOMPARE(Memorizzata(amb), memorizzata);
}

void TestPassword::passwordInChiaroAggiornata()
{
    AmbienteTest amb;
    const QString chiaro = QStringLiteral("Vecchia-Password-42");
    amb.sql(
        QStringLiteral("INSERT INTO Configurazioni (RagSociale, Password) VALUES ('Ditta', ?)"), { chiaro });

    // A wrong try changes nothing.
    digitaEConferma(QStringLiteral("vecchia-password-42"));
    QVERIFY(!ControllaPassword(amb.sessione));
    QCOMPARE(Memorizzata(amb), chiaro);

    amb.messaggi.svuota();
    digitaEConferma(chiaro);
    QVERIFY(ControllaPassword(amb.sessione));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    const QString aggiornata = Memorizzata(amb);
    QVERIFY(ImprontaPassword::Valida(aggiornata));
    QVERIFY(PasswordCorretta(aggiornata, chiaro));
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Ditta"));
    QVERIFY(!ContenutoFile(amb.archivio()).contains(chiaro.toUtf8()));

    // The same password still opens, now against the digest.
    digitaEConferma(chiaro);
    QVERIFY(ControllaPassword(amb.sessione));
    QCOMPARE(Memorizzata(amb), aggiornata);

    // The upgrade never overwrites a password changed meanwhile.
    amb.sql(QStringLiteral("UPDATE Configurazioni SET Password = 'altra'"));
    AggiornaPasswordInChiaro(amb.archivio(), chiaro, chiaro);
    QCOMPARE(Memorizzata(amb), QStringLiteral("altra"));
}

void TestPassword::memorizzaPassword()
{
    AmbienteTest amb;
    // Without a row an empty password adds nothing.
    MemorizzaPassword(amb.archivio(), QString());
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 0);

    const QString password = QStringLiteral("Chiave-Segreta-77");
    QVERIFY(SalvaPasswordProgramma(amb.archivio(), password));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD IMPOSTATA CORRETTAMENTE") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QVERIFY(PasswordCorretta(Memorizzata(amb), password));
    QVERIFY(!ContenutoFile(amb.archivio()).contains(password.toUtf8()));

    // Another password replaces it in the same row; an empty box removes it.
    amb.sql(QStringLiteral("UPDATE Configurazioni SET RagSociale = 'Ditta'"));
    QVERIFY(SalvaPasswordProgramma(amb.archivio(), QStringLiteral("Seconda")));
    QVERIFY(PasswordCorretta(Memorizzata(amb), QStringLiteral("Seconda")));
    QVERIFY(!PasswordCorretta(Memorizzata(amb), password));
    amb.messaggi.svuota();
    QVERIFY(SalvaPasswordProgramma(amb.archivio(), QString()));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD IMPOSTATA CORRETTAMENTE") });
    QCOMPARE(Memorizzata(amb), QString());
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Ditta"));
    QVERIFY(ControllaPassword(amb.sessione));

    // A missing archive is not told as a success.
    amb.messaggi.svuota();
    QVERIFY(!SalvaPasswordProgramma(amb.percorso(QStringLiteral("manca.mdb")), QStringLiteral("x")));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Eseguire creazione database") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
}

void TestPassword::saltaPassword()
{
    Sessione sessione;
    sessione.SaltaPassword = true;
    QVERIFY(ConsumaSaltaPassword(sessione));
    QVERIFY(!sessione.SaltaPassword);
    QVERIFY(!ConsumaSaltaPassword(sessione));
}

QTEST_MAIN(TestPassword)
#include "tst_password.moc"
