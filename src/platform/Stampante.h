#pragma once

#include <QString>

// One installed printer as the program knows it: reports name it by device name.
struct Stampante
{
    QString nome; // device name, compared exactly
    QString driver;
    QString porta;
    bool pdfIntegrata = false; // the program's own PDF writer, not a system queue

    bool valida() const { return !nome.isEmpty(); }
    bool operator==(const Stampante&) const = default;
};
