#include "AmbienteTest.h"

#include "archive/Module1.h"
#include "archive/Password.h"
#include "masterdata/F_Pass.h"

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

} // namespace

class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    void nessunaPassword_data();
    void nessunaPassword();
    void passwordGiusta();
    void passwordErrata_data();
    void passwordErrata();
    void annulla();
    void archivioMancante();
    void mascheraECampo();
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
        amb.sql(QStringLiteral("INSERT INTO Configurazioni (RagSociale, Password) VALUES ('Ditta', ?)"), {valore});
    QVERIFY(ControllaPassword());
    QVERIFY(Module1::PasswordVerificata);
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
    QVERIFY(ControllaPassword());
    QVERIFY(Module1::PasswordVerificata);
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
    QVERIFY(!ControllaPassword());
    QVERIFY(!Module1::PasswordVerificata);
    QCOMPARE(amb.messaggi.testi(), QStringList{QStringLiteral("PASSWORD ERRATA")});
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, QMessageBox::Critical);
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
    QVERIFY(!ControllaPassword());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.terminazioni, 1);

    // Escape is "Annulla" as well.
    quandoAppareIlPrompt([](F_Pass* prompt) { QTest::keyClick(campo(prompt), Qt::Key_Escape); });
    QVERIFY(!ControllaPassword());
    QCOMPARE(amb.terminazioni, 2);
}

void TestPassword::archivioMancante()
{
    AmbienteTest amb(false);
    QVERIFY(ControllaPassword());
    QCOMPARE(amb.messaggi.testi(), QStringList{QStringLiteral("ESEGUITA CREAZIONE DATABASE")});
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, QMessageBox::Information);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Configurazioni'")).toInt(), 1);

    // A file that is not an archive lets nobody in.
    amb.messaggi.svuota();
    Module1::PercorsoArchivio = amb.percorso(QStringLiteral("finto.mdb"));
    {
        QFile f(Module1::PercorsoArchivio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'q'));
    }
    QVERIFY(!ControllaPassword());
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, QMessageBox::Critical);
}

void TestPassword::mascheraECampo()
{
    AmbienteTest amb;
    F_Pass prompt;
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

QTEST_MAIN(TestPassword)
#include "tst_password.moc"
