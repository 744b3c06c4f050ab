#pragma once

#include <QDialog>

namespace Ui {
class F_Pass;
}

// The password prompt: the right password accepts it, a wrong one or "Annulla" ends the program.
class F_Pass : public QDialog
{
    Q_OBJECT

public:
    // The prompt for the password of `archivio`.
    explicit F_Pass(const QString& archivio, QWidget* parent = nullptr);
    ~F_Pass() override;

    void Command1_Click(); // "Conferma"
    void Command2_Click(); // "Annulla"

protected:
    void showEvent(QShowEvent* evento) override;
    void reject() override;

private:
    const QScopedPointer<Ui::F_Pass> m_ui;
    const QString m_archivio;
};
