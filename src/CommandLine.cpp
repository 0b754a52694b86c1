#include "CommandLine.h"

#include <cstring>

#include <QTextStream>

#include "ImportCommand.h"
#include "ImportOptions.h"

namespace {

bool IsHelp(const QString& argument) { return argument == u"--help" || argument == u"-h"; }

QString Help(Language language) {
    return Say(language,
               "Usage: tavlen [FILE]\n"
               "       tavlen import --mapping FILE [OPTION]... PATH...\n"
               "Puts the contents of XML files into Microsoft SQL Server tables. Without a\n"
               "command, Tavlen opens its window, with FILE open when one is named.\n"
               "\n"
               "Commands:\n"
               "  import         import files and folders with a mapping, without a window\n"
               "                 (tavlen import --help tells more)\n"
               "\n"
               "  -h, --help     show this help and exit\n"
               "  --version      show the version and exit\n",
               "Kullanım: tavlen [DOSYA]\n"
               "          tavlen import --mapping DOSYA [SEÇENEK]... YOL...\n"
               "XML dosyalarının içeriğini Microsoft SQL Server tablolarına aktarır. Komut\n"
               "verilmezse Tavlen penceresini açar; bir DOSYA verildiyse onu açık olarak.\n"
               "\n"
               "Komutlar:\n"
               "  import         dosya ve klasörleri pencere açmadan bir eşlemeyle aktar\n"
               "                 (ayrıntılar: tavlen import --help)\n"
               "\n"
               "  -h, --help     bu yardımı göster ve çık\n"
               "  --version      sürümü göster ve çık\n");
}

}  // namespace

CommandLine ReadCommandLine(const QStringList& arguments) { return {arguments.value(1)}; }

bool IsCommand(int argc, const char* const* argv) {
    if (argc < 2) return false;
    for (const char* command : {"import", "--help", "-h", "--version"}) {
        if (std::strcmp(argv[1], command) == 0) return true;
    }
    return false;
}

int RunCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = arguments.value(1);
    if (command == u"import") return RunImportCommand(arguments.mid(2), out, err);
    if (command == u"--version") {
        out << "tavlen " TAVLEN_VERSION << Qt::endl;
    } else if (IsHelp(command)) {
        out << Help(LocaleLanguage()) << Qt::flush;
    }
    return 0;
}
