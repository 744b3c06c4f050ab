#pragma once

#include "diary/SettimanaTipo.h"
#include "masterdata/Configurazione.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QWidget>

#include <array>

struct Sessione;
namespace Ui {
class F_Configurazioni;
}
class QCheckBox;
class QLineEdit;
class RicercaIpPubblico;

// The settings window: company header, bank coordinates, logo, print switches, program password,
// printers, backup folder and backups, archive path and creation, and the computer's data. It
// edits the archive that was open when it opened; "Salva Configurazione" stores the edits.
class F_Configurazioni : public QWidget
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    // Loads the settings; the password is asked by Apri, not here.
    explicit F_Configurazioni(Sessione& sessione, QWidget* parent = nullptr);
    ~F_Configurazioni() override;

    // The main window's "Configurazioni": asks the program password (unless SaltaPassword is
    // set), then shows the window modeless. An open window is only brought forward. Answers
    // nullptr when the password was not given: the program end has been asked for then.
    static F_Configurazioni* Apri(Sessione& sessione, QWidget* parent = nullptr);
    // The window that is open, if any.
    static F_Configurazioni* Aperta();

    Configurazione::Dati LeggiCampi() const;
    void ScriviCampi(const Configurazione::Dati& dati);
    // The bitmap bytes of the picture shown, as they will be stored ("" when none).
    const QByteArray& BitmapLogo() const { return m_logo; }
    const QImage& ImmagineLogo() const { return m_immagine; }
    // The backup folder box (the older folder chooser writes into it).
    void ImpostaPercorsoBackup(const QString& percorso);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void limitaCampi();
    void collega();
    void Form_Load();
    void caricastampanti();
    void MostraLogo(const QByteArray& bitmap);

    void Command4_Click(); // "Salva Configurazione"
    void Command1_Click(); // "Chiudi"
    void Command2_Click(); // "CREAZIONE ARCHIVI"
    void Command8_Click(); // "Seleziona Immagine"
    void Command20_Click(); // "Cancella Immagine"
    void Command11_Click(); // the password's "Salva"
    void Password_Change();
    void VisualizzaIntestazione_Click();
    void VisualizzaLogo_Click();
    bool prnDocs_KeyPress(int tasto);

    void Backup_Click();
    void Command5_Click(); // "Seleziona Percorso"
    void Command9_Click(); // the backup list
    void List1_Click();
    void DataBackup_Change();
    void RipristinaDb_Click();
    void Command3_Click(); // "Ottimizza Archivio"
    void VerificaArchivio_Click();
    void Command21_Click(); // "Seleziona Archivio"
    void Command10_Click(); // "Default"
    void Command6_Click(); // "Salva" of the archive path

    // The "Festività" group: each change is stored at once, so the main window shows it as soon
    // as it comes back.
    void CaricaFestivita();
    void EvidenziaFestivita_Click();
    void Patrono_Change();
    void CaricaChiusure(int anno);
    void AggiungiChiusura_Click();
    QDate propostaChiusura() const;
    bool registraChiusura(const QDate& data);
    void RimuoviChiusura_Click();
    void Chiusure_SelectionChange();
    QList<QDate> ChiusureMostrate() const;

    // The "Settimana tipo" group: a day's hours are stored as soon as its box is left.
    std::array<QLineEdit*, 7> CampiOre() const;
    void CaricaSettimanaTipo();
    void Ore_Change(int giorno);

    void MostraDati_Click();
    void Mostra_Click(QCheckBox* casella, const QString& variabile);
    void PaginaIpPubblico_Change();
    void IpPubblico_Trovato(const QString& testo);

    const QScopedPointer<Ui::F_Configurazioni> m_ui;
    QString m_archivio; // the archive the window edits
    QByteArray m_logo;
    QImage m_immagine;
    RicercaIpPubblico* m_ricercaIp;
    QWidget* m_principale = nullptr;
    QString m_patrono; // the patron day and name as stored, "gg/mm" and the name
    QString m_nomePatrono;
    SettimanaTipo m_settimana; // as stored
};
