#include "F_Info.h"
#include "ui_F_Info.h"

#include "archive/Module1.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QUrl>

namespace {
QString IndirizzoMostratoPosta()
{
    return QUrl(Module1::IndirizzoPosta).path();
}

QString IndirizzoMostratoWeb()
{
    return QUrl(Module1::IndirizzoWeb).host();
}
} // namespace

F_Info::F_Info(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::F_Info)
{
    m_ui->setupUi(this);
    m_ui->Versione->setText(QStringLiteral("Versione ") + Module1::VersioneProgramma);
    m_ui->Posta->setText(QStringLiteral("&E-mail: ") + IndirizzoMostratoPosta());
    m_ui->Web->setText(QStringLiteral("&Sito web: ") + IndirizzoMostratoWeb());
    connect(m_ui->Posta, &QPushButton::clicked, this, &F_Info::Posta_Click);
    connect(m_ui->Web, &QPushButton::clicked, this, &F_Info::Web_Click);
    connect(m_ui->Chiudi, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
}

F_Info::~F_Info() = default;

F_Info* F_Info::Mostra(QWidget* parent)
{
    auto* f = new F_Info(parent);
    f->setAttribute(Qt::WA_DeleteOnClose);
    f->open();
    return f;
}

void F_Info::Posta_Click()
{
    Apri(Module1::IndirizzoPosta, IndirizzoMostratoPosta());
}

void F_Info::Web_Click()
{
    Apri(Module1::IndirizzoWeb, Module1::IndirizzoWeb);
}

void F_Info::Apri(const QString& indirizzo, const QString& mostrato)
{
    if (!Piattaforma::ApriUrl(QUrl(indirizzo)))
        messaggi().Messaggio(
            QStringLiteral("Impossibile aprire «%1»: nessun programma del computer lo gestisce.")
                .arg(mostrato),
            Messaggi::Ok, Messaggi::Warning);
}
