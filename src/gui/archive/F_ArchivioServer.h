#pragma once

#include "archive/IndirizzoServer.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Where the archive on a PostgreSQL server is: server, port, database and user, and the password
// when the server asks for one. The password is kept only while the program runs.
class F_ArchivioServer : public QDialog
{
    Q_OBJECT

public:
    explicit F_ArchivioServer(QWidget* parent = nullptr);

    // Fills the fields from an address (the last one used).
    void Imposta(const QString& indirizzo);
    IndirizzoServer Indirizzo() const;
    QString Password() const;

    QLineEdit* Host;
    QSpinBox* Porta;
    QLineEdit* Database;
    QLineEdit* Utente;
    QLineEdit* PasswordServer;
    QCheckBox* RicordaPassword;

private:
    void aggiornaCollega();
    QPushButton* m_collega = nullptr;
};
