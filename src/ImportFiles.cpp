#include "ImportFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include "Bilingual.h"
#include "ImportBatch.h"
#include "ImportRun.h"
#include "platform/Ado.h"
#include "platform/XmlDocument.h"

namespace {

QStringList XmlFilesIn(const QString& folder) {
    const QDir dir(folder);
    QStringList files;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden, QDir::Name))
        files << dir.filePath(name);
    return files;
}

// Reading checks that the document is well-formed and keeps its bytes; its content is of no
// interest here, so the root's content is skipped.
class Validation final : public platform::XmlEvents {
public:
    bool StartElement(const platform::XmlName&,
                      const std::vector<platform::XmlAttribute>&) override {
        return false;
    }
    void EndElement(const platform::XmlName&) override {}
    void Text(QByteArrayView) override {}
    void CData(QByteArrayView) override {}
    void Comment(const char*) override {}
    void ProcessingInstruction(const platform::XmlName&, const char*) override {}
    bool WantsCharacters() const override { return false; }
};

// The reader's text starts with the file's name, which every report already shows.
QString ReadErrorText(const QString& file, const platform::XmlError& error) {
    const QString text = QString::fromUtf8(error.what());
    const QString prefix = file + QStringLiteral(": ");
    return text.startsWith(prefix) ? text.mid(prefix.size()) : text;
}

class FilesRun final {
public:
    FilesRun(FilesTarget target, platform::Connection& connection)
        : target_(std::move(target)), connection_(connection) {}

    // Reads the file and imports it; a document that cannot be read leaves readError set.
    ImportOutcome Import(const QString& file, QString& readError, platform::Cancellation& cancel,
                         ImportProgress& progress) const {
        platform::XmlDocument document;
        document.SetFileName(file);
        try {
            Validation events;
            document.Read(events);
        } catch (const platform::XmlError& error) {
            readError = ReadErrorText(file, error);
            return {ImportEnd::Failed, 0, readError};
        }
        const ImportRequest request{document.Bytes(), document.PrefixDeclarations(),
                                    TargetOf(target_.plan, target_.existingTables, target_.codePage,
                                             document.PrefixDeclarations())};
        return RunImport(request, connection_, cancel, progress);
    }

    // Once a file created the table, the following insert into it: also one without rows,
    // whose batch made the table all the same.
    void TableMade() {
        if (!target_.existingTables.contains(target_.plan.table))
            target_.existingTables << target_.plan.table;
    }

private:
    FilesTarget target_;
    platform::Connection& connection_;
};

void Count(FilesSummary& summary, const FileOutcome& outcome) {
    if (outcome.Imported()) {
        ++summary.imported;
        summary.rows += outcome.outcome.rows;
    } else {
        summary.failed.push_back(outcome);
    }
}

// A message on one line, for a report that gives each file one.
QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

QStringList FilesToImport(const QStringList& paths) {
    QStringList files;
    QSet<QString> seen;
    for (const QString& path : paths) {
        const QStringList named =
            QFileInfo(path).isDir() ? XmlFilesIn(path) : QStringList{QDir::cleanPath(path)};
        for (const QString& file : named) {
            const QString key = QFileInfo(file).absoluteFilePath();
            if (seen.contains(key)) continue;
            seen.insert(key);
            files << file;
        }
    }
    return files;
}

FilesSummary ImportFiles(const QStringList& files, FilesTarget target,
                         platform::Connection& connection, const FileRunner& run,
                         const FileReport& report) {
    FilesRun importing(std::move(target), connection);
    FilesSummary summary;
    for (qsizetype index = 0; index < files.size(); ++index) {
        FileOutcome outcome{files[index], {}};
        QElapsedTimer clock;
        clock.start();
        outcome.outcome = run(
            [&](platform::Cancellation& cancel, ImportProgress& progress) {
                return importing.Import(outcome.file, outcome.readError, cancel, progress);
            },
            static_cast<int>(index), static_cast<int>(files.size()), outcome.file);
        outcome.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const ImportEnd end = outcome.outcome.end;
        if (outcome.readError.isEmpty() && (end == ImportEnd::Imported || end == ImportEnd::NoRows))
            importing.TableMade();
        summary.connectionLost = connection.Lost();
        outcome.interrupted = summary.connectionLost || outcome.outcome.end == ImportEnd::Cancelled;
        Count(summary, outcome);
        report(outcome);
        if (outcome.interrupted) break;
    }
    return summary;
}

QString FailureReason(const FileOutcome& outcome, Language language) {
    if (!outcome.readError.isEmpty()) {
        return Say(language, "not a usable XML document: %1",
                   "kullanılabilir bir XML belgesi değil: %1")
            .arg(outcome.readError);
    }
    const ImportOutcome& result = outcome.outcome;
    if (result.end == ImportEnd::Failed) return OneLine(result.errorText);
    // The whole run's message would say that nothing at all was imported.
    if (result.end == ImportEnd::Cancelled)
        return Say(language, "cancelled; this file was rolled back",
                   "iptal edildi; bu dosyanın aktarımı geri alındı");
    return OneLine(MessageText(OutcomeMessage(result), language, OutcomeDetail(result, language)));
}
