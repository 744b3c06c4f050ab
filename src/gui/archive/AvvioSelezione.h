#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

// A path as the labels show it, with invisible places to wrap a long path at.
QString PercorsoADaCapo(const QString& percorso);

struct Sessione;
namespace Ui {
class AvvioSelezione;
}

// The archive selection window the program starts with: lists the archives of the archives
// folder, preselects the last one used, creates, compacts and backs up archives and hands the
// chosen one to the main window. It lives until the program ends; OK only hides it.
class AvvioSelezione : public QWidget
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit AvvioSelezione(Sessione& sessione, QWidget* parent = nullptr);
    ~AvvioSelezione() override;

    QString Nome() const;
    QString Percorso() const { return m_percorso; }
    QString Messaggio() const;
    QString PercorsoBackup() const { return m_percorsoBackup; }
    bool ImpostazioniAperte() const;

    // Setting Percorso re-reads the list; Nome and Messaggio keep OK in step.
    void ImpostaNome(const QString& nome);
    void ImpostaPercorso(const QString& percorso);
    void ImpostaMessaggio(const QString& testo);

    // Shows the window again after "Disconnetti", with the list read afresh.
    void MostraDiNuovo();

    void Form_Activate();
    void ApriChiudiImpostazioni(bool apri);
    void AggiornaLista();
    void AggiornaDBPath_e_Variabili();
    void MemorizzaPercorso();
    void CaricaAreaBackup();
    void MemorizzaPercorsoBackup();

    void OK_Click();
    void annulla_Click();
    void Impostazioni_Click();
    void MostraInfo_Click();
    void CreaNuovoArchivio_Click();
    void OttimizzaArchivio_Click();
    void ImportaArchivioPrecedente_Click();
    void ArchivioSuServer_Click();
    void UltimoServer_Click();
    void SelezionaPercorso_Click();
    void ReImpostaPercorso_Click();
    void ApriCartellaArchivi_Click();
    void SelezionaPercorsoBackup_Click();
    void Backup_Click();
    void ApriCartellaBakcup_Click();
    void SalvataggioAutomatico_Click();
    void AggiornamentoOnLine_Click();
    void CartellaArchivi_Click();
    void TimerRefresh_Timer();

    QTimer TimerRefresh;

protected:
    void showEvent(QShowEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void collega();
    void mostraSuggerimentoCartellaVuota(bool vuota);
    // No archive chosen: the name empties and the backup area goes back to the defaults.
    void nessunArchivioScelto();
    int rigaDaScegliere(const QStringList& archivi) const;
    bool apribile();
    bool presenzaOttenuta();
    void aggiornaOK();
    // Opens the main window on the archive chosen (PercorsoArchivio), or says why it cannot.
    void apriScelto();
    // Opens the server archive at `indirizzo` (made there first when the user agrees); false when
    // the server could not be reached.
    bool apriServer(const QString& indirizzo, const QString& titolo);
    void mostraUltimoServer();
    void adattaAltezza();
    void mostraPercorso(QLabel* etichetta, const QString& percorso);
    bool archivioScelto();

    const QScopedPointer<Ui::AvvioSelezione> m_ui;
    QString m_percorso;
    QString m_percorsoBackup; // the folder backups go to, shown in the window
    QString m_backupMemorizzato; // the archive's setting: "" leaves each computer its default
    QString m_archivioAreaBackup; // the archive whose backup settings are shown
    bool m_appenaCaricata = true;
    bool m_centrata = false;
};
