#include "AmbienteTest.h"
#include "DatiDiProva.h"
#include "Innesco.h"

#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "masterdata/Anagrafiche.h"
#include "masterdata/ElencoAnagrafiche.h"

#include <QTest>

using namespace Anagrafiche;

namespace {

qint32 Inserisci(AmbienteTest& amb, const QString& codice, const QString& ragSociale, bool attivo = true)
{
    return qint32(
        dipendente(amb, codice, ragSociale, attivo ? 1 : 0, { { "Maschio", 1 }, { "Femmina", 0 } }));
}

void Movimento(
    AmbienteTest& amb, qint32 indice, const QVariant& stato, const QVariant& statoNum, const QVariant& note)
{
    movimento(amb, indice, QStringLiteral("ORDINARIO"), QDate(2024, 3, 1), stato, note,
        { { "StatoNum", statoNum } });
}

int Conta(AmbienteTest& amb, const QString& tabella, const QString& condizione = QStringLiteral("1 = 1"),
    const QVariantList& valori = {})
{
    return amb.sql(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(tabella, condizione), valori)
        .toInt();
}

Scheda Nuova(
    const QString& codice, const QString& cognome, const QString& nome, const QString& ragSociale = {})
{
    Scheda s;
    s.imposta(QStringLiteral("Codice"), codice);
    s.imposta(QStringLiteral("Cognome"), cognome);
    s.imposta(QStringLiteral("Nome"), nome);
    s.imposta(QStringLiteral("RagSociale"), ragSociale);
    return s;
}

const QVariant Nullo = QVariant(QMetaType(QMetaType::QString));

} // namespace

class TestAnagrafiche : public QObject
{
    Q_OBJECT

private slots:
    void codiceGiaUsato_data();
    void codiceGiaUsato();
    void codiceConApice();
    void ragSocialeComposta_data();
    void ragSocialeComposta();
    void campiMancanti();
    void ragSocialeDuplicata();
    void dateNonValideNulle();
    void aggiornamentoChiedePrima();
    void registrazioneNonRiuscita();
    void movimentiConContenuto_data();
    void movimentiConContenuto();
    void cancellaSoloVuoti();
    void cancellaConContenuto_data();
    void cancellaConContenuto();
    void cancellaSenzaSelezione();
    void cancellazioneInterrotta();
    void elencoFiltriEOrdine();
    void evidenziazione();
};

void TestAnagrafiche::codiceGiaUsato_data()
{
    QTest::addColumn<QString>("codice");
    QTest::newRow("uguale") << "A1";
    QTest::newRow("altre maiuscole") << "a1";
}

void TestAnagrafiche::codiceGiaUsato()
{
    QFETCH(QString, codice);
    AmbienteTest amb;
    Inserisci(amb, QStringLiteral("A1"), QStringLiteral("Bianchi Anna"));
    Scheda s = Nuova(codice, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::CodiceUsato);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Codice anagrafica già utilizzato da: Bianchi Anna") });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 1);
    QCOMPARE(s.indice, QString());
}

void TestAnagrafiche::codiceConApice()
{
    AmbienteTest amb;
    const QString codice = QStringLiteral("O'Neil");
    QVERIFY(!ControllaEsistenzaCodiceAnagrafica(amb.archivio(), codice, 0));
    Scheda s = Nuova(codice, QStringLiteral("O'Neil"), QStringLiteral("Ann"));
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::Registrata);
    const qint32 chiave = s.chiave();
    QVERIFY(chiave > 0);
    QCOMPARE(CercaCodice(amb.archivio(), codice), chiave);
    // Its own record does not count; another one does, and is named.
    amb.messaggi.svuota();
    QVERIFY(!ControllaEsistenzaCodiceAnagrafica(amb.archivio(), codice, chiave));
    QVERIFY(ControllaEsistenzaCodiceAnagrafica(amb.archivio(), codice, 0));
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Codice anagrafica già utilizzato da: O'Neil Ann") });
    QCOMPARE(servizi().errori.ContatoreErrori, 0);
}

void TestAnagrafiche::ragSocialeComposta_data()
{
    QTest::addColumn<QString>("cognome");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("entrambi") << "Rossi"
                              << "Mario"
                              << "Rossi Mario";
    QTest::newRow("solo cognome") << "Rossi"
                                  << ""
                                  << "Rossi";
    QTest::newRow("solo nome") << ""
                               << "Mario"
                               << "Mario";
}

void TestAnagrafiche::ragSocialeComposta()
{
    QFETCH(QString, cognome);
    QFETCH(QString, nome);
    QFETCH(QString, atteso);
    AmbienteTest amb;
    Scheda s = Nuova(QStringLiteral("R1"), cognome, nome);
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::Registrata);
    QCOMPARE(s.testo(QStringLiteral("RagSociale")), atteso);
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM TabellaAnagrafiche WHERE Indice = ?"), { s.chiave() })
            .toString(),
        atteso);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Cognome || '|' || Nome FROM TabellaAnagrafiche")).toString(),
        cognome + QLatin1Char('|') + nome);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestAnagrafiche::campiMancanti()
{
    AmbienteTest amb;
    Scheda senzaCodice = Nuova(QString(), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    QCOMPARE(Registra(amb.archivio(), senzaCodice), EsitoRegistrazione::CodiceMancante);
    Scheda senzaNomi = Nuova(QStringLiteral("R1"), QString(), QString());
    QCOMPARE(Registra(amb.archivio(), senzaNomi), EsitoRegistrazione::CampiObbligatori);
    QCOMPARE(amb.messaggi.testi(),
        (QStringList {
            QStringLiteral("Inserire un codice"), QStringLiteral("Valorizzare i campi obbligatori") }));
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 0);
}

void TestAnagrafiche::ragSocialeDuplicata()
{
    AmbienteTest amb;
    const qint32 rossi = Inserisci(amb, QStringLiteral("R1"), QStringLiteral("Rossi Mario"));
    Scheda s = Nuova(QStringLiteral("R2"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"));
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::RagSocialeUsata);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("La Ragione Sociale è già utilizzata") });
    QCOMPARE(s.testo(QStringLiteral("RagSociale")), QStringLiteral("ROSSI MARIO")); // stays on the card
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 1);

    // The employee's own name is no obstacle to saving their card again.
    amb.messaggi.svuota();
    std::optional<Scheda> proprio = LeggiScheda(amb.archivio(), rossi);
    QVERIFY(proprio);
    proprio->imposta(QStringLiteral("Telefono"), QStringLiteral("055 123"));
    amb.messaggi.risposte << Messaggi::Yes;
    QCOMPARE(Registra(amb.archivio(), *proprio), EsitoRegistrazione::Registrata);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Telefono FROM TabellaAnagrafiche WHERE Indice = ?"), { rossi })
                 .toString(),
        QStringLiteral("055 123"));
}

void TestAnagrafiche::dateNonValideNulle()
{
    AmbienteTest amb;
    Scheda s = Nuova(QStringLiteral("D1"), QStringLiteral("Verdi"), QStringLiteral("Luca"));
    s.imposta(QStringLiteral("DataNascita"), QStringLiteral("trenta febbraio"));
    s.imposta(QStringLiteral("DataDocumento"), QStringLiteral("5/3/2021"));
    s.femmina = true;
    s.maschio = false;
    s.attivo = false;
    s.nonAttivo = true;
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::Registrata);
    QVERIFY(amb.sql(QStringLiteral("SELECT DataNascita FROM TabellaAnagrafiche")).isNull());
    QCOMPARE(amb.sql(QStringLiteral("SELECT DataDocumento FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("2021-03-05"));
    QCOMPARE(amb.sql(QStringLiteral(
                         "SELECT CAST(Maschio AS TEXT) || CAST(Femmina AS TEXT) || CAST(Attivo AS TEXT) "
                         "|| CAST(NonAttivo AS TEXT) FROM TabellaAnagrafiche"))
                 .toString(),
        QStringLiteral("0101"));

    const std::optional<Scheda> letta = LeggiScheda(amb.archivio(), s.chiave());
    QVERIFY(letta);
    QCOMPARE(letta->testo(QStringLiteral("DataNascita")), QString());
    QCOMPARE(letta->testo(QStringLiteral("DataDocumento")), QStringLiteral("05/03/2021"));
    QCOMPARE(letta->testo(QStringLiteral("Cognome")), QStringLiteral("Verdi"));
    QVERIFY(letta->femmina && !letta->maschio && letta->nonAttivo && !letta->attivo);

    // Yes stored as -1 by an older program reads as yes.
    amb.sql(QStringLiteral("UPDATE TabellaAnagrafiche SET Maschio = -1, Femmina = 0"));
    QVERIFY(LeggiScheda(amb.archivio(), s.chiave())->maschio);
    QVERIFY(!LeggiScheda(amb.archivio(), s.chiave() + 1));
}

void TestAnagrafiche::aggiornamentoChiedePrima()
{
    AmbienteTest amb;
    const qint32 chiave = Inserisci(amb, QStringLiteral("B1"), QStringLiteral("Bianchi Anna"));
    Scheda s = *LeggiScheda(amb.archivio(), chiave);
    s.imposta(QStringLiteral("RagSociale"), QStringLiteral("Bianchi Anna Maria"));
    amb.messaggi.risposte << Messaggi::No;
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::Annullata);
    QCOMPARE(amb.messaggi.testi(),
        QStringList {
            QStringLiteral("Attenzione si stà aggiornando un Anagrafica già esistente. Continuare?") });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Question);
    QCOMPARE(amb.messaggi.chiamate.first().pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.sql(QStringLiteral("SELECT RagSociale FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("Bianchi Anna"));

    amb.messaggi.risposte << Messaggi::Yes;
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::Registrata);
    QCOMPARE(s.chiave(), chiave);
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 1);
    QCOMPARE(amb.sql(QStringLiteral("SELECT RagSociale FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("Bianchi Anna Maria"));
}

void TestAnagrafiche::registrazioneNonRiuscita()
{
    AmbienteTest amb;
    Innesco::Crea(amb.archivio(), QStringLiteral("rifiuta"), QStringLiteral("BEFORE INSERT"),
        QStringLiteral("TabellaAnagrafiche"), {}, QStringLiteral("disco guasto"));
    Scheda s = Nuova(QStringLiteral("N1"), QStringLiteral("Neri"), QStringLiteral("Ada"));
    QCOMPARE(Registra(amb.archivio(), s), EsitoRegistrazione::NonRiuscita);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Registrazione non effettuata") });
    QCOMPARE(s.chiave(), 0);

    // An employee deleted elsewhere after the question is not reported as saved.
    Innesco::Togli(amb.archivio(), QStringLiteral("rifiuta"), QStringLiteral("TabellaAnagrafiche"));
    const qint32 chiave = Inserisci(amb, QStringLiteral("N2"), QStringLiteral("Neri Bruno"));
    Scheda vecchia = *LeggiScheda(amb.archivio(), chiave);
    Innesco::Crea(amb.archivio(), QStringLiteral("sparisce"), QStringLiteral("BEFORE UPDATE"),
        QStringLiteral("TabellaAnagrafiche"), {}, {});
    amb.messaggi.svuota();
    amb.messaggi.risposte << Messaggi::Yes;
    QCOMPARE(Registra(amb.archivio(), vecchia), EsitoRegistrazione::NonRiuscita);
    QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Registrazione non effettuata"));
}

void TestAnagrafiche::movimentiConContenuto_data()
{
    QTest::addColumn<QVariant>("stato");
    QTest::addColumn<QVariant>("statoNum");
    QTest::addColumn<QVariant>("note");
    QTest::addColumn<bool>("atteso");
    QTest::newRow("vuoti") << QVariant(QString()) << QVariant(0) << QVariant(QString()) << false;
    QTest::newRow("nulli") << Nullo << QVariant() << Nullo << false;
    QTest::newRow("stato") << QVariant(QStringLiteral("F")) << QVariant(0) << QVariant(QString()) << true;
    QTest::newRow("ore") << QVariant(QStringLiteral("7,5")) << QVariant(7.5) << Nullo << true;
    QTest::newRow("solo numero") << Nullo << QVariant(2) << Nullo << true;
    QTest::newRow("nota") << QVariant(QString()) << QVariant(0) << QVariant(QStringLiteral("visita")) << true;
}

void TestAnagrafiche::movimentiConContenuto()
{
    QFETCH(QVariant, stato);
    QFETCH(QVariant, statoNum);
    QFETCH(QVariant, note);
    QFETCH(bool, atteso);
    AmbienteTest amb;
    const qint32 a = Inserisci(amb, QStringLiteral("A"), QStringLiteral("Alfa"));
    const qint32 b = Inserisci(amb, QStringLiteral("B"), QStringLiteral("Beta"));
    Movimento(amb, a, QString(), 0, QString());
    Movimento(amb, a, stato, statoNum, note);
    Movimento(amb, b, QStringLiteral("F"), 0, QString());
    QCOMPARE(EsistenzaMovimentiCollegatiAnagrafica(amb.archivio(), a), atteso);
}

void TestAnagrafiche::cancellaSoloVuoti()
{
    AmbienteTest amb;
    const qint32 a = Inserisci(amb, QStringLiteral("A"), QStringLiteral("Alfa"));
    const qint32 b = Inserisci(amb, QStringLiteral("B"), QStringLiteral("Beta"));
    Movimento(amb, a, QString(), 0, QString());
    Movimento(amb, a, Nullo, QVariant(), Nullo);
    Movimento(amb, b, QStringLiteral("F"), 0, QString());
    Scheda s = *LeggiScheda(amb.archivio(), a);

    amb.messaggi.risposte << Messaggi::No;
    QCOMPARE(Cancella(amb.archivio(), s), EsitoCancellazione::Annullata);
    QCOMPARE(amb.messaggi.testi(),
        (QStringList { QStringLiteral("Sicuri di voler cancellare l'anagrafica selezionata (Alfa) ?"),
            QStringLiteral("Operazione Annullata") }));
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Question);
    QCOMPARE(
        Conta(amb, QStringLiteral("TabellaMovimenti"), QStringLiteral("IndiceAnagrafica = ?"), { a }), 2);

    amb.messaggi.svuota();
    amb.messaggi.risposte << Messaggi::Yes;
    QCOMPARE(Cancella(amb.archivio(), s), EsitoCancellazione::Cancellata);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Sicuri di voler cancellare l'anagrafica selezionata (Alfa) ?") });
    QVERIFY(amb.messaggi.richiesteInput.isEmpty());
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche"), QStringLiteral("Indice = ?"), { a }), 0);
    QCOMPARE(
        Conta(amb, QStringLiteral("TabellaMovimenti"), QStringLiteral("IndiceAnagrafica = ?"), { a }), 0);
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 1);
    QCOMPARE(
        Conta(amb, QStringLiteral("TabellaMovimenti"), QStringLiteral("IndiceAnagrafica = ?"), { b }), 1);
}

void TestAnagrafiche::cancellaConContenuto_data()
{
    QTest::addColumn<int>("risposta");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<bool>("cancellata");
    QTest::newRow("si minuscolo") << int(Messaggi::Yes) << "si" << true;
    QTest::newRow("SI") << int(Messaggi::Yes) << "SI" << true;
    QTest::newRow("Si con spazi") << int(Messaggi::Yes) << " Si " << true;
    QTest::newRow("no digitato") << int(Messaggi::Yes) << "no" << false;
    QTest::newRow("annulla input") << int(Messaggi::Yes) << "" << false;
    QTest::newRow("no alla domanda") << int(Messaggi::No) << "SI" << false;
}

void TestAnagrafiche::cancellaConContenuto()
{
    QFETCH(int, risposta);
    QFETCH(QString, digitato);
    QFETCH(bool, cancellata);
    AmbienteTest amb;
    const qint32 a = Inserisci(amb, QStringLiteral("A"), QStringLiteral("Alfa"));
    Movimento(amb, a, QString(), 0, QString());
    Movimento(amb, a, QStringLiteral("8"), 8, QString());
    amb.messaggi.risposte << static_cast<Messaggi::Risposta>(risposta);
    amb.messaggi.testiInput << digitato;
    const EsitoCancellazione esito = Cancella(amb.archivio(), *LeggiScheda(amb.archivio(), a));
    QCOMPARE(esito, cancellata ? EsitoCancellazione::Cancellata : EsitoCancellazione::Annullata);
    const QString domanda
        = QStringLiteral("ATTENZIONE!! Cancellare l'anagrafica selezionata (Alfa) e tutti i dati "
                         "collegati?\n\n(Non è possibile recuperare i dati dopo la cancellazione)");
    QCOMPARE(amb.messaggi.testi().first(), domanda);
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    const bool chiestoSi = risposta == Messaggi::Yes;
    QCOMPARE(amb.messaggi.richiesteInput,
        chiestoSi ? QStringList { QStringLiteral("Confermare digitando: SI") } : QStringList());
    if (!cancellata) {
        QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Operazione Annullata"));
        QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Information);
    }
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), cancellata ? 0 : 1);
    QCOMPARE(Conta(amb, QStringLiteral("TabellaMovimenti")), cancellata ? 0 : 2);
}

void TestAnagrafiche::cancellaSenzaSelezione()
{
    AmbienteTest amb;
    Inserisci(amb, QStringLiteral("A"), QStringLiteral("Alfa"));
    for (const QString& indice : { QString(), QStringLiteral("0") }) {
        amb.messaggi.svuota();
        Scheda s;
        s.indice = indice;
        QCOMPARE(Cancella(amb.archivio(), s), EsitoCancellazione::NessunaSelezione);
        QCOMPARE(
            amb.messaggi.testi(), QStringList { QStringLiteral("Selezionare l'anagrafica da cancellare") });
        QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    }
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche")), 1);
}

void TestAnagrafiche::cancellazioneInterrotta()
{
    AmbienteTest amb;
    const qint32 a = Inserisci(amb, QStringLiteral("A"), QStringLiteral("Alfa"));
    for (int i = 0; i < 5; ++i)
        Movimento(amb, a, QStringLiteral("F"), 0, QString());
    // The fourth entry row refuses to go: the delete breaks off half-way.
    amb.sql(QStringLiteral("CREATE TABLE Cancellati (n INTEGER)"));
    Innesco::Crea(amb.archivio(), QStringLiteral("interrompi"), QStringLiteral("BEFORE DELETE"),
        QStringLiteral("TabellaMovimenti"), QStringLiteral("(SELECT count(*) FROM Cancellati) >= 4"),
        QStringLiteral("interrotto"), { QStringLiteral("INSERT INTO Cancellati VALUES (1)") });
    amb.messaggi.risposte << Messaggi::Yes;
    amb.messaggi.testiInput << QStringLiteral("SI");
    QCOMPARE(Cancella(amb.archivio(), *LeggiScheda(amb.archivio(), a)), EsitoCancellazione::NonRiuscita);
    QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Cancellazione non effettuata"));
    QCOMPARE(Conta(amb, QStringLiteral("TabellaAnagrafiche"), QStringLiteral("Indice = ?"), { a }), 1);
    QCOMPARE(
        Conta(amb, QStringLiteral("TabellaMovimenti"), QStringLiteral("IndiceAnagrafica = ?"), { a }), 5);
    QCOMPARE(Conta(amb, QStringLiteral("Cancellati")), 0);
}

void TestAnagrafiche::elencoFiltriEOrdine()
{
    AmbienteTest amb;
    Inserisci(amb, QStringLiteral("C3"), QStringLiteral("zeta"), true);
    Inserisci(amb, QStringLiteral("a1"), QStringLiteral("Beta"), false);
    Inserisci(amb, QStringLiteral("B2"), QStringLiteral("alfa"), true);
    amb.sql(QStringLiteral("UPDATE TabellaAnagrafiche SET Attivo = -1 WHERE Codice = 'C3'"));
    // Neither flag set: listed only under "TUTTI".
    dipendente(amb, QStringLiteral("D4"), QStringLiteral("Delta"), QVariant(),
        { { "Cellulare", QStringLiteral("333") }, { "Telefono", QStringLiteral("055") } });

    auto colonna = [](const ElencoAnagrafiche& e, int c) {
        QStringList r;
        for (int i = 1; i < e.righe(); ++i)
            r << e.testo(i, c);
        return r;
    };
    ElencoAnagrafiche e;
    using F = ElencoAnagrafiche::Filtro;
    QVERIFY(e.Carica(amb.archivio(), F::Tutti, QStringLiteral("Ragione Sociale")));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColRagSociale),
        (QStringList { QStringLiteral("alfa"), QStringLiteral("Beta"), QStringLiteral("Delta"),
            QStringLiteral("zeta") }));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColAttivo),
        (QStringList {
            QStringLiteral("SI"), QStringLiteral("NO"), QStringLiteral("NO"), QStringLiteral("SI") }));
    QCOMPARE(e.testo(3, ElencoAnagrafiche::ColCellulare), QStringLiteral("333"));
    QCOMPARE(e.testo(3, ElencoAnagrafiche::ColTelefono), QStringLiteral("055"));
    QCOMPARE(e.testo(0, ElencoAnagrafiche::ColRagSociale), QStringLiteral("Ragione Sociale"));

    QVERIFY(e.Carica(amb.archivio(), F::Attivi, QStringLiteral("Codice")));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColCodice),
        (QStringList { QStringLiteral("B2"), QStringLiteral("C3") }));
    QVERIFY(e.Carica(amb.archivio(), F::NonAttivi, QStringLiteral("Codice")));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColCodice), QStringList { QStringLiteral("a1") });
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColAttivo), QStringList { QStringLiteral("NO") });
    QVERIFY(e.Carica(amb.archivio(), F::Tutti, QStringLiteral("Inserimento")));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColCodice),
        (QStringList {
            QStringLiteral("C3"), QStringLiteral("a1"), QStringLiteral("B2"), QStringLiteral("D4") }));
    QVERIFY(e.Carica(amb.archivio(), F::Tutti, QStringLiteral("Codice")));
    QCOMPARE(colonna(e, ElencoAnagrafiche::ColCodice),
        (QStringList {
            QStringLiteral("a1"), QStringLiteral("B2"), QStringLiteral("C3"), QStringLiteral("D4") }));
    QCOMPARE(e.indice(1),
        amb.sql(QStringLiteral("SELECT Indice FROM TabellaAnagrafiche WHERE Codice = 'a1'")).toInt());

    AmbienteTest senzaArchivio(false);
    QVERIFY(!e.Carica(senzaArchivio.archivio(), F::Tutti, QStringLiteral("Codice")));
    QCOMPARE(e.righe(), 1);
}

void TestAnagrafiche::evidenziazione()
{
    AmbienteTest amb;
    for (const char* c : { "A", "B", "C" })
        Inserisci(amb, QString::fromLatin1(c), QString::fromLatin1(c));
    ElencoAnagrafiche e;
    QVERIFY(e.Carica(amb.archivio(), ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Codice")));
    const QColor evidenza = ElencoAnagrafiche::ColoreEvidenza;
    QCOMPARE(evidenza, QColor(QStringLiteral("#C0C0FF")));
    e.Seleziona(1);
    QCOMPARE(e.sfondo(1), evidenza);
    // Choosing the same row twice, then another: the first gets its own background back.
    e.Seleziona(1);
    e.Seleziona(2);
    QCOMPARE(e.sfondo(1), QColor());
    QCOMPARE(e.sfondo(2), evidenza);
    QCOMPARE(e.rigaEvidenziata(), 2);
    e.Seleziona(0); // the header row is not a choice
    QCOMPARE(e.rigaEvidenziata(), 2);
    e.PulisciGriglia();
    QCOMPARE(e.sfondo(2), QColor());
    QCOMPARE(e.rigaEvidenziata(), 0);
    e.Seleziona(3);
    QVERIFY(e.Carica(amb.archivio(), ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Codice")));
    QCOMPARE(e.sfondo(3), QColor());
    QCOMPARE(e.rigaEvidenziata(), 0);
}

QTEST_GUILESS_MAIN(TestAnagrafiche)
#include "tst_anagrafiche.moc"
