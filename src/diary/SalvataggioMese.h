#pragma once

#include <QString>

#include <functional>

class Griglia;
class MeseDiario;

// Writes the month shown in a detail grid back to TabellaMovimenti: one row per grid row and day
// (empty cells too), hours as text with a decimal comma and as StatoNum, state codes upper-cased
// with their description, anything else emptied. Rows of employees the grid does not show and
// the notes are never touched.
//
// The whole month is one transaction, retried as a whole while the archive is busy: either every
// row is stored or none is. Only after it is stored do the grid's cells show what was written, so
// a failed save leaves the user's edits in the grid for another try.
//
//     SalvataggioMese salvataggio(griglia, QStringLiteral("Febbraio"), QStringLiteral("2024"));
//     if (!salvataggio.Salva())
//         ... salvataggio.descrizioneErrore() ...
class SalvataggioMese
{
public:
    SalvataggioMese(const QString& archivio, Griglia& griglia, const QString& mese, const QString& anno);
    // The month of a document, on its archive: once stored, its cells show what was written and
    // count as saved; its history stays.
    explicit SalvataggioMese(MeseDiario& documento);

    // Called while writing with the grid row reached, every `ogniRighe` rows and at the end.
    void impostaAvanzamento(std::function<void(int riga)> avanzamento, int ogniRighe = 25);

    // True when the whole month was stored.
    bool Salva();

    // The archive error that stopped the last save (0 when it did not fail).
    int numeroErrore() const { return m_numeroErrore; }
    const QString& descrizioneErrore() const { return m_descrizioneErrore; }
    // Rows written by the last successful save (rows already holding the same values are left
    // as they are).
    int righeInserite() const { return m_inserite; }
    int righeAggiornate() const { return m_aggiornate; }

    // Deletes every stored row of the month, of every employee and type, notes included, in one
    // transaction. True when it was done.
    static bool CancellaMese(const QString& archivio, const QString& mese, const QString& anno,
        QString* descrizioneErrore = nullptr);

private:
    Griglia* m_griglia = nullptr;
    MeseDiario* m_documento = nullptr;
    QString m_mese;
    QString m_anno;
    QString m_archivio;
    std::function<void(int)> m_avanzamento;
    int m_ogniRighe = 25;
    int m_numeroErrore = 0;
    QString m_descrizioneErrore;
    int m_inserite = 0;
    int m_aggiornate = 0;
};
