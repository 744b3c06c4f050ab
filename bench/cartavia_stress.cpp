// Several program instances on one archive at once: each saves months, writes notes, edits the
// states and types it owns and fills the print table, while one more instance makes backups and
// tries to compact. Every instance logs what the archive told it was stored; at the end the
// archive must hold exactly that, once, undamaged, and no instance may have died.
//
//     cartavia-stress [--processi 5] [--secondi 60] [--dipendenti 60] [--mesi 6] [--conserva]
//
// The workers are this program again, started with --lavoratore K (or --manutenzione).

#include "archive/Archivio.h"
#include "archive/ArchivioEsempio.h"
#include "archive/Backup.h"
#include "archive/ErroreArchivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Presenza.h"
#include "archive/Sessione.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/GrigliaTotali.h"
#include "diary/NoteGiorno.h"
#include "diary/RigheDipendenti.h"
#include "diary/SalvataggioMese.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"
#include "printing/TabellaStampa2.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The archive measured, as the program's session holds it.
Sessione& sessioneBench()
{
    static Sessione s;
    return s;
}

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

const QChar Tab = QLatin1Char('\t');

// The letter that names worker K's own states and types.
QString lettera(int k)
{
    return QString(QChar(u'A' + k));
}
QString statoProprio(int k)
{
    return QStringLiteral("Q") + lettera(k);
}
QString statoTransitorio(int k)
{
    return QStringLiteral("Z") + lettera(k);
}
QString tipoProprio(int k)
{
    return QStringLiteral("STRESS") + lettera(k);
}

QString fileLog(const QString& cartella, int k)
{
    return QDir(cartella).absoluteFilePath(QStringLiteral("lavoratore-%1.log").arg(k));
}
QString fileLogManutenzione(const QString& cartella)
{
    return QDir(cartella).absoluteFilePath(QStringLiteral("manutenzione.log"));
}

// The workers run headless: a message is logged and answered as a user clicking the default would.
class MessaggiSilenziosi : public Messaggi
{
public:
    std::function<void(const QString&)> registra;

    Risposta Messaggio(
        const QString& testo, Pulsanti pulsanti, Icona, const QString&, Risposta predefinito) override
    {
        if (registra)
            registra(QStringLiteral("M") + Tab
                + QString(testo).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(Tab, QLatin1Char(' ')));
        if (predefinito != Messaggi::NoButton)
            return predefinito;
        for (Risposta r : { Messaggi::Ok, Messaggi::Yes })
            if (pulsanti.testFlag(r))
                return r;
        return Messaggi::Cancel;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString ApriFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SalvaFile(const QString&, const QString&, const QString&, QString*) override { return {}; }
    QString ScegliCartella(const QString&, const QString&) override { return {}; }
    void Beep() override { }
};

// A log line per fact, flushed at once: what a crashed worker had been told survives it.
class Registro
{
public:
    explicit Registro(const QString& percorso)
        : m_file(percorso)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            QTextStream(stderr) << "Impossibile scrivere " << percorso << '\n';
            std::exit(2);
        }
    }
    void scrivi(const QString& righe)
    {
        const QByteArray b = righe.toUtf8() + '\n';
        m_file.write(b);
        m_file.flush();
    }

private:
    QFile m_file;
};

struct Mese
{
    QString mese;
    QString anno;
};

QList<Mese> mesiArchivio(Archivio& db)
{
    QList<Mese> mesi;
    QSqlQuery q = db.esegui(QStringLiteral("SELECT DISTINCT Mese, Anno FROM TabellaMovimenti"));
    while (q.next())
        mesi.append({ q.value(0).toString(), q.value(1).toString() });
    return mesi;
}

// ---------------------------------------------------------------------------------------------
// A worker.

// Every few seconds all workers leave the archive at the same moment for a little while.
constexpr qint64 PeriodoPausaMs = 5000;
constexpr qint64 InizioPausaMs = 3500;
constexpr qint64 DurataPausaMs = 700;
bool inPausa()
{
    const qint64 fase = QDateTime::currentMSecsSinceEpoch() % PeriodoPausaMs;
    return fase >= InizioPausaMs && fase < InizioPausaMs + DurataPausaMs;
}

int lavoratore(int k, int processi, const QString& cartella, qint64 scadenza, quint32 seme)
{
    Registro log(fileLog(cartella, k));
    MessaggiSilenziosi silenziosi;
    silenziosi.registra = [&](const QString& riga) { log.scrivi(riga); };
    impostaMessaggi(&silenziosi);
    // No error path may end a worker without a trace.
    servizi().terminaProgramma = [&] {
        log.scrivi(QStringLiteral("X\tfine del programma richiesta (contatore errori %1)")
                       .arg(servizi().errori.ContatoreErrori));
        std::fflush(nullptr);
        std::_Exit(4);
    };
    // Like the program from the selection window's OK on.
    Presenza::Inizia(sessioneBench().PercorsoArchivio);

    QRandomGenerator caso(seme * 1000003u + quint32(k));
    QList<RigheDipendenti::Dipendente> propri;
    QList<Mese> mesi;
    QStringList stati;
    // Read under the error routine, as the program reads: another instance may be writing.
    QString erroreLettura;
    const bool letto = EseguiPasso([&] {
        propri.clear();
        mesi.clear();
        stati.clear();
        try {
            Archivio db(sessioneBench().PercorsoArchivio);
            QSqlQuery q
                = db.esegui(QStringLiteral("SELECT Indice, Codice FROM TabellaAnagrafiche ORDER BY Indice"));
            int i = 0;
            while (q.next()) {
                if (i++ % processi == k)
                    propri.append({ q.value(0).toLongLong(), q.value(1).toString(), {} });
            }
            mesi = mesiArchivio(db);
            QSqlQuery s = db.esegui(
                QStringLiteral("SELECT Stato FROM TabellaStati WHERE Stato NOT LIKE 'Z%' ORDER BY Stato"));
            while (s.next())
                stati << s.value(0).toString();
        } catch (const ErroreArchivio& e) {
            erroreLettura = e.descrizione();
            throw;
        }
    });
    servizi().errori.ContatoreErrori = 0;
    if (!letto) {
        log.scrivi(QStringLiteral("X	") + erroreLettura);
        return 5;
    }
    if (propri.isEmpty() || mesi.isEmpty()) {
        log.scrivi(QStringLiteral("X\tnessun dipendente o mese"));
        return 5;
    }
    const QStringList valori = [&] {
        QStringList v { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6,5"),
            QStringLiteral("7,5"), QStringLiteral("8"), QStringLiteral("8,00"), QStringLiteral("0"),
            QString(), QStringLiteral("f"), QStringLiteral("m") };
        v += stati;
        return v;
    }();
    const QStringList testiNote { QStringLiteral("visita medica"), QStringLiteral("l'uscita anticipata"),
        QStringLiteral("\"citato\" ; drop table x; --"), QStringLiteral("àèìòù €"), QStringLiteral("😀 nota"),
        QString() };

    int sequenza = 0;
    auto pari = [&](int n) { return int(caso.bounded(n)); };
    while (QDateTime::currentMSecsSinceEpoch() < scadenza) {
        if (inPausa()) {
            // Everybody closes the program for a moment, so a compaction can get through; then
            // reconnects as the selection window does, waiting while it runs.
            Presenza::Termina();
            while (inPausa() && QDateTime::currentMSecsSinceEpoch() < scadenza)
                QThread::msleep(20);
            QElapsedTimer attesa;
            attesa.start();
            while (Presenza::Inizia(sessioneBench().PercorsoArchivio) == Presenza::Stato::Occupata)
                QThread::msleep(20);
            log.scrivi(QStringLiteral("R\t%1").arg(attesa.elapsed()));
            continue;
        }
        const int scelta = pari(10);
        servizi().errori.ContatoreErrori = 0;
        if (scelta < 6) {
            // A month of one own employee, with random edits.
            const RigheDipendenti::Dipendente& d = propri.at(pari(int(propri.size())));
            const Mese& m = mesi.at(pari(int(mesi.size())));
            GrigliaDettaglio::Parametri p;
            p.archivio = sessioneBench().PercorsoArchivio;
            p.mese = m.mese;
            p.anno = m.anno;
            p.criteri.codiceDipendente = d.codice;
            bool tipiLetti = false;
            p.tipi = RigheDipendenti::CaricaTipi(sessioneBench().PercorsoArchivio, &tipiLetti);
            p.oggi = QDate::currentDate();
            Griglia g;
            servizi().errori.ContatoreErrori = 0;
            if (!tipiLetti || !GrigliaDettaglio::DimensionaGriglia1(g, p)) {
                log.scrivi(QStringLiteral("G"));
                continue;
            }
            const int giorni = g.colonne() - GrigliaDettaglio::ColonneFisse;
            const int modifiche = 1 + pari(12);
            for (int i = 0; i < modifiche && g.righe() > GrigliaDettaglio::RigheFisse && giorni > 0; ++i)
                g.impostaTesto(GrigliaDettaglio::RigheFisse + pari(g.righe() - GrigliaDettaglio::RigheFisse),
                    GrigliaDettaglio::ColonneFisse + pari(giorni), valori.at(pari(int(valori.size()))));
            ++sequenza;
            log.scrivi(QStringLiteral("A\t%1").arg(sequenza));
            servizi().errori.ContatoreErrori = 0;
            SalvataggioMese salvataggio(sessioneBench().PercorsoArchivio, g, m.mese, m.anno);
            const bool salvato = salvataggio.Salva();
            if (!salvato) {
                log.scrivi(QStringLiteral("F\t%1\t%2\t%3")
                               .arg(sequenza)
                               .arg(salvataggio.numeroErrore())
                               .arg(salvataggio.descrizioneErrore()));
                continue;
            }
            // What the grid shows after a save is what was stored.
            QStringList righe;
            for (int r = GrigliaDettaglio::RigheFisse; r < g.righe(); ++r) {
                QStringList campi { QStringLiteral("S"), m.mese, m.anno, g.testo(r, 0), g.testo(r, 3) };
                for (int c = GrigliaDettaglio::ColonneFisse; c < g.colonne(); ++c)
                    campi << g.testo(r, c);
                righe << campi.join(Tab);
            }
            righe << QStringLiteral("OK\t%1\t%2").arg(sequenza).arg(servizi().errori.ContatoreErrori);
            log.scrivi(righe.join(QLatin1Char('\n')));
        } else if (scelta < 8) {
            // A note on a day of an own employee.
            const RigheDipendenti::Dipendente& d = propri.at(pari(int(propri.size())));
            const Mese& m = mesi.at(pari(int(mesi.size())));
            NoteGiorno::Cella cella;
            cella.mese = m.mese;
            cella.anno = m.anno;
            cella.giorno = QString::number(1 + pari(28));
            cella.indice = d.indice;
            cella.tipo = RigheDipendenti::Ordinario;
            const QString nota
                = testiNote.at(pari(int(testiNote.size()))) + QStringLiteral(" %1/%2").arg(k).arg(sequenza);
            const NoteGiorno::Esito esito = NoteGiorno::Scrivi(sessioneBench().PercorsoArchivio, cella, nota);
            if (esito == NoteGiorno::Esito::Memorizzata)
                log.scrivi(QStringList { QStringLiteral("N"), m.mese, m.anno, cella.giorno,
                    QString::number(d.indice), cella.tipo, nota }
                               .join(Tab));
            else
                log.scrivi(QStringLiteral("NF\t%1").arg(int(esito)));
        } else if (scelta < 9) {
            // The own state and type get a new description; the transient state comes and goes.
            const bool stato = pari(2) == 0;
            const QString tabella = stato ? QStringLiteral("TabellaStati") : QStringLiteral("TabellaTipi");
            const QString campo = stato ? QStringLiteral("Stato") : QStringLiteral("Tipo");
            const QString codice = stato ? statoProprio(k) : tipoProprio(k);
            const QString descrizione
                = QStringLiteral("Descrizione d'%1 \"%2\"").arg(lettera(k)).arg(sequenza++);
            const bool fatto = EseguiPasso([&] {
                Archivio db(sessioneBench().PercorsoArchivio);
                InTransazione(db, [&] {
                    db.esegui(QStringLiteral("UPDATE ") + tabella
                            + QStringLiteral(" SET Descrizione = ? WHERE ") + campo + QStringLiteral(" = ?"),
                        { descrizione, codice });
                    db.esegui(
                        QStringLiteral("DELETE FROM TabellaStati WHERE Stato = ?"), { statoTransitorio(k) });
                    if (pari(2) == 0)
                        db.esegui(
                            QStringLiteral("INSERT INTO TabellaStati (Stato, Descrizione) VALUES (?, ?)"),
                            { statoTransitorio(k), descrizione });
                });
            });
            log.scrivi(fatto ? QStringList { QStringLiteral("D"), tabella, codice, descrizione }.join(Tab)
                             : QStringLiteral("DF"));
        } else {
            // The month totals of everybody and the print table from them.
            const Mese& m = mesi.at(pari(int(mesi.size())));
            GrigliaTotali::Parametri t;
            t.archivio = sessioneBench().PercorsoArchivio;
            t.mese = m.mese;
            t.anno = m.anno;
            t.tipi = RigheDipendenti::CaricaTipi(sessioneBench().PercorsoArchivio);
            Griglia totali;
            servizi().errori.ContatoreErrori = 0;
            const GrigliaTotali::Esito esito = GrigliaTotali::DimensionaGriglia2(totali, t);
            bool ok = false;
            if (esito.letto) {
                servizi().errori.ContatoreErrori = 0;
                TabellaStampa2::PreparaStampa(sessioneBench().PercorsoArchivio, totali, esito, &ok);
            }
            log.scrivi(ok ? QStringLiteral("P") : QStringLiteral("PF"));
        }
    }
    Presenza::Termina();
    log.scrivi(QStringLiteral("FINE"));
    return 0;
}

// The maintenance instance: backups and compactions until the deadline.
int manutenzione(const QString& cartella, qint64 scadenza)
{
    Registro log(fileLogManutenzione(cartella));
    MessaggiSilenziosi silenziosi;
    silenziosi.registra = [&](const QString& riga) { log.scrivi(riga); };
    impostaMessaggi(&silenziosi);
    servizi().terminaProgramma = [&] {
        log.scrivi(QStringLiteral("X\tfine del programma richiesta"));
        std::_Exit(4);
    };
    const QString backup = QDir(cartella).absoluteFilePath(QStringLiteral("backup"));
    int giro = 0;
    while (QDateTime::currentMSecsSinceEpoch() < scadenza) {
        servizi().errori.ContatoreErrori = 0;
        if (giro++ % 3 == 0) {
            QString errore;
            log.scrivi(Backup::CopiaArchivio(sessioneBench().PercorsoArchivio, backup, &errore)
                    ? QStringLiteral("B")
                    : QStringLiteral("BF\t") + errore.replace(QLatin1Char('\n'), QLatin1Char(' ')));
        } else {
            try {
                Backup::CompattaArchivio(sessioneBench().PercorsoArchivio);
                log.scrivi(QStringLiteral("C"));
            } catch (const ErroreArchivio& e) {
                log.scrivi(e.numero() == CodiciErrore::ArchivioInUso
                        ? QStringLiteral("CO")
                        : QStringLiteral("CF\t") + e.descrizione());
            }
        }
        Module1::Pausa(0.1);
    }
    log.scrivi(QStringLiteral("FINE"));
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The parent: prepares, runs, verifies.

struct Conteggi
{
    int tentati = 0;
    int riusciti = 0;
    int falliti = 0;
    int note = 0;
    int noteFallite = 0;
    int codici = 0;
    int codiciFalliti = 0;
    int stampe = 0;
    int stampeFallite = 0;
    int griglieFallite = 0;
    int messaggi = 0;
    qint64 attese = 0; // busy retries of the saves that were done
    int riconnessioni = 0;
    bool fine = false;
    QStringList errori;
};

struct Atteso
{
    // (mese, anno, indice, tipo) -> the days' texts of the last save that was reported done.
    QMap<QStringList, QStringList> celle;
    // (mese, anno, giorno, indice, tipo) -> the last note reported stored.
    QMap<QStringList, QString> note;
    // (tabella, codice) -> the last description reported stored.
    QMap<QStringList, QString> descrizioni;
};

Conteggi leggiLog(const QString& percorso, Atteso& atteso)
{
    Conteggi c;
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return c;
    QList<QStringList> inCorso; // the S lines of a save whose OK has not been read yet
    while (!f.atEnd()) {
        const QString riga = QString::fromUtf8(f.readLine()).chopped(1);
        const QStringList campi = riga.split(Tab);
        const QString tipo = campi.value(0);
        if (tipo == QLatin1String("A")) {
            ++c.tentati;
            inCorso.clear();
        } else if (tipo == QLatin1String("S")) {
            inCorso << campi;
        } else if (tipo == QLatin1String("OK")) {
            ++c.riusciti;
            c.attese += campi.value(2).toLongLong();
            for (const QStringList& s : inCorso)
                atteso.celle[s.mid(1, 4)] = s.mid(5);
            inCorso.clear();
        } else if (tipo == QLatin1String("F")) {
            ++c.falliti;
            if (c.errori.size() < 3)
                c.errori << campi.mid(2).join(QLatin1Char(' '));
        } else if (tipo == QLatin1String("N")) {
            ++c.note;
            atteso.note[campi.mid(1, 5)] = campi.value(6);
        } else if (tipo == QLatin1String("NF")) {
            ++c.noteFallite;
        } else if (tipo == QLatin1String("D")) {
            ++c.codici;
            atteso.descrizioni[campi.mid(1, 2)] = campi.value(3);
        } else if (tipo == QLatin1String("DF")) {
            ++c.codiciFalliti;
        } else if (tipo == QLatin1String("P")) {
            ++c.stampe;
        } else if (tipo == QLatin1String("PF")) {
            ++c.stampeFallite;
        } else if (tipo == QLatin1String("G")) {
            ++c.griglieFallite;
        } else if (tipo == QLatin1String("M")) {
            ++c.messaggi;
        } else if (tipo == QLatin1String("X")) {
            c.errori << campi.value(1);
        } else if (tipo == QLatin1String("R")) {
            ++c.riconnessioni;
        } else if (tipo == QLatin1String("FINE")) {
            c.fine = true;
        }
    }
    return c;
}

struct Verifica
{
    qint64 cellePerse = 0;
    qint64 celleControllate = 0;
    qint64 duplicati = 0;
    int notePerse = 0;
    int descrizioniPerse = 0;
    QString integrita;
    QStringList esempi;
};

// The run's archive: an empty database given with --server, else a file in the run's folder.
QString g_server;

QString archivioDi(const QString& cartella)
{
    return g_server.isEmpty() ? QDir(cartella).absoluteFilePath(QStringLiteral("Stress.mdb")) : g_server;
}

Verifica verifica(const QString& archivio, const Atteso& atteso)
{
    Verifica v;
    Archivio db(archivio);
    // A server keeps its own pages whole.
    v.integrita = db.motore() == Motore::SQLite
        ? db.valore(QStringLiteral("PRAGMA integrity_check")).toString()
        : QStringLiteral("ok");
    v.duplicati
        = db.valore(QStringLiteral(
                        "SELECT COALESCE(sum(n - 1), 0) FROM (SELECT count(*) AS n FROM TabellaMovimenti "
                        "GROUP BY IndiceAnagrafica, Tipo, Anno, Mese, Giorno HAVING count(*) > 1) AS doppi"))
              .toLongLong();
    QSqlQuery q = db.prepara(
        QStringLiteral("SELECT Giorno, Stato FROM TabellaMovimenti WHERE Mese = ? AND Anno = ? AND "
                       "IndiceAnagrafica = ? AND Tipo = ?"));
    for (auto i = atteso.celle.constBegin(); i != atteso.celle.constEnd(); ++i) {
        const QStringList& chiave = i.key();
        db.eseguiPreparata(q, { chiave.at(0), chiave.at(1), chiave.at(2).toLongLong(), chiave.at(3) });
        QHash<int, QStringList> memorizzati;
        while (q.next())
            memorizzati[q.value(0).toString().toInt()] << q.value(1).toString();
        for (qsizetype g = 0; g < i.value().size(); ++g) {
            ++v.celleControllate;
            const QStringList trovati = memorizzati.value(int(g) + 1);
            if (trovati.size() == 1 && trovati.first() == i.value().at(g))
                continue;
            ++v.cellePerse;
            if (v.esempi.size() < 5)
                v.esempi << QStringLiteral("%1 %2, dipendente %3, %4, giorno %5: atteso «%6», trovato «%7»")
                                .arg(chiave.at(0), chiave.at(1), chiave.at(2), chiave.at(3))
                                .arg(g + 1)
                                .arg(i.value().at(g), trovati.join(QStringLiteral("|")));
        }
    }
    for (auto i = atteso.note.constBegin(); i != atteso.note.constEnd(); ++i) {
        const QStringList& c = i.key();
        const QString nota
            = db.valore(QStringLiteral("SELECT COALESCE(Note, '') FROM TabellaMovimenti WHERE Mese = ? AND "
                                       "Anno = ? AND Giorno = ? AND IndiceAnagrafica = ? AND Tipo = ?"),
                    { c.at(0), c.at(1), c.at(2), c.at(3).toLongLong(), c.at(4) })
                  .toString();
        if (nota != i.value()) {
            ++v.notePerse;
            if (v.esempi.size() < 8)
                v.esempi << QStringLiteral("nota %1: attesa «%2», trovata «%3»")
                                .arg(c.join(QLatin1Char(' ')), i.value(), nota);
        }
    }
    for (auto i = atteso.descrizioni.constBegin(); i != atteso.descrizioni.constEnd(); ++i) {
        const QString campo = i.key().at(0) == QLatin1String("TabellaStati") ? QStringLiteral("Stato")
                                                                             : QStringLiteral("Tipo");
        const QString d = db.valore(QStringLiteral("SELECT Descrizione FROM ") + i.key().at(0)
                                    + QStringLiteral(" WHERE ") + campo + QStringLiteral(" = ?"),
                                { i.key().at(1) })
                              .toString();
        if (d != i.value())
            ++v.descrizioniPerse;
    }
    return v;
}

int rapporto(const QString& cartella, int processi, const QStringList& stati, int caduti);

int genitore(const QCommandLineParser& parser, const QCommandLineOption& oProcessi,
    const QCommandLineOption& oSecondi, const QCommandLineOption& oDipendenti,
    const QCommandLineOption& oMesi, const QCommandLineOption& oConserva, const QCommandLineOption& oSeme)
{
    const int processi = std::clamp(parser.value(oProcessi).toInt(), 1, 26);
    const int secondi = std::max(1, parser.value(oSecondi).toInt());
    const int dipendenti = std::max(processi, parser.value(oDipendenti).toInt());
    const int mesi = std::max(1, parser.value(oMesi).toInt());
    const quint32 seme = parser.value(oSeme).toUInt();

    QTemporaryDir temporanea;
    temporanea.setAutoRemove(!parser.isSet(oConserva));
    const QString cartella = temporanea.path();
    const QString archivio = archivioDi(cartella);

    ArchivioEsempio::Opzioni o;
    o.dipendenti = dipendenti;
    o.mesi = mesi;
    o.tipiExtra = 3;
    o.seme = seme;
    o.ultimoMese = QDate::currentDate().addMonths(-1);
    const auto creato = ArchivioEsempio::Crea(archivio, o);
    if (!creato.ok) {
        QTextStream(stderr) << "Archivio non creato: " << creato.errore << '\n';
        return 2;
    }
    {
        Archivio db(archivio);
        InTransazione(db, [&] {
            for (int k = 0; k < processi; ++k) {
                db.esegui(QStringLiteral("INSERT INTO TabellaStati (Stato, Descrizione) VALUES (?, ?)"),
                    { statoProprio(k), QStringLiteral("Stato di %1").arg(lettera(k)) });
                db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo, Descrizione) VALUES (?, ?)"),
                    { tipoProprio(k), QStringLiteral("Tipo di %1").arg(lettera(k)) });
            }
        });
    }
    out() << "Archivio: " << archivio << " (" << dipendenti << " dipendenti, " << mesi << " mesi, "
          << creato.registrazioni << " registrazioni)\n"
          << processi << " processi + manutenzione per " << secondi << " s, seme " << seme << "\n";
    out().flush();

    const qint64 scadenza = QDateTime::currentMSecsSinceEpoch() + qint64(secondi) * 1000;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    std::vector<std::unique_ptr<QProcess>> figli;
    for (int k = 0; k <= processi; ++k) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(ambiente);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setStandardOutputFile(QProcess::nullDevice());
        QStringList argomenti { QStringLiteral("--archivio"), archivio, QStringLiteral("--cartella"),
            cartella, QStringLiteral("--scadenza"), QString::number(scadenza), QStringLiteral("--processi"),
            QString::number(processi), QStringLiteral("--seme"), QString::number(seme) };
        if (k < processi)
            argomenti << QStringLiteral("--lavoratore") << QString::number(k);
        else
            argomenti << QStringLiteral("--manutenzione");
        p->start(QCoreApplication::applicationFilePath(), argomenti);
        figli.push_back(std::move(p));
    }
    int caduti = 0;
    QStringList stati;
    for (int k = 0; k <= processi; ++k) {
        QProcess& p = *figli.at(std::size_t(k));
        const qint64 resta = scadenza + 120000 - QDateTime::currentMSecsSinceEpoch();
        if (!p.waitForFinished(int(std::max<qint64>(resta, 1000)))) {
            p.kill();
            p.waitForFinished(10000);
            ++caduti;
            stati << QStringLiteral("bloccato");
            continue;
        }
        if (p.exitStatus() == QProcess::CrashExit) {
            ++caduti;
            stati << QStringLiteral("caduto");
        } else if (p.exitCode() != 0) {
            ++caduti;
            stati << QStringLiteral("uscito con %1").arg(p.exitCode());
        } else {
            stati << QStringLiteral("ok");
        }
    }
    const int esito = rapporto(cartella, processi, stati, caduti);
    if (parser.isSet(oConserva))
        out() << "Cartella conservata: " << cartella << '\n';
    out().flush();
    return esito;
}

// Reads the logs of a run in `cartella`, checks its archive and prints the summary; 0 when
// nothing was lost, duplicated or damaged and no process fell.
int rapporto(const QString& cartella, int processi, const QStringList& stati, int caduti)
{
    const QString archivio = archivioDi(cartella);
    Atteso atteso;
    Conteggi totale;
    auto riga = [](const QStringList& campi) {
        QStringList c;
        for (qsizetype i = 0; i < campi.size(); ++i)
            c << (i == 0 ? campi.at(i).leftJustified(14) : campi.at(i).rightJustified(9));
        out() << c.join(QString()) << '\n';
    };
    out() << '\n';
    riga({ QStringLiteral("processo"), QStringLiteral("salv."), QStringLiteral("riusciti"),
        QStringLiteral("falliti"), QStringLiteral("attese"), QStringLiteral("note"), QStringLiteral("codici"),
        QStringLiteral("stampe"), QStringLiteral("err.gr."), QStringLiteral("messaggi"),
        QStringLiteral("riconn."), QStringLiteral("uscita") });
    QStringList errori;
    for (int k = 0; k < processi; ++k) {
        const Conteggi c = leggiLog(fileLog(cartella, k), atteso);
        totale.tentati += c.tentati;
        totale.riusciti += c.riusciti;
        totale.falliti += c.falliti;
        totale.note += c.note;
        totale.noteFallite += c.noteFallite;
        totale.codici += c.codici;
        totale.codiciFalliti += c.codiciFalliti;
        totale.stampe += c.stampe;
        totale.stampeFallite += c.stampeFallite;
        totale.griglieFallite += c.griglieFallite;
        totale.messaggi += c.messaggi;
        totale.riconnessioni += c.riconnessioni;
        totale.attese += c.attese;
        for (const QString& e : c.errori)
            errori << QStringLiteral("lavoratore %1: %2").arg(k).arg(e);
        auto n = [](int a, int b) { return b ? QStringLiteral("%1/%2").arg(a).arg(b) : QString::number(a); };
        riga(
            { QStringLiteral("lavoratore %1").arg(k), QString::number(c.tentati), QString::number(c.riusciti),
                QString::number(c.falliti), QString::number(c.attese), n(c.note, c.noteFallite),
                n(c.codici, c.codiciFalliti), n(c.stampe, c.stampeFallite), QString::number(c.griglieFallite),
                QString::number(c.messaggi), QString::number(c.riconnessioni), stati.at(k) });
        if (!c.fine && stati.at(k) == QLatin1String("ok"))
            errori << QStringLiteral("lavoratore %1: il registro non arriva alla fine").arg(k);
    }
    riga({ QStringLiteral("totale"), QString::number(totale.tentati), QString::number(totale.riusciti),
        QString::number(totale.falliti), QString::number(totale.attese), QString::number(totale.note),
        QString::number(totale.codici), QString::number(totale.stampe),
        QString::number(totale.griglieFallite), QString::number(totale.messaggi),
        QString::number(totale.riconnessioni) });

    out() << "(attese: ripetizioni per archivio occupato nei salvataggi riusciti; a/b: riusciti/non "
             "riusciti)\n";

    // The maintenance instance.
    int backup = 0, backupFalliti = 0, compattati = 0, rifiutati = 0, compattazioniFallite = 0;
    {
        QFile f(fileLogManutenzione(cartella));
        if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            while (!f.atEnd()) {
                const QString r = QString::fromUtf8(f.readLine()).chopped(1);
                const QString t = r.section(Tab, 0, 0);
                if (t == QLatin1String("B"))
                    ++backup;
                else if (t == QLatin1String("BF"))
                    ++backupFalliti, errori << QStringLiteral("backup: ") + r.section(Tab, 1);
                else if (t == QLatin1String("C"))
                    ++compattati;
                else if (t == QLatin1String("CO"))
                    ++rifiutati;
                else if (t == QLatin1String("CF"))
                    ++compattazioniFallite, errori << QStringLiteral("compattazione: ") + r.section(Tab, 1);
                else if (t == QLatin1String("X"))
                    errori << QStringLiteral("manutenzione: ") + r.section(Tab, 1);
            }
        }
    }
    out() << "manutenzione: " << backup << " backup (" << backupFalliti << " non riusciti), " << compattati
          << " compattazioni, " << rifiutati << " rifiutate perché l'archivio era in uso, "
          << compattazioniFallite << " non riuscite; uscita " << stati.at(processi) << '\n';

    // The last backup must itself be a sound archive.
    QString integritaBackup = QStringLiteral("nessun backup");
    const QDir cartellaBackup(QDir(cartella).absoluteFilePath(QStringLiteral("backup")));
    const QStringList copie = cartellaBackup.entryList({ QStringLiteral("*.mdb") }, QDir::Files);
    if (!copie.isEmpty()) {
        try {
            Archivio b(cartellaBackup.absoluteFilePath(copie.first()));
            integritaBackup = b.valore(QStringLiteral("PRAGMA integrity_check")).toString();
        } catch (const ErroreArchivio& e) {
            integritaBackup = e.descrizione();
        }
    }

    Verifica v;
    try {
        v = verifica(archivio, atteso);
    } catch (const ErroreArchivio& e) {
        v.integrita = e.descrizione();
    }
    // With every instance gone the compaction must go through and keep everything.
    QString dopoCompattazione;
    try {
        Backup::CompattaArchivio(archivio);
        const Verifica w = verifica(archivio, atteso);
        dopoCompattazione = QStringLiteral("%1 perse, %2 duplicate, integrità %3")
                                .arg(w.cellePerse + w.notePerse + w.descrizioniPerse)
                                .arg(w.duplicati)
                                .arg(w.integrita);
        // What the compaction lost too is counted once.
        v.cellePerse = std::max(v.cellePerse, w.cellePerse);
        v.notePerse = std::max(v.notePerse, w.notePerse);
        v.descrizioniPerse = std::max(v.descrizioniPerse, w.descrizioniPerse);
        v.duplicati = std::max(v.duplicati, w.duplicati);
        if (w.integrita != QLatin1String("ok"))
            v.integrita = w.integrita;
    } catch (const ErroreArchivio& e) {
        dopoCompattazione = QStringLiteral("non riuscita: ") + e.descrizione();
        errori << QStringLiteral("compattazione finale: ") + e.descrizione();
    }

    out() << "\nsalvataggi tentati:         " << totale.tentati
          << "\nsalvataggi riusciti:        " << totale.riusciti
          << "\nsalvataggi non riusciti:    " << totale.falliti << " (segnalati come non salvati)"
          << "\ncelle controllate:          " << v.celleControllate
          << "\ncelle perse:                " << v.cellePerse
          << "\nnote perse:                 " << v.notePerse << " di " << atteso.note.size()
          << "\ndescrizioni perse:          " << v.descrizioniPerse << " di " << atteso.descrizioni.size()
          << "\nrighe duplicate:            " << v.duplicati
          << "\nintegrity_check:            " << v.integrita
          << "\nintegrity_check del backup: " << integritaBackup
          << "\ndopo la compattazione:      " << dopoCompattazione
          << "\nprocessi caduti:            " << caduti << '\n';
    for (const QString& e : std::as_const(v.esempi))
        out() << "  " << e << '\n';
    for (const QString& e : std::as_const(errori).mid(0, 10))
        out() << "  " << e << '\n';
    const bool buono = v.cellePerse == 0 && v.notePerse == 0 && v.descrizioniPerse == 0 && v.duplicati == 0
        && v.integrita == QLatin1String("ok") && caduti == 0 && totale.riusciti > 0
        && (copie.isEmpty() || integritaBackup == QLatin1String("ok")) && backupFalliti == 0
        && compattazioniFallite == 0;
    out() << (buono ? "\nESITO: OK\n" : "\nESITO: PROBLEMI TROVATI\n");
    out().flush();
    return buono ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Più istanze del programma sullo stesso archivio; verifica che nulla vada perso."));
    parser.addHelpOption();
    QCommandLineOption oProcessi(QStringLiteral("processi"), QStringLiteral("Processi che scrivono (5)."),
        QStringLiteral("N"), QStringLiteral("5"));
    QCommandLineOption oSecondi(QStringLiteral("secondi"), QStringLiteral("Durata in secondi (60)."),
        QStringLiteral("T"), QStringLiteral("60"));
    QCommandLineOption oDipendenti(QStringLiteral("dipendenti"),
        QStringLiteral("Dipendenti dell'archivio (60)."), QStringLiteral("D"), QStringLiteral("60"));
    QCommandLineOption oMesi(QStringLiteral("mesi"), QStringLiteral("Mesi dell'archivio (6)."),
        QStringLiteral("M"), QStringLiteral("6"));
    QCommandLineOption oSeme(QStringLiteral("seme"), QStringLiteral("Seme dei numeri casuali (1)."),
        QStringLiteral("S"), QStringLiteral("1"));
    QCommandLineOption oConserva(
        QStringLiteral("conserva"), QStringLiteral("Non cancella la cartella di lavoro."));
    QCommandLineOption oVerifica(QStringLiteral("verifica"),
        QStringLiteral("Ricontrolla la cartella conservata di una prova precedente."),
        QStringLiteral("CARTELLA"));
    // The worker modes.
    QCommandLineOption oLavoratore(
        QStringLiteral("lavoratore"), QStringLiteral("(interno)"), QStringLiteral("K"));
    QCommandLineOption oManutenzione(QStringLiteral("manutenzione"), QStringLiteral("(interno)"));
    QCommandLineOption oArchivio(
        QStringLiteral("archivio"), QStringLiteral("(interno)"), QStringLiteral("PERCORSO"));
    QCommandLineOption oCartella(
        QStringLiteral("cartella"), QStringLiteral("(interno)"), QStringLiteral("PERCORSO"));
    QCommandLineOption oScadenza(
        QStringLiteral("scadenza"), QStringLiteral("(interno)"), QStringLiteral("MS"));
    for (QCommandLineOption* o : { &oLavoratore, &oManutenzione, &oArchivio, &oCartella, &oScadenza })
        o->setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption oServer(QStringLiteral("server"),
        QStringLiteral("Usa come archivio questo database PostgreSQL vuoto (postgresql://...)."),
        QStringLiteral("INDIRIZZO"));
    parser.addOptions({ oProcessi, oSecondi, oDipendenti, oMesi, oSeme, oConserva, oVerifica, oLavoratore,
        oManutenzione, oArchivio, oCartella, oScadenza, oServer });
    parser.process(app);
    g_server = parser.value(oServer);

    if (parser.isSet(oLavoratore) || parser.isSet(oManutenzione)) {
        sessioneBench().PercorsoArchivio = parser.value(oArchivio);
        const qint64 scadenza = parser.value(oScadenza).toLongLong();
        if (parser.isSet(oManutenzione))
            return manutenzione(parser.value(oCartella), scadenza);
        return lavoratore(parser.value(oLavoratore).toInt(), std::max(1, parser.value(oProcessi).toInt()),
            parser.value(oCartella), scadenza, parser.value(oSeme).toUInt());
    }
    if (parser.isSet(oVerifica)) {
        const QString cartella = parser.value(oVerifica);
        const qsizetype processi
            = QDir(cartella).entryList({ QStringLiteral("lavoratore-*.log") }, QDir::Files).size();
        QStringList stati;
        for (qsizetype k = 0; k <= processi; ++k)
            stati << QStringLiteral("?");
        return rapporto(cartella, int(processi), stati, 0);
    }
    return genitore(parser, oProcessi, oSecondi, oDipendenti, oMesi, oConserva, oSeme);
}
