#pragma once

#include "masterdata/TabellaCodici.h"

#include <QWidget>

namespace Ui {
class F_TabellaCodici;
}
class ModelloGriglia;
class QLineEdit;

// The editor window of a code table: the list of codes, the code and description being edited,
// save, delete and close. F_TabellaStati and F_TabellaTipi are this window over their tables;
// the code's edit field takes the name of the table's field ("Stato", "Tipo").
class F_TabellaCodici : public QWidget
{
    Q_OBJECT

public:
    F_TabellaCodici(
        const QString& archivio, const DefinizioneTabellaCodici& definizione, QWidget* parent = nullptr);
    ~F_TabellaCodici() override;

    const TabellaCodici& tabella() const { return m_tabella; }
    QLineEdit* campoCodice() const;
    QLineEdit* campoDescrizione() const;
    QString Indice() const;

    void Aggiorna_Click();
    void DimensionaGriglia_Click();
    void PulisciCampi();
    void PulisciGriglia();
    void Command2_Click();
    void Command15_Click();
    void Fine_Click();
    // The grid's current row into the fields (nothing on the header row).
    void RigheArt_Click();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void Form_Load();
    void Esc();

    const QScopedPointer<Ui::F_TabellaCodici> m_ui;
    TabellaCodici m_tabella;
    ModelloGriglia* m_modello;
};
