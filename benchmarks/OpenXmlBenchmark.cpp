// File > Open XML against libxml2's bare parse of the same file, and the memory each needs.
// Run: QT_QPA_PLATFORM=offscreen build/benchmarks/open_xml_benchmark
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <libxml/parser.h>

#include "ProgramWindows.h"
#include "platform/OpenDialog.h"

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// Records of repeated elements with attributes and text, until the file reaches the size.
QByteArray Records(qint64 bytes) {
    QByteArray document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<records>\n";
    for (int i = 0; document.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        document += "  <record id=\"" + n + "\" kind=\"k" + QByteArray::number(i % 7) +
                    "\">\n    <name>Record number " + n + "</name>\n    <value>" +
                    QByteArray::number(i * 3) +
                    "</value>\n    <note lang=\"en\">Some ordinary text of a record</note>\n"
                    "  </record>\n";
    }
    return document + "</records>\n";
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
    qint64 size;
    // libxml2's own tree takes quadratic time in one element's attributes: not worth a comparison.
    bool compareBare = true;
};

Sample Write(const QString& name, const QByteArray& content) {
    Sample sample{{Folder().filePath(name + QStringLiteral("-a.xml")),
                   Folder().filePath(name + QStringLiteral("-b.xml"))},
                  content.size()};
    for (const QString& path : sample.names) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    return sample;
}

Sample WithoutBare(Sample sample) {
    sample.compareBare = false;
    return sample;
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

void BM_OpenXml(benchmark::State& state, const Sample& sample) {
    double bare = 0;
    double open = 0;
    int turn = 0;
    for (auto _ : state) {
        const QString& name = sample.names[turn++ % 2];
        if (sample.compareBare) bare += Seconds([&] { BareParse(name); });
        const double seconds = Seconds([&] { OpenXml(name); });
        open += seconds;
        state.SetIterationTime(seconds);
    }
    // Memory: the earlier document released first, so each measurement starts clean.
    const QString tiny = Write(QStringLiteral("tiny"), "<t/>").names[0];
    OpenXml(tiny);
    const qint64 barePeak = sample.compareBare ? PeakBytes([&] { BareParse(sample.names[0]); }) : 0;
    const qint64 openPeak = PeakBytes([&] { OpenXml(sample.names[0]); });
    OpenXml(tiny);

    state.counters["file_MB"] = static_cast<double>(sample.size) / 1e6;
    state.counters["open_s"] = open / static_cast<double>(state.iterations());
    if (sample.compareBare) {
        state.counters["bare_s"] = bare / static_cast<double>(state.iterations());
        state.counters["x_bare_time"] = open / bare;
    }
    state.counters["peak_x_file"] =
        static_cast<double>(openPeak) / static_cast<double>(sample.size);
    if (sample.compareBare)
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

    static const Sample samples[] = {
        Write(QStringLiteral("records-1MB"), Records(1'000'000)),
        Write(QStringLiteral("records-10MB"), Records(10'000'000)),
        Write(QStringLiteral("records-100MB"), Records(100'000'000)),
        Write(QStringLiteral("wide"), Wide()),
        Write(QStringLiteral("deep"), Deep()),
        WithoutBare(Write(QStringLiteral("attributes"), Attributes(100'000))),
    };
    const char* names[] = {"records_1MB", "records_10MB", "records_100MB",
                           "wide_20000",  "deep_250",     "attributes_100000"};
    const int iterations[] = {20, 5, 2, 10, 10, 2};
    for (int i = 0; i < 6; ++i)
        benchmark::RegisterBenchmark(names[i], BM_OpenXml, samples[i])
            ->UseManualTime()
            ->Iterations(iterations[i])
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
