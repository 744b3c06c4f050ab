#pragma once

#include "masterdata/Anagrafiche.h"
#include "masterdata/ElencoAnagrafiche.h"

#include <QWidget>

#include <functional>

struct Sessione;
namespace Ui {
class F_SchedaDipendente;
}
class GrigliaAnagraficheModel;
class QModelIndex;

// The employee registry: the filtered list beside the card of one employee. Closing it deletes
// it; hold it through a QPointer.
class F_SchedaDipendente : public QWidget
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit F_SchedaDipendente(Sessione& sessione, QWidget* parent = nullptr);
    ~F_SchedaDipendente() override;

    // The employee list print, filtered and ordered as the list shows; none: StampaElenco's own.
    std::function<void(ElencoAnagrafiche::Filtro, const QString&)> stampaElenco;

    ElencoAnagrafiche::Filtro filtro() const;
    QString ordinamento() const;
    const ElencoAnagrafiche& elenco() const { return m_elenco; }

    void AggiornaGriglia_Click();
    void DimensionaGriglia_Click();
    void Aggiorna_Click();
    void PulisciCampi();
    void PulisciGriglia();
    void CercaAnagrafica();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void Form_Load();
    void Codice_Change();
    void Indice_Change();
    void GrigliaAnagrafiche_Click(const QModelIndex& indice);
    void Visualizzazione_Click();
    void Ordinamento_Click();
    void Command2_Click();
    void Command4_Click();
    void Command10_Click();
    void Anteprima_Click();
    void Command17_Click();
    void Command1_Click();
    void OpenUrl_Click();

    bool Codice_KeyPress(int tasto);
    void Codice_LostFocus();
    void Data_DblClick(QWidget* campo);
    void Data_LostFocus(QWidget* campo);
    bool CampoSuccessivo(QWidget* campo);

    QString testo(const QString& controllo) const;
    void imposta(const QString& controllo, const QString& valore);
    Anagrafiche::Scheda LeggiCampi() const;
    void ScriviCampi(const Anagrafiche::Scheda& scheda);

    const QScopedPointer<Ui::F_SchedaDipendente> m_ui;
    ElencoAnagrafiche m_elenco;
    GrigliaAnagraficheModel* m_modello;
    QList<QWidget*> m_catena; // the Enter chain of the card
};
