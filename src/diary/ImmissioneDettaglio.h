#pragma once

#include "diary/NoteGiorno.h"

#include <QColor>
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
// Edits live in the grid until "Registra" saves the month; a rebuild drops them, except the
// refresh that follows storing a note, which puts them back.
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
    bool cellaGiorno(int riga, int colonna) const;
    QString chiaveCella(int riga, int colonna) const;
    void cambiaTesto(int riga, int colonna, const QString& testo);
    bool esisteStato(const QString& testo) const;
    void grigliaRicostruita();
    void ricostruzioneIniziata();
    void ripristinaCursore(int riga, int colonna, int alto, int sinistra);
    void fissaLarghezze();
    void coloraNote(bool attiva);

    F_Avvio* m_finestra;
    Ui::F_Avvio* m_ui;
    int m_rigaPrecedente = 0;
    int m_colonnaPrecedente = 0;
    QColor m_sfondoPrecedente;
    QSet<QString> m_modificate;
    NoteGiorno::Cella m_cellaNota; // the cell whose note the box shows
    QString m_notaCaricata;
    bool m_salvataggioNota = false;
};
