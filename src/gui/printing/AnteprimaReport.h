#pragma once

#include "gui/platform/ElencoStampanti.h"
#include "printing/Report.h"

#include <QDialog>
#include <QPrinter>

class QLabel;
class QPrintPreviewWidget;
class QPushButton;

// The preview of a report (the summary, the employee list): its A4 pages as they will print, and
// "Stampa", which prints them on the printer chosen for the report, the one the window names,
// with no other printer to pick by mistake. The built-in PDF printer asks where to save. A print
// that fails is said and leaves the preview open, to try again or close.
class AnteprimaReport : public QDialog
{
    Q_OBJECT

public:
    // `stampante` invalid: the system's default printer.
    AnteprimaReport(const Report::Documento& documento, const Stampante& stampante, const QString& titolo,
        QWidget* parent = nullptr);
    ~AnteprimaReport() override;

    // The page a preview lays out and shows: A4, as every print, whatever queue prints it.
    static void PaginaAnteprima(QPrinter& printer, const QString& titolo);
    // Whether "Stampa" printed the report.
    bool stampato() const { return m_stampato; }

    void Stampa_Click();

private:
    void AggiornaPagina();

    Report::Documento m_documento;
    Stampante m_stampante;
    QString m_titolo;
    QPrinter m_printer;
    QPrintPreviewWidget* m_anteprima = nullptr;
    QPushButton* m_precedente = nullptr;
    QPushButton* m_successiva = nullptr;
    QLabel* m_pagina = nullptr;
    bool m_stampato = false;
};
