// File > Open XML against libxml2's bare parse of the same file, and the memory each needs.
// Run: QT_QPA_PLATFORM=offscreen build/benchmarks/open_xml_benchmark
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTreeView>

#include <libxml/parser.h>

#include "ProgramWindows.h"
#include "RecordsDocument.h"
#include "platform/OpenDialog.h"

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QByteArray Wide() {
    QByteArray document = "<wide>\n";
    for (int i = 0; i < 20000; ++i) {
        const QByteArray name = "field" + QByteArray::number(i);
        document += "  <" + name + " a=\"" + QByteArray::number(i) + "\">text " + name + "</" +
                    name + ">\n";
    }
    return document + "</wide>\n";
}

// One element with that many attributes.
QByteArray Attributes(int count) {
    QByteArray document = "<r";
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        document += " a" + n + "=\"" + n + "\"";
    }
    return document + "/>\n";
}

// 250 levels: the root and chains of 249 elements below it.
QByteArray Deep() {
    QByteArray chain;
    for (int level = 0; level < 249; ++level) chain += "<l" + QByteArray::number(level) + ">";
    chain += "leaf";
    for (int level = 248; level >= 0; --level) chain += "</l" + QByteArray::number(level) + ">";
    return "<deep>\n" + (chain + "\n").repeated(400) + "</deep>\n";
}

// Two names for the same content, so that each Open XML reads the file afresh.
struct Sample {
    QString names[2];
    qint64 size = 0;
};

Sample Write(const QString& name, const std::function<void(const Writer&)>& produce) {
    Sample sample{{Folder().filePath(name + QStringLiteral("-a.xml")),
                   Folder().filePath(name + QStringLiteral("-b.xml"))}};
    QFile files[2] = {QFile(sample.names[0]), QFile(sample.names[1])};
    for (QFile& file : files) file.open(QIODevice::WriteOnly);
    produce([&](const QByteArray& piece) {
        for (QFile& file : files) file.write(piece);
        sample.size += piece.size();
    });
    return sample;
}

Sample Write(const QString& name, const QByteArray& content) {
    return Write(name, [&](const Writer& write) { write(content); });
}

Windows* program = nullptr;  // made in main, after the application object

Windows& Program() { return *program; }

void OpenXml(const QString& fileName) {
    platform::OpenDialog::SetHook([fileName](const platform::OpenDialog&) {
        return platform::OpenDialog::Answer{true, fileName, 0};
    });
    Program().Form1.findChild<QAction*>(QStringLiteral("Open3"))->trigger();
    if (Program().Form1.StructureTree().model()->rowCount() != 1) std::abort();
}

void BareParse(const QString& fileName) {
    xmlDocPtr doc = xmlReadFile(QFile::encodeName(fileName).constData(), nullptr, XML_PARSE_HUGE);
    if (!doc) std::abort();
    xmlFreeDoc(doc);
}

double Seconds(const std::function<void()>& run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

qint64 StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toLongLong();
    return 0;
}

// Peak resident memory that run adds, in bytes.
qint64 PeakBytes(const std::function<void()>& run) {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");  // resets the peak
    clear.close();
    const qint64 before = StatusKb("VmRSS:");
    run();
    return (StatusKb("VmHWM:") - before) * 1024;
}

// The sample is written for its case alone and removed after it: the largest take gigabytes.
void BM_OpenXml(benchmark::State& state, const std::function<Sample()>& make) {
    const Sample sample = make();
    double bare = 0;
    double open = 0;
    int turn = 0;
    for (auto _ : state) {
        const QString& name = sample.names[turn++ % 2];
        bare += Seconds([&] { BareParse(name); });
        const double seconds = Seconds([&] { OpenXml(name); });
        open += seconds;
        state.SetIterationTime(seconds);
    }
    // Memory: the earlier document released first, so each measurement starts clean.
    const QString tiny = Write(QStringLiteral("tiny"), "<t/>").names[0];
    OpenXml(tiny);
    const qint64 barePeak = PeakBytes([&] { BareParse(sample.names[0]); });
    const qint64 openPeak = PeakBytes([&] { OpenXml(sample.names[0]); });
    OpenXml(tiny);
    for (const QString& name : sample.names) QFile::remove(name);

    state.counters["file_MB"] = static_cast<double>(sample.size) / 1e6;
    state.counters["open_s"] = open / static_cast<double>(state.iterations());
    state.counters["bare_s"] = bare / static_cast<double>(state.iterations());
    state.counters["x_bare_time"] = open / bare;
    state.counters["peak_x_file"] =
        static_cast<double>(openPeak) / static_cast<double>(sample.size);
    state.counters["bare_peak_x_file"] =
        static_cast<double>(barePeak) / static_cast<double>(sample.size);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Windows windows;
    windows.Form1.show();
    program = &windows;
    // --open=FILE: one Open XML of a file of one's own, as a user would, with its figures.
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (!argument.startsWith("--open=")) continue;
        const QString file = QString::fromLocal8Bit(argument.sliced(7));
        double seconds = 0;
        const qint64 peak = PeakBytes([&] { seconds = Seconds([&] { OpenXml(file); }); });
        std::printf("%s: %.1f MB opened in %.2f s, peak memory %.0f MB (%.2fx the file)\n",
                    argv[i] + 7, QFileInfo(file).size() / 1e6, seconds, peak / 1e6,
                    static_cast<double>(peak) / static_cast<double>(QFileInfo(file).size()));
        return 0;
    }

    const auto records = [](const char* name, qint64 bytes) {
        return [=] {
            return Write(QString::fromLatin1(name),
                         [=](const Writer& write) { Records(bytes, write); });
        };
    };
    const struct {
        const char* name;
        std::function<Sample()> make;
        int iterations;
    } cases[] = {
        {"records_1MB", records("records-1MB", 1'000'000), 20},
        {"records_10MB", records("records-10MB", 10'000'000), 5},
        {"records_100MB", records("records-100MB", 100'000'000), 2},
        {"records_1GB", records("records-1GB", 1'000'000'000), 1},
        {"wide_20000", [] { return Write(QStringLiteral("wide"), Wide()); }, 10},
        {"deep_250", [] { return Write(QStringLiteral("deep"), Deep()); }, 10},
        // libxml2's own tree takes quadratic time in one element's attributes.
        {"attributes_100000",
         [] { return Write(QStringLiteral("attributes"), Attributes(100'000)); }, 1},
    };
    for (const auto& one : cases)
        benchmark::RegisterBenchmark(one.name, BM_OpenXml, one.make)
            ->UseManualTime()
            ->Iterations(one.iterations)
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
