#include "F_ArchivioServer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

F_ArchivioServer::F_ArchivioServer(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Archivio su server"));
    auto* spiegazione = new QLabel(QStringLiteral("L'archivio è un database PostgreSQL che il reparto "
                                                  "informatico ha preparato per Cartavia."),
        this);
    spiegazione->setWordWrap(true);
    Host = new QLineEdit(this);
    Host->setPlaceholderText(QStringLiteral("server.azienda.it"));
    Porta = new QSpinBox(this);
    Porta->setRange(1, 65535);
    Porta->setValue(5432);
    Database = new QLineEdit(this);
    Utente = new QLineEdit(this);
    PasswordServer = new QLineEdit(this);
    PasswordServer->setEchoMode(QLineEdit::Password);
    PasswordServer->setPlaceholderText(QStringLiteral("se il server la chiede"));
    RicordaPassword = new QCheckBox(QStringLiteral("&Ricorda la password nel portachiavi del desktop"), this);

    auto* modulo = new QFormLayout;
    modulo->addRow(QStringLiteral("&Server:"), Host);
    modulo->addRow(QStringLiteral("&Porta:"), Porta);
    modulo->addRow(QStringLiteral("&Database:"), Database);
    modulo->addRow(QStringLiteral("&Utente:"), Utente);
    modulo->addRow(QStringLiteral("Pass&word:"), PasswordServer);
    modulo->addRow(QString(), RicordaPassword);
    Host->setAccessibleName(QStringLiteral("Server"));
    Porta->setAccessibleName(QStringLiteral("Porta"));
    Database->setAccessibleName(QStringLiteral("Database"));
    Utente->setAccessibleName(QStringLiteral("Utente"));
    PasswordServer->setAccessibleName(QStringLiteral("Password"));

    auto* pulsanti = new QDialogButtonBox(this);
    m_collega = pulsanti->addButton(QStringLiteral("&Collega"), QDialogButtonBox::AcceptRole);
    pulsanti->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* campo : { Host, Database })
        connect(campo, &QLineEdit::textChanged, this, &F_ArchivioServer::aggiornaCollega);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spiegazione);
    layout->addLayout(modulo);
    layout->addWidget(pulsanti);
    aggiornaCollega();
    setMinimumWidth(420);
}

void F_ArchivioServer::Imposta(const QString& indirizzo)
{
    const std::optional<IndirizzoServer> i = IndirizzoServer::Leggi(indirizzo);
    if (!i)
        return;
    Host->setText(i->host);
    Porta->setValue(i->porta);
    Database->setText(i->database);
    Utente->setText(i->utente);
    (Host->text().isEmpty() ? Host : PasswordServer)->setFocus();
}

IndirizzoServer F_ArchivioServer::Indirizzo() const
{
    IndirizzoServer r;
    r.host = Host->text().trimmed();
    r.porta = Porta->value();
    r.database = Database->text().trimmed();
    r.utente = Utente->text().trimmed();
    return r;
}

QString F_ArchivioServer::Password() const
{
    return PasswordServer->text();
}

void F_ArchivioServer::aggiornaCollega()
{
    m_collega->setEnabled(!Host->text().trimmed().isEmpty() && !Database->text().trimmed().isEmpty());
}
