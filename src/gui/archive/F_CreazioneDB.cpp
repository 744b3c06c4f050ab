#include "F_CreazioneDB.h"
#include "ui_F_CreazioneDB.h"

#include "archive/Sessione.h"

#include "archive/CreazioneDB.h"
#include "comune/Twips.h"

#include <QGuiApplication>
#include <QScreen>

F_CreazioneDB::F_CreazioneDB(Sessione& sessione, QWidget* parent)
    : QWidget(parent)
    , m_sessione(sessione)
    , m_ui(new Ui::F_CreazioneDB)
{
    m_ui->setupUi(this);
    CreazioneDB c;
    connect(&c, &CreazioneDB::rigaCambiata, m_ui->riga, &QLineEdit::setText);
    connect(&m_creazione, &CreazioneDB::helpCambiato, this, &F_CreazioneDB::aggiornaHelp);
    connect(m_ui->CreaDB, &QPushButton::clicked, this, &F_CreazioneDB::CreaDB_Click);
    connect(m_ui->AllineaDB, &QPushButton::clicked, this, &F_CreazioneDB::AllineaDB_Click);
    aggiornaHelp();
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center().x() - width() / 2, area.center().y() - height() / 2 - Twips::pixel(200));
    }
}

F_CreazioneDB::~F_CreazioneDB() = default;

void F_CreazioneDB::aggiornaHelp()
{
    const CreazioneDB c;
    m_ui->Help->clear();
    m_ui->Help->addItems(c.Help());
    if (c.RigaInCima() < m_ui->Help->count())
        m_ui->Help->scrollToItem(m_ui->Help->item(c.RigaInCima()), QAbstractItemView::PositionAtTop);
}

void F_CreazioneDB::CreaDB_Click()
{
    m_creazione.CreaDB_Click(m_sessione.PercorsoArchivio);
}

void F_CreazioneDB::AllineaDB_Click()
{
    m_creazione.AllineaDB_Click(m_sessione.PercorsoArchivio);
}
