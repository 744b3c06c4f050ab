#pragma once

#include "gui/masterdata/F_TabellaCodici.h"

// The editor of the entry types (TabellaTipi): the states editor over another table.
class F_TabellaTipi : public F_TabellaCodici
{
    Q_OBJECT

public:
    explicit F_TabellaTipi(const QString& archivio, QWidget* parent = nullptr);

    // The open window, or a new one owned by `proprietario`.
    static F_TabellaTipi* Apri(const QString& archivio, QWidget* proprietario);
};
