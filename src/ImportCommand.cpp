#include "ImportCommand.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "Catalogue.h"
#include "ImportFiles.h"
#include "ImportOptions.h"
#include "ImportRun.h"
#include "Mapping.h"
#include "MappingMessages.h"
#include "platform/Ado.h"

namespace {

// Why the run cannot start; the text is in the user's language.
struct CannotStart {
    QString text;
};

QByteArray FileBytes(const QString& fileName, Language language) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw CannotStart{Say(language, "cannot read %1: %2", "%1 okunamıyor: %2")
                              .arg(fileName, file.errorString())};
    return file.readAll();
}

Mapping MappingFrom(const QString& fileName, Language language) {
    try {
        return ReadMapping(FileBytes(fileName, language));
    } catch (const MappingError& error) {
        throw CannotStart{fileName + QStringLiteral(": ") +
                          MappingErrorText(error.reason(), language)};
    }
}

// The options given win over the mapping's destination.
void ApplyOptions(Mapping& mapping, const ImportOptions& options) {
    mapping.server = options.server.value_or(mapping.server);
    mapping.user = options.user.value_or(mapping.user);
    mapping.database = options.database.value_or(mapping.database);
    mapping.table = options.table.value_or(mapping.table);
}

// The password's first line, without its line end.
QString FirstLine(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes).section(u'\n', 0, 0);
    if (text.endsWith(u'\r')) text.chop(1);
    return text;
}

QString Password(const ImportOptions& options, Language language) {
    if (options.passwordFile) return FirstLine(FileBytes(*options.passwordFile, language));
    if (qEnvironmentVariableIsSet("TAVLEN_PASSWORD"))
        return qEnvironmentVariable("TAVLEN_PASSWORD");
    if (isatty(STDIN_FILENO)) return {};
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) return {};
    return FirstLine(input.readLine());
}

// Connects, chooses the database and learns what the window learns on choosing it.
FilesTarget Connect(platform::Connection& connection, const Mapping& mapping,
                    const QString& password, Language language) {
    try {
        connection.Open(ConnectionString(mapping.server, mapping.user), mapping.user, password);
        platform::Recordset recordset;
        if (!mapping.database.isEmpty()) recordset.Open(UseStatement(mapping.database), connection);
        if (recordset.State() > 0) recordset.Close();
        recordset.Open(TablesStatement(), connection);
        QStringList tables = TableNames(recordset);
        return {PlanOf(mapping), std::move(tables), CurrentCodePage(recordset, connection)};
    } catch (const platform::AdoError& error) {
        throw CannotStart{
            Say(language, "cannot connect to %1: %2", "%1 sunucusuna bağlanılamadı: %2")
                .arg(mapping.server, QString::fromUtf8(error.what()))};
    }
}

// A name in folder that no file has yet: the file's own, or with "-N" before its suffix.
QString FreeName(const QDir& folder, const QFileInfo& file) {
    QString name = file.fileName();
    for (int number = 1; folder.exists(name); ++number) {
        const QString suffix = file.completeSuffix();
        name = file.baseName() + u'-' + QString::number(number) +
               (suffix.isEmpty() ? QString() : u'.' + suffix);
    }
    return folder.filePath(name);
}

// QFile::rename copies and removes when the folder is on another file system.
bool MoveInto(const QString& file, const QString& folder) {
    if (!QDir().mkpath(folder)) return false;
    return QFile::rename(file, FreeName(QDir(folder), QFileInfo(file)));
}

class Reporter final {
public:
    Reporter(const ImportOptions& options, QTextStream& out, QTextStream& err, Language language)
        : options_(options), out_(out), err_(err), language_(language) {}

    void operator()(const FileOutcome& outcome) {
        if (outcome.Imported()) {
            out_ << outcome.file << ": "
                 << Say(language_, "%1 rows in %2 s", "%1 satır, %2 sn")
                        .arg(outcome.outcome.rows)
                        .arg(QString::number(outcome.seconds, 'f', 2))
                 << Qt::endl;
        } else {
            out_ << outcome.file << ": " << Say(language_, "failed: ", "aktarılamadı: ")
                 << FailureReason(outcome, language_) << Qt::endl;
        }
        if (!outcome.interrupted) Move(outcome);
    }

    bool MovesFailed() const { return movesFailed_; }

private:
    void Move(const FileOutcome& outcome) {
        const std::optional<QString>& folder =
            outcome.Imported() ? options_.doneDir : options_.failedDir;
        if (!folder || !QFileInfo(outcome.file).isFile() || MoveInto(outcome.file, *folder)) return;
        movesFailed_ = true;
        err_ << "tavlen: "
             << Say(language_, "cannot move %1 into %2", "%1, %2 klasörüne taşınamadı")
                    .arg(outcome.file, *folder)
             << Qt::endl;
    }

    const ImportOptions& options_;
    QTextStream& out_;
    QTextStream& err_;
    Language language_;
    bool movesFailed_ = false;
};

QString SummaryLine(const FilesSummary& summary, qsizetype files, Language language) {
    return Say(language, "Imported %1 of %2 files, %3 rows; %4 failed.",
               "%2 dosyadan %1 tanesi aktarıldı, %3 satır; %4 dosya aktarılamadı.")
        .arg(summary.imported)
        .arg(files)
        .arg(summary.rows)
        .arg(summary.failed.size());
}

void CheckUsage(const ImportOptions& options, Language language) {
    if (!options.mapping)
        throw UsageError(language, "--mapping FILE is required", "--mapping DOSYA gerekli");
    if (options.paths.isEmpty())
        throw UsageError(language, "no file or folder to import",
                         "aktarılacak dosya ya da klasör yok");
}

int Run(const ImportOptions& options, QTextStream& out, QTextStream& err, Language language) {
    Mapping mapping = MappingFrom(*options.mapping, language);
    ApplyOptions(mapping, options);
    if (mapping.table.isEmpty())
        throw UsageError(language, "no table: the mapping names none and --table is not given",
                         "tablo yok: eşleme bir tablo belirtmiyor ve --table verilmedi");
    platform::Connection connection;
    const FilesTarget target = Connect(connection, mapping, Password(options, language), language);
    const QStringList files = FilesToImport(options.paths);
    Reporter reporter(options, out, err, language);
    const FilesSummary summary = ImportFiles(
        files, target, connection,
        [](const FileWork& work, int, int, const QString&) {
            platform::Cancellation cancellation;
            ImportProgress progress;
            return work(cancellation, progress);
        },
        std::ref(reporter));
    out << SummaryLine(summary, files.size(), language) << Qt::endl;
    if (summary.connectionLost)
        err << "tavlen: "
            << Say(language,
                   "the connection to the server was lost: the run stopped; the files imported "
                   "before stay imported, the others were left where they are",
                   "sunucuyla bağlantı koptu: çalışma durdu; önceden aktarılan dosyalar "
                   "aktarılmış olarak kalır, diğerleri yerlerinde bırakıldı")
            << Qt::endl;
    const bool allWent = summary.failed.empty() && !reporter.MovesFailed();
    return allWent ? ImportAllWent : ImportSomeFailed;
}

}  // namespace

int RunImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const Language language = LocaleLanguage();
    try {
        const ImportOptions options = ReadImportOptions(arguments, language);
        if (options.help) {
            out << ImportHelp(language);
            return ImportAllWent;
        }
        CheckUsage(options, language);
        return Run(options, out, err, language);
    } catch (const UsageError& error) {
        err << "tavlen import: " << error.Text() << '\n'
            << Say(language, "Try 'tavlen import --help' for more information.",
                   "Ayrıntılar için 'tavlen import --help' yazın.")
            << Qt::endl;
    } catch (const CannotStart& failure) {
        err << "tavlen import: " << failure.text << Qt::endl;
    } catch (const platform::AdoError& error) {
        err << "tavlen import: " << QString::fromUtf8(error.what()) << Qt::endl;  // no driver
    }
    return ImportCannotStart;
}
