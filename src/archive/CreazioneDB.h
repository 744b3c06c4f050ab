#pragma once

#include "archive/Schema.h"

#include <QObject>
#include <QStringList>

class Archivio;

// The creation command: creates an archive or completes an older one with
// every missing table, field and index; never changes what exists. Widget-free, so it also runs
// from the command line; the F_CreazioneDB window shows the progress list of its own.
class CreazioneDB : public QObject
{
    Q_OBJECT

public:
    CreazioneDB() = default;

    // Runs on `percorso`. An invalid path falls back to "Archivio.mdb" in the current folder, as
    // the program always did, and `percorso` then names it. True when every table was checked.
    bool CreaDB_Click(QString& percorso);
    // The same on an explicit path, without the fallback (command line).
    bool CreaDB(const QString& percorso);
    void AllineaDB_Click(const QString& percorso);
    // The alignment itself on an open archive: rows written without a type are ordinary ones.
    static void Allinea(Archivio& db);

    void CreaTabellaConfigurazioni();
    void CreaTabellaVersione();
    void CreaTabellaStampa();
    void CreaTabellaStampa2();
    void CreaTabellaVariabili();
    void CreaTabellaAnagrafiche();
    void CreaTabellaStati();
    void CreaTabellaTipi();
    void CreaTabellaMovimenti();

    QString riga() const { return m_riga; }
    void setRiga(const QString& testo);
    const QStringList& Help() const { return m_help; }
    // The list row shown at the top after the last scroll.
    int RigaInCima() const { return m_rigaInCima; }
    // The last error that stopped a step, for callers that report it.
    int UltimoErrore() const { return m_ultimoErrore; }
    const QString& DescrizioneUltimoErrore() const { return m_descrizioneUltimoErrore; }

signals:
    void rigaCambiata(const QString& testo);
    void helpCambiato();

private:
    bool creaTabella(const Schema::Tabella& tabella);
    bool eseguiCreazione(const QString& percorso, bool ripiega);

    QString m_percorso;
    QString m_riga;
    QStringList m_help;
    int m_contatore = 0;
    int m_rigaInCima = 0;
    bool m_tuttoBene = true;
    int m_ultimoErrore = 0;
    QString m_descrizioneUltimoErrore;
};

// The version check of the main window's load, on `archivio` (which the creation may move, as
// CreaDB_Click does). False when the archive is newer than the program:
// the message was shown and the program end was asked for.
bool ControllaVersione(QString& archivio, const QString& versione);
