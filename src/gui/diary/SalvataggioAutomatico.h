#pragma once

#include <QObject>
#include <QString>

class LavoroInSottofondo;
class QLabel;
class QMainWindow;
class QProgressBar;

// The main window's automatic backup: run on a thread of its own once the window is up, so the
// user works meanwhile; its progress and its outcome show in the window's status area. Destroying
// it (the window closing, the program ending) stops the copy and removes what it had written.
class SalvataggioAutomatico : public QObject
{
    Q_OBJECT

public:
    // nullptr when no backup is due for `archivio`; else a backup ready to start.
    static SalvataggioAutomatico* Prepara(const QString& archivio, QMainWindow* finestra);

    void inizia();
    void ferma();
    LavoroInSottofondo* lavoro() const { return m_lavoro; }
    // What the status area says of the backup ("" once a completed backup's note has gone).
    QString testoStato() const;

private:
    SalvataggioAutomatico(QMainWindow* finestra, LavoroInSottofondo* lavoro);
    void concluso(bool riuscito);

    QMainWindow* m_finestra;
    LavoroInSottofondo* m_lavoro;
    QLabel* m_etichetta;
    QProgressBar* m_barra;
};
