// Import of generated records documents into the stand-in over the real client stack, against
// libxml2's bare event parse of the same bytes, with the memory Import adds to the opened
// document and the stand-in's share of the time.
// Run: build/release/benchmarks/import_benchmark [--sizes=1,100,1000] (megabytes)
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <libxml/parser.h>

#include "Catalogue.h"
#include "DocumentPieces.h"
#include "ImportRun.h"
#include "RecordsDocument.h"
#include "StandinProcess.h"
#include "StructureBuilder.h"
#include "platform/Ado.h"
#include "platform/XmlDocument.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// user + system time of another process, from /proc.
double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::stol(field);
        if (i == 15) break;
    }
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

qint64 ResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}

// The highest resident size while it lives, sampled every few milliseconds.
class PeakSampler {
public:
    PeakSampler()
        : thread_([this] {
              while (!stop_) {
                  peak_ = std::max<qint64>(peak_, ResidentBytes());
                  std::this_thread::sleep_for(std::chrono::milliseconds(3));
              }
          }) {}
    ~PeakSampler() { Stop(); }
    qint64 Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return peak_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<qint64> peak_{0};
    std::thread thread_;
};

qint64 WriteRecords(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) std::abort();
    return Records(bytes, [&](const QByteArray& piece) { file.write(piece); });
}

double BareSaxParseCpu(const QByteArray& bytes) {
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    const double start = CpuSeconds();
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr);
    xmlCtxtUseOptions(ctxt, XML_PARSE_HUGE);
    constexpr int Chunk = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += Chunk) {
        const int length = int(std::min<qsizetype>(Chunk, bytes.size() - at));
        xmlParseChunk(ctxt, bytes.constData() + at, length, 0);
    }
    xmlParseChunk(ctxt, nullptr, 0, 1);
    if (!ctxt->wellFormed) std::abort();
    xmlFreeParserCtxt(ctxt);
    return CpuSeconds() - start;
}

// Composing alone: the pieces' batches as the import makes them, in the text the driver is
// handed, without sending them.
double ComposingCpu(const QByteArray& bytes, const BatchTarget& target) {
    const double start = CpuSeconds();
    const auto layout = PieceLayoutOf(target.plan);
    CutIntoPieces(bytes, *layout, ImportSizes{}.pieceBytes, [&](DocumentPiece&& piece) {
        const QString sql = QString::fromUtf8(MaxTypeBatch(target, {std::move(piece.body), false}));
        return !sql.isEmpty();
    });
    return CpuSeconds() - start;
}

ImportPlan RecordsPlan(const QString& table) {
    const QString row = QStringLiteral("records/record");
    std::vector<FieldRow> fields;
    for (const char* field : {"@id", "@kind", "name", "value", "note"}) {
        fields.push_back({row + u'/' + QLatin1String(field),
                          QLatin1String(field).mid(field[0] == '@'),
                          field[1] == 'i' || field[0] == 'v' ? QStringLiteral("BigInt")
                                                             : QStringLiteral("VarChar(60)")});
    }
    return MakePlan({row, true}, fields, table);
}

QString Scalar(platform::Connection& connection, const QString& sql) {
    platform::BatchResult result;
    connection.Execute(sql, result);
    return result.rows.empty() ? QString() : result.rows.front().front().toString();
}

void Measure(qint64 megabytes, const QTemporaryDir& folder,
             standin::testing::StandinProcess& server, platform::Connection& connection) {
    const QString path = folder.filePath(QStringLiteral("records-%1MB.xml").arg(megabytes));
    const qint64 records = WriteRecords(path, megabytes * 1000 * 1000);
    platform::XmlDocument document;
    document.SetFileName(path);
    BuildStructureTree(document);  // Open XML
    const double bareCpu = BareSaxParseCpu(document.Bytes());

    const QString table = QStringLiteral("Records%1").arg(megabytes);
    const ImportRequest request{document.Bytes(), {}, TargetOf(RecordsPlan(table), {}, 0, {})};
    platform::Cancellation cancellation;
    ImportProgress progress;
    const qint64 before = ResidentBytes();
    const double serverCpu = CpuSecondsOf(server.pid());
    const double cpu = CpuSeconds();
    const Clock::time_point start = Clock::now();
    PeakSampler sampler;
    const ImportOutcome outcome = RunImport(request, connection, cancellation, progress);
    const qint64 peak = sampler.Stop();
    const double wall = Seconds(Clock::now() - start);
    const double ownCpu = CpuSeconds() - cpu;
    const double standinCpu = CpuSecondsOf(server.pid()) - serverCpu;
    const double composingCpu = ComposingCpu(document.Bytes(), request.target);

    const QString count = Scalar(connection, QStringLiteral("SELECT COUNT(*) FROM ") + table);
    const QString last =
        Scalar(connection,
               QStringLiteral("SELECT name FROM %1 WHERE id = %2").arg(table).arg(records - 1));
    const bool complete = outcome.end == ImportEnd::Imported && outcome.rows == records &&
                          count == QString::number(records) &&
                          last == QStringLiteral("Record number %1").arg(records - 1);
    const double size = double(document.Bytes().size());
    std::printf(
        "%5lld MB  %9lld rows  wall %8.2f s  %9.0f rows/s  Tavlen CPU %7.2f s = %5.2fx bare SAX "
        "(%6.2f s), of which composing %6.2f s = %5.2fx  peak +%7.1f MB = %4.2fx file  "
        "stand-in CPU %7.2f s (%3.0f%% of wall)  %s\n",
        static_cast<long long>(megabytes), static_cast<long long>(records), wall,
        double(records) / wall, ownCpu, ownCpu / bareCpu, bareCpu, composingCpu,
        composingCpu / bareCpu, double(peak - before) / 1e6, double(peak - before) / size,
        standinCpu, 100 * standinCpu / wall, complete ? "all rows present" : "ROWS MISSING");
    std::fflush(stdout);
    Scalar(connection, QStringLiteral("DROP TABLE ") + table);
    QFile::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QList<qint64> sizes = {1, 100, 1000};
    for (const QString& argument : application.arguments().mid(1)) {
        if (!argument.startsWith(QStringLiteral("--sizes="))) {
            std::fprintf(stderr, "usage: import_benchmark [--sizes=1,100,1000]\n");
            return 2;
        }
        sizes.clear();
        for (const QString& size : argument.mid(8).split(u',')) sizes << size.toLongLong();
    }
    const QTemporaryDir folder;
    standin::testing::StandinProcess server(SQLSERVER_STANDIN,
                                            {"--login", "sa:Secret-1", "--database", "Bench"});
    platform::Connection connection;
    const QString address = QStringLiteral("127.0.0.1,%1").arg(server.port());
    connection.Open(ConnectionString(address, QStringLiteral("sa")), QStringLiteral("sa"),
                    QStringLiteral("Secret-1"));
    Scalar(connection, UseStatement(QStringLiteral("Bench")));
    std::printf("Import into the stand-in, default packet size %d bytes\n",
                connection.PacketSize());
    for (const qint64 megabytes : sizes) Measure(megabytes, folder, server, connection);
    return 0;
}
