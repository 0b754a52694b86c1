#include "ImportOptions.h"

namespace {

struct ValueOption {
    const char* name;
    std::optional<QString> ImportOptions::*member;
};

constexpr ValueOption kValueOptions[] = {
    {"--mapping", &ImportOptions::mapping},  {"--server", &ImportOptions::server},
    {"--user", &ImportOptions::user},        {"--database", &ImportOptions::database},
    {"--table", &ImportOptions::table},      {"--password-file", &ImportOptions::passwordFile},
    {"--done-dir", &ImportOptions::doneDir}, {"--failed-dir", &ImportOptions::failedDir},
};

const ValueOption* FindOption(const QString& name) {
    for (const ValueOption& option : kValueOptions) {
        if (name == QLatin1String(option.name)) return &option;
    }
    return nullptr;
}

bool IsPasswordOption(const QString& name) {
    return name == u"--password" || name == u"-p" || name == u"-P";
}

// "--name=value" or "--name value": the option's value, taken from arguments.
QString ValueOf(const QString& argument, const QStringList& arguments, qsizetype& index,
                Language language) {
    const qsizetype equals = argument.indexOf(u'=');
    if (equals >= 0) return argument.mid(equals + 1);
    if (index + 1 >= arguments.size())
        throw UsageError(language, "option '%1' needs a value", "'%1' seçeneği bir değer ister",
                         argument);
    return arguments[++index];
}

void ReadOption(ImportOptions& options, const QStringList& arguments, qsizetype& index,
                Language language) {
    const QString& argument = arguments[index];
    if (argument == u"-h" || argument == u"--help") {
        options.help = true;
        return;
    }
    const QString name = argument.section(u'=', 0, 0);
    if (IsPasswordOption(name))
        throw UsageError(language,
                         "a password is never taken from an argument, which every user of the "
                         "machine can read: use TAVLEN_PASSWORD, --password-file or standard "
                         "input",
                         "parola hiçbir zaman bir bağımsız değişkenden alınmaz, çünkü makinenin "
                         "her kullanıcısı onu okuyabilir: TAVLEN_PASSWORD, --password-file ya da "
                         "standart girdiyi kullanın");
    const ValueOption* option = FindOption(name);
    if (!option) throw UsageError(language, "unknown option '%1'", "bilinmeyen seçenek '%1'", name);
    options.*(option->member) = ValueOf(argument, arguments, index, language);
}

}  // namespace

namespace {
QString WithArgument(const QString& text, const QString& argument) {
    return argument.isEmpty() ? text : text.arg(argument);
}
}  // namespace

UsageError::UsageError(Language language, const char* english, const char* turkish,
                       const QString& argument)
    : std::runtime_error(WithArgument(QString::fromUtf8(english), argument).toStdString()),
      text_(WithArgument(Say(language, english, turkish), argument)) {}

ImportOptions ReadImportOptions(const QStringList& arguments, Language language) {
    ImportOptions options;
    bool optionsEnded = false;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(u'-') && argument.size() > 1) {
            ReadOption(options, arguments, index, language);
        } else {
            options.paths << argument;
        }
    }
    return options;
}

QString ImportHelp(Language language) {
    return Say(
        language,
        "Usage: tavlen import --mapping FILE [OPTION]... PATH...\n"
        "Imports each XML file named, and the *.xml files of each folder named (not those of\n"
        "its subfolders, in the order of their names), into a SQL Server table with a mapping\n"
        "saved by Tavlen, without a window. Each file goes in whole or not at all; the first\n"
        "may create the table, the following insert into it. One connection serves all files.\n"
        "\n"
        "  --mapping FILE        the mapping to run (required)\n"
        "  --server SERVER       the server, as typed in the window (default: the mapping's)\n"
        "  --user USER           the login (default: the mapping's; empty: the logged-on\n"
        "                        account)\n"
        "  --database DATABASE   the database (default: the mapping's)\n"
        "  --table TABLE         the table (default: the mapping's)\n"
        "  --password-file FILE  read the password from the first line of FILE\n"
        "  --done-dir DIR        move each file imported into DIR\n"
        "  --failed-dir DIR      move each file that failed into DIR\n"
        "  -h, --help            show this help and exit\n"
        "\n"
        "The password comes from --password-file, else from the environment variable\n"
        "TAVLEN_PASSWORD, else from standard input when it is not a terminal. It is never\n"
        "taken from an argument: every user of the machine can read a program's arguments\n"
        "(with ps, for example).\n"
        "\n"
        "Each file gives one line on standard output: its name with the rows imported and the\n"
        "seconds taken, or the reason it failed; a summary line ends the run. A file already\n"
        "in DIR keeps its name; the one moved there gets a number added to its own.\n"
        "\n"
        "Exit status: 0 when every file went in; 1 when any failed, or when the connection\n"
        "was lost, which stops the run and leaves the files not yet tried where they are;\n"
        "2 for bad usage or a connection that could not be made.\n",
        "Kullanım: tavlen import --mapping DOSYA [SEÇENEK]... YOL...\n"
        "Adı verilen her XML dosyasını ve adı verilen her klasörün *.xml dosyalarını (alt\n"
        "klasörlerindekiler hariç, adlarının sırasıyla), Tavlen ile kaydedilmiş bir eşleme\n"
        "ile, pencere açmadan bir SQL Server tablosuna aktarır. Her dosya ya bütünüyle\n"
        "aktarılır ya da hiç aktarılmaz; ilki tabloyu oluşturabilir, sonrakiler ona ekler.\n"
        "Tüm dosyalar tek bir bağlantıyla aktarılır.\n"
        "\n"
        "  --mapping DOSYA       çalıştırılacak eşleme (zorunlu)\n"
        "  --server SUNUCU       pencerede yazıldığı gibi sunucu (varsayılan: eşlemedeki)\n"
        "  --user KULLANICI      oturum adı (varsayılan: eşlemedeki; boş: oturum açmış\n"
        "                        hesap)\n"
        "  --database VERİTABANI veritabanı (varsayılan: eşlemedeki)\n"
        "  --table TABLO         tablo (varsayılan: eşlemedeki)\n"
        "  --password-file DOSYA parolayı DOSYA'nın ilk satırından oku\n"
        "  --done-dir KLASÖR     aktarılan her dosyayı KLASÖR'e taşı\n"
        "  --failed-dir KLASÖR   aktarılamayan her dosyayı KLASÖR'e taşı\n"
        "  -h, --help            bu yardımı göster ve çık\n"
        "\n"
        "Parola --password-file ile verilen dosyadan, yoksa TAVLEN_PASSWORD ortam\n"
        "değişkeninden, o da yoksa bir uçbirim değilse standart girdiden okunur. Hiçbir\n"
        "zaman bir bağımsız değişkenden alınmaz: makinenin her kullanıcısı bir programın\n"
        "bağımsız değişkenlerini okuyabilir (örneğin ps ile).\n"
        "\n"
        "Her dosya standart çıktıya bir satır yazar: adı ile aktarılan satır sayısı ve geçen\n"
        "saniye, ya da aktarılamama nedeni; çalışma bir özet satırıyla biter. KLASÖR'de aynı\n"
        "adla bir dosya varsa o adını korur; taşınan dosyanın adına bir sayı eklenir.\n"
        "\n"
        "Çıkış durumu: her dosya aktarıldıysa 0; bir dosya aktarılamadıysa ya da bağlantı\n"
        "koptuysa 1 (kopan bağlantı çalışmayı durdurur, henüz denenmemiş dosyalar yerinde\n"
        "kalır); hatalı kullanımda ya da bağlantı kurulamadığında 2.\n");
}
