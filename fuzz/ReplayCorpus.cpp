// Without libFuzzer: feeds every file of the folders (or files) named on the command line to the
// target once, so the saved corpus runs as a regression test in the normal build.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione);

namespace {
int prova(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Impossibile leggere %s\n", qUtf8Printable(file));
        return 1;
    }
    const QByteArray dati = f.readAll();
    // A copy of exactly the file's size, so reading past the end is caught under the sanitizers.
    std::vector<uint8_t> copia(dati.begin(), dati.end());
    LLVMFuzzerTestOneInput(copia.data(), copia.size());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    int errori = 0;
    int eseguiti = 0;
    for (int i = 1; i < argc; ++i) {
        const QString percorso = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(percorso).isDir()) {
            const QStringList nomi = QDir(percorso).entryList(QDir::Files, QDir::Name);
            for (const QString& nome : nomi) {
                errori += prova(QDir(percorso).filePath(nome));
                ++eseguiti;
            }
        } else {
            errori += prova(percorso);
            ++eseguiti;
        }
    }
    std::printf("%d ingressi eseguiti\n", eseguiti);
    if (eseguiti == 0) {
        std::fprintf(stderr, "Nessun ingresso trovato\n");
        return 1;
    }
    return errori == 0 ? 0 : 1;
}
