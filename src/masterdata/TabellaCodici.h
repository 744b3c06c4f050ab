#pragma once

#include "comune/Griglia.h"

#include <QColor>
#include <QString>

// The editor of a table of short codes with a description, without windows: the states table
// (TabellaStati) and the types table (TabellaTipi) are the same editor over different tables, and
// what differs between them is data.
struct DefinizioneTabellaCodici
{
    QString tabella; // "TabellaStati"
    QString campoCodice; // "Stato": the field, the edit control and the grid's header
    QString titolo; // "Tabella Stati"
    int larghezzaCodice = 0; // twips of the code's edit field
    int larghezzaDescrizione = 0; // twips of the description's edit field
    QString inserireCodice;
    QString codiceConNumeri;
    QString inserireDescrizione;
    QString aggiornamento;
    QString selezionareDaCancellare;
    QString cancellareSelezionato;
    QString cancellazioneEffettuata;
};

const DefinizioneTabellaCodici& DefinizioneStati();
const DefinizioneTabellaCodici& DefinizioneTipi();

class TabellaCodici
{
public:
    static inline const QColor ColoreEvidenza { 0xC0, 0xC0, 0xFF };
    enum Colonna { ColIndice, ColCodice, ColDescrizione, NumeroColonne };

    // `archivio`: the archive the table is read from and written to.
    TabellaCodici(const QString& archivio, const DefinizioneTabellaCodici& definizione);
    const QString& archivio() const { return m_archivio; }

    const DefinizioneTabellaCodici& definizione() const { return m_definizione; }
    // Row 0 holds the headers, rows 1..n the records in the order of their keys.
    Griglia& griglia() { return m_griglia; }
    const Griglia& griglia() const { return m_griglia; }

    // Reloads the list; false when the archive could not be read (the list is then empty).
    bool Aggiorna_Click();
    void DimensionaGriglia_Click();

    // The fields of the edit controls.
    struct Campi
    {
        QString indice; // the record's key, "" when none is selected
        QString codice;
        QString descrizione;
    };

    // RigheArt_Click: the row takes the highlight (the previous one loses it); its fields.
    Campi Seleziona(int riga);
    int rigaEvidenziata() const { return m_evidenziata; }
    // Removes the highlight.
    void PulisciGriglia();

    enum class EsitoRegistrazione {
        Registrato,
        CodiceMancante,
        CodiceConNumeri,
        DescrizioneMancante,
        Annullato, // No to the update question
        NonRiuscito,
    };
    // Command2_Click without the window: checks, asks and writes through messaggi(). The list is
    // not reloaded.
    EsitoRegistrazione Registra(const Campi& campi);

    enum class EsitoCancellazione { Cancellato, NessunaSelezione, Annullato, NonRiuscito };
    // Command15_Click without the window (the list is not reloaded).
    EsitoCancellazione Cancella(const QString& indice);

private:
    void coloraRiga(int riga, const QColor& colore);

    const QString m_archivio;
    const DefinizioneTabellaCodici& m_definizione;
    Griglia m_griglia;
    int m_evidenziata = 0;
};
