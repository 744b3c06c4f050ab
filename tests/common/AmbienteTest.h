#pragma once

#include "MessaggiScriptati.h"

#include "archive/Sessione.h"
#include "platform/Servizi.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>

#include <memory>

// The services as they were, put back when it goes.
class RipristinoServizi
{
public:
    RipristinoServizi()
        : m_prima(servizi())
    { }
    ~RipristinoServizi() { servizi() = m_prima; }
    RipristinoServizi(const RipristinoServizi&) = delete;
    RipristinoServizi& operator=(const RipristinoServizi&) = delete;

private:
    Servizi m_prima;
};

// A database of its own on the test run's PostgreSQL server (scripts/pg-server, started by the
// CTest fixture "pg"), empty, dropped again at the end; tests that use one run side by side.
class DatabaseDiProva
{
public:
    DatabaseDiProva();
    ~DatabaseDiProva();
    DatabaseDiProva(const DatabaseDiProva&) = delete;
    DatabaseDiProva& operator=(const DatabaseDiProva&) = delete;

    // The address of the new database; "" when the run has no server (the test then fails).
    const QString& indirizzo() const { return m_indirizzo; }
    // Drops the database now, as an archive that disappears.
    void elimina();

private:
    QString m_indirizzo;
    QString m_nome;
    QString m_server;
};

// A fresh folder and archive per test: the session's PercorsoArchivio points at it, the error
// counter is reset,
// messages are scripted, and the program end and the URLs handed to the desktop are recorded
// instead of ending the test or starting a browser. The services are put back at the end.
class AmbienteTest
{
    RipristinoServizi m_ripristino; // first: the last to go

public:
    enum class Partenza {
        NuovoArchivio,
        NessunArchivio, // a file path with nothing there yet
        // On the server runs an empty database, where a test makes an older archive's tables by
        // hand; elsewhere the same as NessunArchivio.
        DatabaseVuoto,
    };
    explicit AmbienteTest(Partenza partenza);
    explicit AmbienteTest(bool creaArchivio = true)
        : AmbienteTest(creaArchivio ? Partenza::NuovoArchivio : Partenza::NessunArchivio)
    { }
    ~AmbienteTest();

    // True in the runs of the archive-level tests on PostgreSQL (CARTAVIA_PROVE_SERVER set): the
    // archive is then a fresh database on the run's server, dropped at the end.
    static bool SuServer();

    QString cartella() const { return m_dir.path(); }
    QString percorso(const QString& nome) const { return m_dir.filePath(nome); }
    const QString& archivio() const { return m_archivio; }

    // Runs one statement on the archive outside the program's code (setup and checks).
    static QVariant sqlSu(const QString& percorso, const QString& testo, const QVariantList& valori = {});
    QVariant sql(const QString& testo, const QVariantList& valori = {}) const
    {
        return sqlSu(m_archivio, testo, valori);
    }
    // What the archive at `percorso` holds, as a hash that any change alters: the file's bytes, or
    // on a server every table's fields and rows.
    static QByteArray Impronta(const QString& percorso);
    // The archive goes away under the program's feet: the file removed, or the database dropped.
    void eliminaArchivio();

    // The run's state as the program would hold it, on this archive.
    Sessione sessione;
    MessaggiScriptati messaggi;
    int terminazioni = 0;
    QList<QUrl> urlAperti;

private:
    QTemporaryDir m_dir;
    QString m_archivio;
    std::unique_ptr<DatabaseDiProva> m_database; // on the server
};
