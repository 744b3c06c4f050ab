#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message, question, input box and file or folder pick goes through one door, so
// tests can script the answers and no window blocks a headless run.
class Messaggi
{
public:
    using Pulsanti = QMessageBox::StandardButtons;
    using Risposta = QMessageBox::StandardButton;
    using Icona = QMessageBox::Icon;

    virtual ~Messaggi() = default;

    virtual Risposta Messaggio(const QString& testo, Pulsanti pulsanti = QMessageBox::Ok,
                               Icona icona = QMessageBox::NoIcon, const QString& titolo = {},
                               Risposta predefinito = QMessageBox::NoButton)
        = 0;
    // The text typed, or "" when the user cancels (as an input box always did).
    virtual QString InputBox(const QString& richiesta, const QString& titolo = {},
                             const QString& predefinito = {})
        = 0;
    // The chosen file, or "" on cancel. `cartella` may end with a file name, which is proposed.
    virtual QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) = 0;
    // The chosen file to write, or "" on cancel.
    virtual QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro) = 0;
    // The chosen folder without a trailing separator, or "" on cancel.
    virtual QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) = 0;
    // A short beep for refused keystrokes.
    virtual void Beep() = 0;

    static QString TitoloPredefinito();
};

// The real dialogs.
class MessaggiQt : public Messaggi
{
public:
    Risposta Messaggio(const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo,
                       Risposta predefinito) override;
    QString InputBox(const QString& richiesta, const QString& titolo, const QString& predefinito) override;
    QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) override;
    QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro) override;
    QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) override;
    void Beep() override;
};

// The implementation in use; MessaggiQt unless a test installed another one.
Messaggi& messaggi();
// Installs `m` (not owned); nullptr goes back to the real dialogs.
void impostaMessaggi(Messaggi* m);
