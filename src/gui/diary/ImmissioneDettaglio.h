#pragma once

#include "diary/NoteGiorno.h"

#include <QColor>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

namespace Ui {
class F_Avvio;
}
class F_Avvio;
class QModelIndex;

// Entry into the main window's detail grid: typing in the day cells, moving the cursor (the
// selected-cell boxes, the highlight and the day note), saving and clearing the month, and the
// day notes. Nothing of this acts while the window shows the totals.
//
// Edits live in the grid until "Registra" saves the month. A rebuild of the same month (a note
// stored, another window closed, the order changed) puts them back; Esc drops them; anything
// that would show another month asks first (ConfermaUscita).
class ImmissioneDettaglio : public QObject
{
    Q_OBJECT

public:
    static inline const QColor ColoreEvidenza { 0xC0, 0xC0, 0xFF };

    ImmissioneDettaglio(F_Avvio* finestra, Ui::F_Avvio* ui);

    // A key that typed `tasto` in the grid (Backspace as "\b", Esc as "\x1b").
    void RigheArt_KeyPress(const QString& tasto);
    // Delete empties the cell, Esc rebuilds the grid from the archive (edits are dropped).
    void RigheArt_KeyDown(int tasto);
    void RigheArt_KeyUp();
    void RigheArt_SelChange();

    void Ins_Click();
    // Before the typed cells would go (another month, the totals, leaving the window): asks
    // whether to save them. True when the caller may go on: saved, or the user chose to drop
    // them; false on "Annulla" or a save that failed.
    // With `restaCodice`, only the edits of rows of other employees count (that employee alone
    // stays in the grid).
    // Without `annullabile` the question has no "Annulla" (the caller goes on regardless).
    bool ConfermaUscita(const QString& restaCodice = {}, bool annullabile = true);
    // The month and year the detail grid shows (its edits belong to them).
    const QString& meseGriglia() const { return m_meseGriglia; }
    const QString& annoGriglia() const { return m_annoGriglia; }
    void Command1_Click();
    // "Visualizza" shows the saving frame with its progress bar at 0, "Nascondi" hides it.
    void VisualizzaNascondiMessaggioSalvataggio(const QString& azione);

    void CaricaNote();
    void Note_GotFocus();
    void SalvaNote_Click();
    void cnote_Click();

    // The day cell highlighted last (0, 0 when none) and the colour it had before.
    int rigaPrecedente() const { return m_rigaPrecedente; }
    int colonnaPrecedente() const { return m_colonnaPrecedente; }
    void DimenticaCellaPrecedente();
    // Cells typed in since the grid was built or saved.
    int celleModificate() const { return int(m_modificate.size()); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    bool attiva() const;
    // The archive of the main window's session.
    const QString& archivio() const;
    bool cellaGiorno(int riga, int colonna) const;
    QString chiaveCella(int riga, int colonna) const;
    void cambiaTesto(int riga, int colonna, const QString& testo);
    bool esisteStato(const QString& testo) const;
    void grigliaRicostruita();
    void ricostruzioneIniziata();
    void ripristinaCursore(int riga, int colonna, int alto, int sinistra);
    void fissaLarghezze();
    void coloraNote(bool attiva);
    bool Registra();
    // Why a typed text was refused or emptied, on the window's status line (no message box).
    void spiega(const QString& testo);

    F_Avvio* m_finestra;
    Ui::F_Avvio* m_ui;
    int m_rigaPrecedente = 0;
    int m_colonnaPrecedente = 0;
    QColor m_sfondoPrecedente;
    QSet<QString> m_modificate;
    QString m_meseGriglia;
    QString m_annoGriglia;
    // The typed cells of a grid being rebuilt, by cell key, to put back if it shows the same month.
    QHash<QString, QString> m_daRipristinare;
    QString m_meseDaRipristinare;
    QString m_annoDaRipristinare;
    NoteGiorno::Cella m_cellaNota; // the cell whose note the box shows
    QString m_notaCaricata;
    bool m_salvataggioNota = false;
};
