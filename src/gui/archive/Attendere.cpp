#include "Attendere.h"
#include "ui_Attendere.h"

#include "archive/GestioneErrore.h"

#include <QApplication>
#include <QScreen>

QPointer<Attendere> Attendere::s_corrente;

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
        QStringLiteral("Attendere... Database Occupato  //%1//").arg(Module1::ContatoreErrori));
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
    return s_corrente.data();
}

void Attendere::RiavviaAttesa()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!s_corrente)
        s_corrente = new Attendere;
    Attendere* w = s_corrente.data();
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
