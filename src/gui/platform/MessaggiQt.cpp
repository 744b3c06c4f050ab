#include "MessaggiQt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QWidget* finestraAttiva()
{
    return QApplication::activeWindow();
}
} // namespace

Messaggi::Risposta MessaggiQt::Messaggio(
    const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo, Risposta predefinito)
{
    QMessageBox box(static_cast<QMessageBox::Icon>(icona), titolo.isEmpty() ? TitoloPredefinito() : titolo,
        testo, QMessageBox::StandardButtons(pulsanti.toInt()), finestraAttiva());
    if (predefinito != NoButton)
        box.setDefaultButton(static_cast<QMessageBox::StandardButton>(predefinito));
    return static_cast<Risposta>(box.exec());
}

QString MessaggiQt::InputBox(const QString& richiesta, const QString& titolo, const QString& predefinito)
{
    bool ok = false;
    const QString testo = QInputDialog::getText(finestraAttiva(),
        titolo.isEmpty() ? TitoloPredefinito() : titolo, richiesta, QLineEdit::Normal, predefinito, &ok);
    return ok ? testo : QString();
}

QString MessaggiQt::ApriFile(const QString& titolo, const QString& cartella, const QString& filtro)
{
    return QFileDialog::getOpenFileName(finestraAttiva(), titolo, cartella, filtro);
}

QString MessaggiQt::SalvaFile(
    const QString& titolo, const QString& percorsoProposto, const QString& filtro, QString* filtroScelto)
{
    return QFileDialog::getSaveFileName(finestraAttiva(), titolo, percorsoProposto, filtro, filtroScelto);
}

QString MessaggiQt::ScegliCartella(const QString& titolo, const QString& cartellaIniziale)
{
    return QFileDialog::getExistingDirectory(finestraAttiva(), titolo, cartellaIniziale);
}

void MessaggiQt::Beep()
{
    QApplication::beep();
}
