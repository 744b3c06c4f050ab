#pragma once

#include "archive/CreazioneDB.h"

#include <QWidget>

struct Sessione;
namespace Ui {
class F_CreazioneDB;
}

// Shows the progress list of the creation command; normal use runs the command without it.
class F_CreazioneDB : public QWidget
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit F_CreazioneDB(Sessione& sessione, QWidget* parent = nullptr);
    ~F_CreazioneDB() override;

private:
    void aggiornaHelp();
    void CreaDB_Click();
    void AllineaDB_Click();

    const QScopedPointer<Ui::F_CreazioneDB> m_ui;
    CreazioneDB m_creazione;
};
