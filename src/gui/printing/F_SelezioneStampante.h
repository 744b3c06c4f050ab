#pragma once

#include <QDialog>

struct Sessione;
namespace Ui {
class F_SelezioneStampante;
}

// Chooses the documents printer of the archive: a pick is stored at once, "CHIUDI" only closes.
class F_SelezioneStampante : public QDialog
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit F_SelezioneStampante(Sessione& sessione, QWidget* parent = nullptr);
    ~F_SelezioneStampante() override;

    // Opens the window modally over `parent` (the main window's and the card's "S" button).
    static void Mostra(Sessione& sessione, QWidget* parent);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void Form_Load();
    void prnDocs_Click();
    bool prnDocs_KeyDown(int tasto);
    void Fine_Click();

    const QScopedPointer<Ui::F_SelezioneStampante> m_ui;
};
