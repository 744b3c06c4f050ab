#pragma once

#include <QString>

class QWidget;

// Folder picking for the archives and backup folders.
namespace BrowseForFolderModule {

// The chosen folder without a trailing separator, or "" on cancel. The dialog opens on
// `cartellaIniziale` when it exists.
QString ScegliCartella(const QString& cartellaIniziale, QWidget* proprietario = nullptr);
// As ScegliCartella with no start folder, with a trailing separator added ("" on cancel).
QString ScegliPercorso(QWidget* proprietario = nullptr);

// The trailing separator rule of ScegliPercorso, on its own.
QString AggiungiSeparatore(const QString& cartella);

} // namespace BrowseForFolderModule
