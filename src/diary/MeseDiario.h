#pragma once

#include "diary/GrigliaDettaglio.h"
#include "diary/MeseAnno.h"
#include "diary/NoteGiorno.h"
#include "diary/RegoleCella.h"
#include "diary/RigheDipendenti.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QUndoStack>

#include <optional>

class ElencoStati;

// The month the detail grid shows, as a document: its rows (employee and type), each day's text
// and the text stored in the archive, the note marks, and the history of the edits. The grid draws
// from it and the entry edits it through commands, so every typed cell, paste, fill or clear is
// one step of undo; the month save writes what differs from the archive.
//
// Cells are addressed by row (0 = the first employee's ORDINARIO row, as the grid's first body
// row) and day (1 .. giorni()).
class MeseDiario : public QObject
{
    Q_OBJECT

public:
    struct Riga
    {
        qint64 indice = 0;
        QString codice;
        QString nome;
        QString tipo;
        RegoleCella::Riga genere = RegoleCella::Riga::Ordinario;
    };

    // A rectangle of day cells, both corners included.
    struct Area
    {
        int primaRiga = 0;
        int primoGiorno = 1;
        int ultimaRiga = -1;
        int ultimoGiorno = 0;
        bool vuota() const { return ultimaRiga < primaRiga || ultimoGiorno < primoGiorno; }
    };

    struct Esito
    {
        int scritte = 0; // cells given the value
        int rifiutate = 0; // values the row does not take: the cell was emptied
        int fuori = 0; // values past the last day or row, dropped
    };

    explicit MeseDiario(QObject* parent = nullptr);
    ~MeseDiario() override;

    // Reads the employees and the month's entries. Reloading the month shown keeps its edits
    // (and their history) on the rows still there; another month starts afresh. False when an
    // archive step had to be skipped (what could not be read is missing).
    bool Carica(const GrigliaDettaglio::Parametri& p);

    const QString& archivio() const { return m_archivio; }
    const MeseAnno& mese() const { return m_mese; }
    // Loads so far: a save that began before the last one does not write its result back.
    int caricamenti() const { return m_caricamenti; }
    const QList<RigheDipendenti::Dipendente>& dipendenti() const { return m_dipendenti; }
    const QStringList& tipi() const { return m_tipi; }
    int righe() const { return int(m_righe.size()); }
    int giorni() const { return m_giorni; }
    const Riga& riga(int r) const { return m_righe.at(r); }
    bool cella(int r, int giorno) const { return r >= 0 && r < righe() && giorno >= 1 && giorno <= m_giorni; }

    QString testo(int r, int giorno) const;
    QString memorizzato(int r, int giorno) const;
    bool nota(int r, int giorno) const;
    // Differs from what the archive holds.
    bool modificata(int r, int giorno) const;
    int celleModificate() const { return m_modificate; }
    // Some edited cell is on a row of an employee other than `codice`.
    bool modificheAltrove(const QString& codice) const;

    // ---- edits (each one step of the history)

    // Typing in one cell: the keys typed in a cell until ChiudiDigitazione() are one step.
    void Digita(int r, int giorno, const QString& testo);
    void ChiudiDigitazione();
    // Empties the cells of the area.
    void Svuota(const Area& area, const QString& descrizione = QStringLiteral("Cancella celle"));
    // Writes `valore` into every cell of the area, by the rules for whole values.
    Esito Compila(const Area& area, const QString& valore, const ElencoStati& stati);
    // Tab-separated lines from (r, giorno) rightward and downward, by the same rules.
    Esito Incolla(int r, int giorno, const QString& appunti, const ElencoStati& stati);
    // The area as tab-separated lines, the cells as shown.
    QString Copia(const Area& area) const;
    // Gives the ORDINARIO rows among `righe` the hours of `giorni` (day, text) where the cell is
    // empty and nothing is stored. The cells given.
    int CompilaSettimana(const QList<int>& righe, const QList<QPair<int, QString>>& giorni);

    QUndoStack& storia() { return m_storia; }
    // The edits stay, their history goes (another window may have changed what they refer to).
    void NuovaStoria();
    // Edits and history go: every cell is back to what the archive holds.
    void Abbandona();

    // ---- archive

    // The month was written: `scritti` holds the text each cell was stored as, by row and day.
    void Registrato(const QList<QStringList>& scritti);
    NoteGiorno::Cella cellaNota(int r, int giorno) const;
    // Stores a day's note and keeps the cell's mark in step.
    NoteGiorno::Esito ScriviNota(int r, int giorno, const QString& nota);

signals:
    // Texts of these cells changed (x = day, y = row).
    void celleCambiate(const QList<QPoint>& celle);
    void notaCambiata(int riga, int giorno);

private:
    class Comando;
    struct Cella
    {
        QString testo;
        QString memorizzato;
        bool nota = false;
    };
    struct Cambio
    {
        qint64 indice;
        QString tipo;
        int giorno;
        QString prima;
        QString dopo;
    };

    qsizetype posto(int r, int giorno) const { return qsizetype(r) * m_giorni + giorno - 1; }
    int rigaDi(qint64 indice, const QString& tipo) const;
    void imposta(int r, int giorno, const QString& testo);
    void applica(const QList<Cambio>& cambi, bool dopo);
    Cambio cambio(int r, int giorno, const QString& dopo) const;
    void spingi(QList<Cambio> cambi, const QString& descrizione, quint64 digitazione = 0);
    // The text a whole value leaves in a cell of a row of kind `genere`; nothing when refused.
    static std::optional<QString> accettato(
        RegoleCella::Riga genere, const QString& valore, const ElencoStati& stati);
    // The part of `area` that lies on the month's cells.
    Area ritaglia(const Area& area) const;

    QString m_archivio;
    MeseAnno m_mese;
    bool m_caricato = false;
    int m_caricamenti = 0;
    QList<RigheDipendenti::Dipendente> m_dipendenti;
    QStringList m_tipi;
    QList<Riga> m_righe;
    QHash<QPair<qint64, QString>, int> m_righePerChiave;
    int m_giorni = 0;
    QList<Cella> m_celle;
    int m_modificate = 0;
    QUndoStack m_storia;
    quint64 m_digitazione = 1;
};
