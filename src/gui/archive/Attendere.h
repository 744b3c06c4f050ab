#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class Attendere;
}

// The busy-archive window: shown while a locked step is retried, gone 222 ms after the last retry.
class Attendere : public QWidget
{
    Q_OBJECT

public:
    explicit Attendere(QWidget* parent = nullptr);
    ~Attendere() override;

    // Loads the window if needed, restarts its close timer and shows it when hidden.
    // Does nothing without a graphical application (command line use).
    static void RiavviaAttesa();
    // The window while it is shown, else nullptr.
    static Attendere* Corrente();

    QString testoLabel1() const;
    QTimer TimerRefresc;
    QTimer TimerAttesa;

private:
    void TimerRefresc_Timer();
    void TimerAttesa_Timer();

    const QScopedPointer<Ui::Attendere> m_ui;
};
