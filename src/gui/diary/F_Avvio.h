#pragma once

#include "comune/Griglia.h"
#include "diary/GrigliaTotali.h"
#include "diary/MeseDiario.h"
#include "diary/RegolaRientro.h"
#include "diary/RigheDipendenti.h"
#include "printing/TabellaStampa2.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <utility>

struct Sessione;
namespace Ui {
class F_Avvio;
}
class ImmissioneDettaglio;
class ModelloGriglia;
class QAction;
class OsservatoreFinestre;
class QComboBox;
class SalvataggioAutomatico;
class QLineEdit;
class VistaGriglia;

// The main window: the monthly attendance diary of the open archive. Every rebuild of the grid
// goes through DimensionaGriglia_Click.
//
// Coming back to this window from another window of the program rebuilds the grid
// (Form_Activate), so master data changed there shows at once; OsservatoreFinestre watches the
// program's windows for it. FinestraFiglioChiusa() is the explicit door for code that closes a
// window of its own without it ever having been active.
class F_Avvio : public QMainWindow
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit F_Avvio(Sessione& sessione, QWidget* parent = nullptr);
    ~F_Avvio() override;

    // Opens the main window on the session's archive from scratch (an open one is closed first):
    // load, show, first build. nullptr when the load ended the program.
    static F_Avvio* Apri(Sessione& sessione);
    // The main window in use, else nullptr.
    static F_Avvio* Corrente();
    Sessione& sessione() const { return m_sessione; }

    // The load steps; false when the program was told to end.
    bool Form_Load();
    // Reloads the type list and the employee boxes, rebuilds the grid when `ricostruisci`, and
    // refreshes the states legend.
    void Form_Activate(bool ricostruisci = true);

    // Window state read by the other parts of the program.
    QString Mese() const;
    QString Anno() const;
    QString Dal() const;
    QString Al() const;
    bool VisualizzaTotali() const;
    bool EspandiCalendario() const;
    RigheDipendenti::Criteri CriteriDipendenti() const;
    // Position 0 holds "ORDINARIO", positions 1 .. NumeroTipi() the extra types.
    const QStringList& ElencoTipi() const { return m_elencoTipi; }
    int NumeroTipi() const { return int(m_elencoTipi.size()) - 1; }
    Griglia& griglia() { return m_griglia; }
    const Griglia& griglia() const { return m_griglia; }
    VistaGriglia* RigheArt() const;
    QString DalMemorizzato() const { return m_dalMemorizzato; }
    QString AlMemorizzato() const { return m_alMemorizzato; }

    void CaricaTipi();
    void CaricaDipendenti();
    void CaricaCombo_Click();
    void SelezioneVisualizzazione();
    void DimensionaGriglia_Click();
    void DimensionaGriglia1_Click();
    void DimensionaGriglia2_Click();
    // The shape the last totals build left behind, for printing.
    const GrigliaTotali::Esito& Totali() const { return m_totali; }
    // Fills Stampa2 from the totals grid as shown and returns the lines written (the report
    // prints these); nothing when the totals view is not shown.
    QList<TabellaStampa2::RigaStampa2> PreparaStampa(bool* ok = nullptr);
    // Printing: the print button, the detailed print of the grid and its rows per page, whether
    // PDF output is chosen (the PDF frame shown and its box checked), the states legend.
    void Anteprima_Click();
    // "Stampa Cartellini" (File menu, month view): the month's attendance sheets of the employees
    // shown, as saved; typed cells not saved yet are offered for saving first.
    void StampaCartellini_Click();
    void PreparaStampa2();
    int CalcolaNumeroRigheInStampa() const;
    bool StampaPdfScelta() const;
    QString LegendaStati() const;
    // The holidays of the month the detail grid shows, as its print lists them ("" for none).
    const QString& LegendaFeste() const { return m_legendaFeste; }
    static int CalcolaNumeroGiorniMese(const QString& mese, const QString& anno);
    // Position of a type in ElencoTipi, NumeroTipi() + 1 when it is not there.
    int SelezionaTipo(const QString& tipo) const;
    void PulisciCampiAnagraficaSelezionata();

    // Month and year.
    void prec_Click();
    void succ_Click();
    void ImpostataMeseCorrente_Click();
    // Sets month and year without rebuilding; a year outside the list joins it.
    void ImpostaMeseAnno(const QString& mese, int anno);

    // Period boxes.
    void Dal_DblClick();
    void Al_DblClick();
    void Dal_LostFocus();
    void Al_LostFocus();
    void Command4_Click();
    void Aggiorna_Click();

    void VisualizzaTotali_Click();
    void EspandiCalendario_Click();
    void Ordinamento_Click();
    void Command2_Click();
    void CodiceDipentente_Click(int indice);
    void RagSocialeDipentente_Click(int indice);
    void Disconnetti_Click();
    // "Esporta...": the month shown (or the totals' period) to an XLSX or CSV file.
    void Esporta_Click();
    void Fine_Click();

    // Shows a modeless window of the program opened from here (menu commands).
    void ApriFinestra(QWidget* finestra);
    // A window of the program opened from here closed without having been active.
    void FinestraFiglioChiusa();

    // Rebuilds so far (tests and the benchmark watch them).
    int NumeroRicostruzioni() const { return m_ricostruzioni; }

    // The month the detail grid shows, with its edits and their history.
    MeseDiario& documento() { return m_documento; }
    // Cell entry, month saving and day notes of the detail grid.
    ImmissioneDettaglio* Immissione() const { return m_immissione; }
    // The automatic backup started by the load, nullptr when none was due.
    SalvataggioAutomatico* Salvataggio() const { return m_salvataggio; }

signals:
    void grigliaRicostruita();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void collega();
    void centra();
    void applicaRegolaMese();
    // The employee card and the table windows pass to the main window that replaces this one.
    using FinestreTenute = QList<std::pair<QPointer<QWidget>, bool>>; // window, shown
    FinestreTenute cediFinestre();
    void adottaFinestre(const FinestreTenute& finestre);
    void lasciaData(QLineEdit* casella, QString& memorizzata);
    void chiediData(QLineEdit* casella);
    bool lasciaMese(const QString& mese, const QString& anno);
    void vaiAlMese(const MeseAnno& mese);
    void meseScelto();
    void tornaAlDipendenteMostrato();

    const QScopedPointer<Ui::F_Avvio> m_ui;
    Griglia m_griglia;
    // The month the detail grid shows, with its edits; declared before the entry that edits it.
    MeseDiario m_documento;
    GrigliaTotali::Esito m_totali;
    ModelloGriglia* m_modello;
    OsservatoreFinestre* m_osservatore;
    QStringList m_elencoTipi;
    QString m_dalMemorizzato;
    QString m_alMemorizzato;
    bool m_disconnessione = false;
    QPointer<QWidget> m_schedaDipendente;
    int m_ricostruzioni = 0;
    QString m_codiceMostrato; // the single employee the detail grid shows, "" for all
    QString m_legendaFeste;
    ImmissioneDettaglio* m_immissione = nullptr;
    SalvataggioAutomatico* m_salvataggio = nullptr;
    QAction* m_stampaCartellini = nullptr;
};
