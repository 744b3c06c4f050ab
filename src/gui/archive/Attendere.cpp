#include "Attendere.h"
#include "ui_Attendere.h"

#include "archive/GestioneErrore.h"
#include "gui/platform/FinestraAperta.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QScreen>

Attendere::Attendere(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_ui(new Ui::Attendere)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(360, 80);
    TimerRefresc.setInterval(100);
    TimerAttesa.setInterval(222);
    connect(&TimerRefresc, &QTimer::timeout, this, &Attendere::TimerRefresc_Timer);
    connect(&TimerAttesa, &QTimer::timeout, this, &Attendere::TimerAttesa_Timer);
    TimerRefresc.start();
    TimerAttesa.start();
}

Attendere::~Attendere() = default;

QString Attendere::testoLabel1() const
{
    return m_ui->Label1->text();
}

void Attendere::TimerRefresc_Timer()
{
    m_ui->Label1->setText(
        QStringLiteral("Attendere... Database Occupato  //%1//").arg(servizi().errori.ContatoreErrori));
    repaint();
}

void Attendere::TimerAttesa_Timer()
{
    TimerAttesa.stop();
    TimerRefresc.stop();
    close();
}

Attendere* Attendere::Corrente()
{
    return FinestraAperta<Attendere>();
}

void Attendere::RiavviaAttesa()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    Attendere* w = Corrente();
    if (!w)
        w = new Attendere;
    w->TimerAttesa.stop();
    w->TimerAttesa.start();
    if (!w->TimerRefresc.isActive())
        w->TimerRefresc.start();
    if (w->isHidden()) {
        if (QScreen* schermo = QGuiApplication::primaryScreen()) {
            const QRect area = schermo->availableGeometry();
            w->move(area.center() - w->rect().center());
        }
        w->show();
    }
    w->repaint();
}
