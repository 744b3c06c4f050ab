#pragma once

#include "diary/MeseDiario.h"
#include "diary/NoteGiorno.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>

class Griglia;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class VistaGriglia;

// The widgets of the main window the entry works with.
struct ControlliImmissione
{
    VistaGriglia* griglia = nullptr;
    QPushButton* registra = nullptr; // "Registra"
    QPushButton* cancella = nullptr; // "Cancella" (the whole month)
    QPushButton* registraNota = nullptr;
    QPushButton* svuotaNota = nullptr;
    QPlainTextEdit* nota = nullptr;
    QLabel* titoloNota = nullptr;
    // The selected-cell boxes.
    QLineEdit* indice = nullptr;
    QLineEdit* codice = nullptr;
    QLineEdit* dipendente = nullptr;
    QLineEdit* tipo = nullptr;
    QLineEdit* giorno = nullptr;
    QWidget* frameSalva = nullptr;
    QProgressBar* avanzamento = nullptr;
    QStatusBar* stato = nullptr;
    // Receives the editing commands ("Modifica").
    QMenu* menuModifica = nullptr;
};

// Entry into the main window's detail grid: typing in the day cells, ranges, copy, paste, fill,
// the standard week, undo and redo, moving the cursor (the selected-cell boxes, the highlight
// and the day note), saving and clearing the month, and the day notes. Nothing of this acts
// while the window shows the totals.
//
// Edits live in the month document until "Registra" saves the month. A rebuild of the same month
// (another window closed, the order changed) keeps them; Esc drops them; anything that would show
// another month asks first (ConfermaUscita).
class ImmissioneDettaglio : public QObject
{
    Q_OBJECT

public:
    static inline const QColor ColoreEvidenza { 0xC0, 0xC0, 0xFF };

    // `vistaMese`: whether the grid shows the month (not the totals); `ricostruisci` rebuilds it
    // from the document's month.
    ImmissioneDettaglio(MeseDiario& documento, Griglia& griglia, const ControlliImmissione& controlli,
        std::function<bool()> vistaMese, std::function<void()> ricostruisci, QObject* parent);

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
    // Before work that reads the archive as saved (an export, a print of sheets): when cells are
    // edited, asks `domanda` with Sì (save them first), No (go on without them) and Annulla.
    // True when the caller may go on.
    bool RegistraPrimaDi(const QString& domanda);
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
    // Cells that differ from what is stored.
    int celleModificate() const { return m_documento.celleModificate(); }

    // Empties the selected-cell boxes and the note box.
    void PulisciCampi();
    // A rebuild is about to replace the grid: a note typed and not stored is stored first.
    void PrimaDellaRicostruzione();
    void grigliaRicostruita();

    // The editing commands, also in the "Modifica" menu.
    void Annulla();
    void Ripeti();
    void Copia();
    void Incolla();
    void CancellaCelle();
    void CompilaSelezione();
    // Fills the range with the value of the current cell (Ctrl+Enter after typing it).
    void CompilaConCorrente();
    void SettimanaTipo();
    // Enables the commands that apply to what is shown.
    void AggiornaComandi();
    QAction* comando(const QString& nome) const;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    bool attiva() const;
    const QString& archivio() const { return m_documento.archivio(); }
    bool cellaGiorno(int riga, int colonna) const;
    // The document's row and day of a grid cell.
    static int rigaDocumento(int riga);
    static int giornoDocumento(int colonna);
    // The selected day cells (the current one when nothing more is selected).
    MeseDiario::Area area() const;
    bool esisteStato(const QString& testo) const;
    ElencoStati stati() const;
    // Fills the area with one value and says how it went on the status line.
    void compila(const MeseDiario::Area& area, const QString& valore);
    void mostraCelle(const QList<QPoint>& celle);
    void mostraNota(int riga, int giorno);
    void creaComandi();
    NoteGiorno::Cella cellaSelezionata() const;
    void ripristinaCursore(int riga, int colonna, int alto, int sinistra);
    void fissaLarghezze();
    void coloraNote(bool attiva);
    bool Registra();
    // Why a typed text was refused or emptied, on the window's status line (no message box).
    void spiega(const QString& testo);

    MeseDiario& m_documento;
    Griglia& m_griglia;
    ControlliImmissione m_c;
    std::function<bool()> m_vistaMese;
    std::function<void()> m_ricostruisci;
    int m_rigaPrecedente = 0;
    int m_colonnaPrecedente = 0;
    QColor m_sfondoPrecedente;
    QString m_meseGriglia;
    QString m_annoGriglia;
    NoteGiorno::Cella m_cellaNota; // the cell whose note the box shows
    QString m_notaCaricata;
};
