#include "F_Pass.h"
#include "ui_F_Pass.h"

#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "comune/Twips.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QGuiApplication>
#include <QScreen>

F_Pass::F_Pass(const QString& archivio, QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::F_Pass)
    , m_archivio(archivio)
{
    m_ui->setupUi(this);
    m_ui->Password->clear();
    connect(m_ui->Command1, &QPushButton::clicked, this, &F_Pass::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_Pass::Command2_Click);
}

F_Pass::~F_Pass() = default;

void F_Pass::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    if (QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - width()) / 2,
            area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
    }
    m_ui->Password->setFocus();
}

void F_Pass::Command1_Click()
{
    switch (VerificaPasswordDigitata(m_archivio, m_ui->Password->text())) {
    case EsitoPassword::NonLetta:
        // Any error but a busy archive leaves the prompt open, so the user can try again.
        return;
    case EsitoPassword::Corretta:
        accept();
        return;
    case EsitoPassword::Errata:
        break;
    }
    messaggi().Messaggio(QStringLiteral("PASSWORD ERRATA"), Messaggi::Ok, Messaggi::Critical);
    Piattaforma::TerminaProgramma();
    QDialog::reject();
}

void F_Pass::Command2_Click()
{
    Piattaforma::TerminaProgramma();
    QDialog::reject();
}

void F_Pass::reject()
{
    // Escape and the window's close box are "Annulla" too.
    Command2_Click();
}
