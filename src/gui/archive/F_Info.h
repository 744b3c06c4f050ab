#pragma once

#include <QDialog>

namespace Ui {
class F_Info;
}

// The About window: program name and version, and two buttons that hand the program's mail and
// web addresses to the desktop's mail program and browser.
class F_Info : public QDialog
{
    Q_OBJECT

public:
    explicit F_Info(QWidget* parent = nullptr);
    ~F_Info() override;

    // Shows the window modal to `parent` without blocking; it goes away when closed.
    static F_Info* Mostra(QWidget* parent);

private:
    void Posta_Click();
    void Web_Click();
    void Apri(const QString& indirizzo, const QString& mostrato);

    const QScopedPointer<Ui::F_Info> m_ui;
};
