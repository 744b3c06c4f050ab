#include "F_PercorsoBakup.h"
#include "ui_F_PercorsoBakup.h"

#include "comune/Twips.h"
#include "gui/masterdata/F_Configurazioni.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStorageInfo>

namespace {

const QString Superiore = QStringLiteral("..");

} // namespace

F_PercorsoBakup::F_PercorsoBakup(Scopo scopo, QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::F_PercorsoBakup)
    , m_scopo(scopo)
{
    m_ui->setupUi(this);
    connect(m_ui->Drive1, &QComboBox::activated, this, &F_PercorsoBakup::Drive1_Change);
    connect(m_ui->Dir1, &QListWidget::itemActivated, this, &F_PercorsoBakup::Dir1_DblClick);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_PercorsoBakup::Command2_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &F_PercorsoBakup::Command1_Click);
    Form_Load();
}

F_PercorsoBakup::~F_PercorsoBakup() = default;

QString F_PercorsoBakup::Scegli(Scopo scopo, const QString& cartellaIniziale, QWidget* parent)
{
    F_PercorsoBakup finestra(scopo, parent);
    if (!cartellaIniziale.isEmpty() && QFileInfo(cartellaIniziale).isDir())
        finestra.ImpostaCartella(cartellaIniziale);
    finestra.exec();
    return finestra.PercorsoScelto();
}

void F_PercorsoBakup::Form_Load()
{
    QStringList unita;
    for (const QFileInfo& d : QDir::drives())
        unita << QDir::toNativeSeparators(d.absoluteFilePath());
    const QList<QStorageInfo> volumi = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumi) {
        const QString radice = QDir::toNativeSeparators(v.rootPath());
        if (v.isValid() && v.isReady() && !unita.contains(radice))
            unita << radice;
    }
    m_ui->Drive1->addItems(unita);

    adjustSize();
    if (QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - width()) / 2,
            area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
    }
    Drive1_Change();
}

void F_PercorsoBakup::Drive1_Change()
{
    ImpostaCartella(QDir::fromNativeSeparators(m_ui->Drive1->currentText()));
}

void F_PercorsoBakup::ImpostaCartella(const QString& cartella)
{
    if (cartella.isEmpty())
        return;
    const QDir dir(cartella);
    m_cartella = dir.absolutePath();
    // The drive list shows the drive the folder is on.
    int unita = -1;
    qsizetype lunghezza = -1;
    for (int i = 0; i < m_ui->Drive1->count(); ++i) {
        const QString radice = QDir::fromNativeSeparators(m_ui->Drive1->itemText(i));
        const QString conBarra = radice.endsWith(QLatin1Char('/')) ? radice : radice + QLatin1Char('/');
        if ((m_cartella + QLatin1Char('/')).startsWith(conBarra, Qt::CaseInsensitive)
            && radice.size() > lunghezza) {
            unita = i;
            lunghezza = radice.size();
        }
    }
    if (unita >= 0)
        m_ui->Drive1->setCurrentIndex(unita);
    m_ui->Dir1->clear();
    if (!dir.isRoot())
        m_ui->Dir1->addItem(Superiore);
    m_ui->Dir1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    Dir1_Change();
}

void F_PercorsoBakup::Dir1_DblClick(QListWidgetItem* voce)
{
    if (!voce)
        return;
    QDir dir(m_cartella);
    if (voce->text() == Superiore ? dir.cdUp() : dir.cd(voce->text()))
        ImpostaCartella(dir.absolutePath());
}

void F_PercorsoBakup::Dir1_Change()
{
    m_ui->PercorsoB->setText(ConSeparatoreFinale(m_cartella));
}

QString F_PercorsoBakup::ConSeparatoreFinale(const QString& percorso)
{
    QString p = QDir::toNativeSeparators(percorso.trimmed());
    const QChar separatore = QDir::separator();
    while (p.size() > 1 && p.endsWith(separatore))
        p.chop(1);
    if (!p.endsWith(separatore))
        p += separatore;
    return p;
}

void F_PercorsoBakup::Command2_Click()
{
    m_scelto = ConSeparatoreFinale(m_ui->PercorsoB->text());
    if (m_scopo == Scopo::Backup) {
        if (F_Configurazioni* impostazioni = F_Configurazioni::Aperta())
            impostazioni->ImpostaPercorsoBackup(m_scelto);
    }
    accept();
}

void F_PercorsoBakup::Command1_Click()
{
    reject();
}
