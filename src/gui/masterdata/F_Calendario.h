#pragma once

#include "masterdata/GrigliaCalendario.h"

#include <QDialog>
#include <QList>
#include <QTimer>

namespace Ui {
class F_Calendario;
}
class QPushButton;

// The calendar picker: one month as a grid of day buttons; the date picked is handed back in
// DataSceltaCalendario (empty when none was confirmed). Opened modally by ScegliDataDaCalendario.
class F_Calendario : public QDialog
{
    Q_OBJECT

public:
    // `dataIniziale` (a day/month/year text) is the date selected at opening; empty or not a date
    // means today. The company's own days come from `archivio` (none without one);
    // `saltaRicostruzione`, when given, is raised as the window closes, so the window that opened
    // it spares one grid rebuild.
    explicit F_Calendario(QWidget* parent = nullptr, const QString& dataIniziale = {},
        const QString& archivio = {}, bool* saltaRicostruzione = nullptr);
    ~F_Calendario() override;

    // The confirmed date ("" when none), read by the caller after the window closed.
    QString DataSceltaCalendario;

    void PreparaCalandario();
    void CompilaCalendario();

    void giorno_Click(int indice);
    void prec_Click();
    void succ_Click();
    void oggi_Click();
    void Command1_Click();
    void Command2_Click();

    QString Datasel() const;
    QString MeseMostrato() const;
    QString AnnoMostrato() const;
    QPushButton* giorno(int indice) const { return m_giorni.value(indice); }
    const GrigliaCalendario::Celle& celle() const { return m_celle; }

protected:
    void done(int risultato) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void Timer1_Timer();
    void creaGiorni();
    void completaMeseAnno();
    void impostaAnno(int anno);
    void mostraCella(int indice);
    void spostaSelezione(int giorni);

    const QScopedPointer<Ui::F_Calendario> m_ui;
    QList<QPushButton*> m_giorni;
    GrigliaCalendario::Celle m_celle;
    // The company's days of the year shown, read again when the year changes.
    Festivita::GiorniAzienda m_azienda;
    int m_annoAzienda = 0;
    const QString m_archivio;
    bool* const m_saltaRicostruzione;
    QTimer Timer1;
};
