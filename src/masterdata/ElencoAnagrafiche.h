#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The employee list of the card (GrigliaAnagrafiche) as a grid without widgets: row 0 holds the
// headers, rows 1..n the employees; column 0 is the hidden key.
class ElencoAnagrafiche
{
public:
    enum Colonna { ColIndice, ColCodice, ColRagSociale, ColCellulare, ColTelefono, ColAttivo, NumeroColonne };
    enum class Filtro { Attivi, NonAttivi, Tutti };

    static inline const QColor ColoreEvidenza { 0xC0, 0xC0, 0xFF };

    // "Ragione Sociale", "Codice", "Inserimento": the orderings the card offers.
    static const QStringList& Ordinamenti();
    // The list's query for a filter and an ordering (an unknown ordering adds none).
    static QString Query(Filtro filtro, const QString& ordinamento);

    // Reloads the list from the archive (AggiornaGriglia_Click); false when it could not be read.
    // The highlight goes with the old rows.
    bool Carica(const QString& archivio, Filtro filtro, const QString& ordinamento);

    int righe() const { return 1 + static_cast<int>(m_righe.size()); }
    QString testo(int riga, int colonna) const;
    static int larghezza(int colonna); // twips; 0 = hidden
    QColor sfondo(int riga) const; // invalid: the grid's own background
    qint32 indice(int riga) const;

    // GrigliaAnagrafiche_Click: the row takes the highlight, the previous one gets its background back.
    void Seleziona(int riga);
    int rigaEvidenziata() const { return m_evidenziata; }
    // Removes the highlight of the highlighted row.
    void PulisciGriglia();
    // After a view change the background to give back is the grid's own again.
    void AzzeraSfondoMemorizzato() { m_sfondoPrecedente = QColor(); }

private:
    QList<QStringList> m_righe; // rows 1..n
    QHash<int, QColor> m_sfondi;
    int m_evidenziata = 0;
    QColor m_sfondoPrecedente;
};
